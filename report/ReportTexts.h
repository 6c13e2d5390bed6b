// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The texts only reports print, in both languages.
enum class ReportText {
    DefaultTitle,  // "测量报告" / "Measurement Report"
    PageOf,        // "第 %1 页 / 共 %2 页" / "Page %1 of %2"
    Location,      // "地点/项目"
    Operator,      // "测量人员"
    Note,          // "备注"
    Meter,         // heading of the meter's facts
    Report,        // heading of the user's details
    RecordsTable,  // section titles
    ColourTable,
    SpectralTable,
    SpectrumChart,
    Chromaticity,
    ColumnGroup, // "（第 %1 组列，共 %2 组）" / "(columns, part %1 of %2)"
    Number,      // the records table's number column
    NoRecords,   // an empty table
    NeedsFile,   // a report asked for on standard output
    // The window: the button, the dialog's fields and buttons, the save dialog's caption, the
    // progress label, success (%1: the file) and failure (%1: why).
    Button,
    TitleField,
    PaperField,
    SavePdf,
    Print,
    Cancel,
    SaveCaption,
    Making,
    Saved,
    Failed
};

namespace ReportTexts {

QString text(ReportText id, bool chinese);

} // namespace ReportTexts
