// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Every text the window and the command line show or write in Chinese and English. A text is
// named by its id and chosen by the language flag (true = Chinese) when it is used, so a language
// switch never has to recognise a text already shown.
enum class Text {
    // Title of every message and question box.
    Tip,

    // Identification and download failures.
    KeyInfoFailed,
    VersionTooLow,
    MeterMismatch,
    UnitNumbersFailed,
    ModeFailed,
    RecordCountFailed,
    RecordDataFailed,
    RecordNameFailed,
    MeterHeldElsewhere,

    // Page questions, progress and buttons.
    SaveFirstQuestion,
    ClearQuestion,
    ReadingProgress,
    CancelButton,
    DeleteButton,

    // Export.
    SaveDialogCaption,
    ExportProgress,
    ExportSucceeded,
    ExportFailedQuestion,
    ExportCancelled,

    // The sheet a workbook gets about the meter its rows came from: its name and row labels.
    MeterSheetName,
    MeterSheetSerial,
    MeterSheetModel,
    MeterSheetFirmware,
    MeterSheetKind,
    MeterSheetMode,
    MeterSheetRecords,
    MeterSheetDownloaded,
    MeterSheetUtcOffset,
    MeterSheetProgram,
    MeterSheetTitle,
    MeterSheetLocation,
    MeterSheetOperator,
    MeterSheetNote,

    // Closing the spectral page while its table holds records.
    CloseSpectralQuestion,

    // Cell texts of value markers.
    NoFlicker,
    InvalidValue,

    // Column titles.
    TestName,
    Operation,
    RowNumber,
    Curve,
    Illuminance,
    Maximum,
    Minimum,
    Average,
    ColourTemperature,
    UvIndex,
    FlickerFrequency,
    FlickerPercent,
    ColourRendering,
    Temperature,
    Humidity,
    ColourTolerance,
    BlueLightHazard,
    Ppfd,
    PpfdBlue,
    PpfdGreen,
    PpfdRed,
    Ypfd,
    ChlorophyllA,
    ChlorophyllB,
    IlluminanceMaximum,
    UvPower,
    UvPowerMaximum,
    Luminance,
    ProbeModel,
    PowerRealTime,
    PowerMaximum,
    PowerMinimum,
    PowerAverage,
    PowerUniformity,
    Energy,
    MeasuringTime,

    // The colour table's column titles, and the tooltip of a dominant wavelength that is
    // complementary (a purple).
    ColourX,
    ColourY,
    ColourUPrime,
    ColourVPrime,
    ColourCct,
    ColourDuv,
    PeakWavelength,
    DominantWavelength,
    ColourPurity,
    ComplementaryWavelength,
    // On every colour figure of a record whose own colour temperature the meter marked as invalid.
    ColourTooDim,

    // The command line's own messages; %1, %2 as noted.
    CliNoMeter,
    CliAccessDenied,      // %1: the device node
    CliImageUnreadable,   // %1: the image file, %2: the reason
    CliCatalogDirMissing, // %1: the directory
    CliNoSpectra,         // %1: the meter kind
    CliUnsupportedKind,   // %1: the meter kind
    CliWriteFailed,       // %1: the output file, %2: the reason
    CliFileNotReplaceable,
    CliFolderNotWritable,
    CliUsageHeading,
    CliMoreHelp,
    CliHelpBody,
    CliOutputIsImage,        // why -o FILE is refused when FILE is the meter image
    OutputIsArchive,         // why an output is refused when it is the archive file or its journal
    CliPasswordInAddress,    // the warning for a password written in the --archive address
    CliTooManyForSheet,      // %1: the record count the meter reported, %2: the most a sheet holds
    CliArchiveUnavailable,   // %1: why the archive cannot be used
    CliNoSuchDownload,       // %1: the id
    CliNoSuchMeterSerial,    // %1: the serial number given with --serial
    CliStandardOutput,       // how messages name -o -
    CliBinaryToTerminal,     // %1: the format
    CliStandardOutputFailed, // %1: why standard output took not all that was written

    // The command line's usage errors; %1: the option, value, word or command.
    UsageUnknownOption,
    UsageMissingValue,
    UsageEmptyValue,
    UsageRepeatedOption,
    UsageBadLanguage,
    UsageBadFormat,
    // A format only reports are written in, asked of a command that writes a table.
    UsageBadTableFormat,
    UsageNoCommand,
    UsageUnknownCommand,
    UsageExtraArgument,
    UsageMissingOutput,
    UsageOutputNotAllowed,
    UsageBadNumber,
    UsageBadDate,
    UsageHistoryOnly,
    UsageMissingId,
    UsageBadArchive, // %1: why the --archive location cannot be used

    // A download that the archive could not keep; %1: why.
    ArchiveNotStored,
    // %1: the setting's name, %2: its value, which is neither true nor false.
    ArchiveSettingNotUnderstood,

    // An archived download that does not agree with itself and is not written again: %1 its id,
    // %2 what is wrong (one of the texts after it).
    ArchivedDownloadDamaged,
    ArchivedCatalogsUnreadable,
    ArchivedKindUnknown,     // %1: the kind
    ArchivedTableUnknown,    // %1: the stored table number, %2: the kind
    ArchivedSlotsIncomplete, // %1: the slots stored, %2: the slots of a meter
    ArchivedCountImpossible, // %1: the count
    ArchivedRecordsMismatch, // %1: the count, %2: the bytes they need, %3: the bytes stored
    ArchivedNamesMismatch,   // the same for the names

    // The history of archived downloads.
    HistoryButton,
    HistoryTitle,
    HistoryId,
    HistoryTable,
    HistoryRecords,
    HistorySpectra,
    HistoryColours,
    HistoryFrom,
    HistoryTo,
    HistoryAnyDate,
    HistoryOpen,
    HistoryExport,
    HistoryClose,
    HistoryDeleteQuestion,
    HistoryUnavailable, // %1: why
    // The archive as the lab's notebook: the notes of a download in the history, the filter that
    // also reads them, going back to what the meter gave, and edits or notes that cannot be saved.
    HistoryNotes,
    HistoryFind,
    HistoryFindTip,
    HistoryRestore,
    HistoryRestoreQuestion,
    EditsNotSaved, // %1: why
    NotesNotSaved, // %1: why

    // Why a present meter cannot be opened: the causes (also the command line's list), the
    // window's status line and the fixes it proposes.
    AccessPermissionDenied,
    AccessHeldElsewhere,
    AccessNoSuchDevice,
    AccessStatus,      // %1: the device node, %2: the cause, %3: the fix
    AccessInstallRule, // the udev rule is not installed
    AccessReloadRule,  // the udev rule is installed, yet the node is not open to the user
    AccessCloseOther,
    AccessPlugAgain,

    // The spectral page's charts and its colour table: the colour export button, saving a chart
    // (menu entry, dialog caption, proposed file names, failure box; %1: why), the chromaticity
    // chart's title, the spectrum chart's readout under the mouse (%1: wavelength, %2: value) and
    // the legend's overflow line (%1: how many more records).
    ExportColourButton,
    SaveChartAction,
    SaveChartCaption,
    SpectrumChartFileName,
    ChromaticityChartFileName,
    SaveChartFailed,
    ChromaticityTitle,
    SpectrumReadout,
    LegendMore,

    // The spectrum chart's y axis: the readout of the relative scale (%1: wavelength, %2: relative
    // value, %3: the value with its unit), the axis titles of the scales (the relative and the
    // absolute one share "功率"/"Power", the absolute one followed by its unit), and the choice of
    // the scale with its entries and tooltip.
    SpectrumReadoutBoth,
    SpectrumAxisNormalised,
    SpectrumAxisPower,
    SpectrumScaleLabel,
    SpectrumScaleRelative,
    SpectrumScaleNormalised,
    SpectrumScaleAbsolute,
    SpectrumScaleTip,

    // The meter kinds by name (kinds 1 to 6), as the history of downloads lists them.
    KindName1,
    KindName2,
    KindName3,
    KindName4,
    KindName5,
    KindName6,

    // Under the chromaticity diagram and on the colour table's titles: what the figures stand for.
    ColourRangeNote,

    // The colour table's melanopic columns (efficacy, daylight efficacy ratio, and the equivalent
    // daylight illuminance, or luminance for luminance meters) and the other α-opic daylight
    // efficacy ratios, which only its export writes.
    MelanopicEfficacy,
    MelanopicDer,
    MelanopicEdi,
    MelanopicEdl,
    SConeDer,
    MConeDer,
    LConeDer,
    RhodopicDer,

    // The statistics of the records: the strip's heading and the sheet's name, the title over the
    // figures' labels, the labels, the strip's summary (%1: rows counted, %2: rows in the table)
    // and how many values a figure rests on (%1 values of %2 rows).
    StatisticsName,
    StatisticsFigure,
    StatisticsRows,
    StatisticsCount,
    StatisticsMinimum,
    StatisticsMaximum,
    StatisticsMean,
    StatisticsDeviation,
    StatisticsU0,
    StatisticsUd,
    StatisticsAllRows,
    StatisticsSelectedRows,
    StatisticsValuesOf,
    // Tooltips of the strip's labels that say how a figure is had.
    StatisticsCountTip,
    StatisticsDeviationTip,
    StatisticsU0Tip,
    StatisticsUdTip,
    // The command line's report options: %1 the option given to another command; %1 the paper
    // that is neither a4 nor letter.
    UsageReportOnly,
    UsageBadPaper,
    // %1: an option of export given to another command.
    UsageExportOnly,

    // Comparing the spectra of archived downloads: the History dialog's button, its tooltips
    // (enabled, and why not), the spectral dialog's title for a comparison, the meter sheet's rows
    // naming each download and its spectral unit, and the command line's refusals (%1: the id).
    CompareButton,
    CompareTip,
    CompareNeedsTwo,
    CompareOnlySpectra,
    ComparisonTitle,
    MeterSheetDownload,
    MeterSheetSpectralUnit,
    CliNotSpectral,

    Count
};

class TextCatalogue
{
public:
    static QString text(Text id, bool chinese);
    // The Chinese and English texts of an id, for tests and for recognising user input.
    static QString chinese(Text id) { return text(id, true); }
    static QString english(Text id) { return text(id, false); }
};
