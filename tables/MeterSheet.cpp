// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterSheet.h"

#include "KeyInfo.h"
#include "MeterFlow.h"
#include "MeterKind.h"
#include "MeterState.h"
#include "ProgramVersion.h"
#include "TextCatalogue.h"


namespace {

// "UTC+08:00", "UTC-03:30", "UTC+00:00".
QString utcOffsetText(int seconds)
{
    const int minutes = qAbs(seconds) / 60;
    return QStringLiteral("UTC%1%2:%3")
        .arg(seconds < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

namespace MeterSheet {

namespace {

// Identifiers and versions stay texts ("1.10" is no quantity); counts are numbers.
struct Fact
{
    Text label;
    QString value;
    bool number;
};

QList<Fact> factsOf(const KeyInfo &keyInfo, const MeterState &state, qint64 records, const QDateTime &downloaded)
{
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    return {
        {Text::MeterSheetSerial, MeterFlow::serialText(keyInfo), false},
        {Text::MeterSheetModel, QString::number(qint32(keyInfo.modelCode)), false},
        {Text::MeterSheetFirmware, MeterFlow::firmwareText(keyInfo), false},
        {Text::MeterSheetKind, QString::number(state.uiIndex), true},
        {Text::MeterSheetMode, kind && kind->hasMode ? QString::number(state.mode) : QStringLiteral("-"),
         kind && kind->hasMode},
        {Text::MeterSheetRecords, QString::number(records), true},
        {Text::MeterSheetDownloaded, downloaded.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), false},
        {Text::MeterSheetUtcOffset, utcOffsetText(downloaded.offsetFromUtc()), false},
    };
}

Fact programFact()
{
    return {Text::MeterSheetProgram, ProgramVersion::name() + QLatin1Char(' ') + ProgramVersion::version(), false};
}

// Every note field, empty or not.
QList<Fact> noteFactsOf(const DownloadNotes &notes)
{
    return {
        {Text::MeterSheetTitle, notes.title, false},
        {Text::MeterSheetLocation, notes.location, false},
        {Text::MeterSheetOperator, notes.operatorName, false},
        {Text::MeterSheetNote, notes.text, false},
    };
}

void setFact(ExportTable &table, int row, int column, const Fact &fact)
{
    if (fact.number)
        table.setCellNumber(row, column, fact.value);
    else
        table.setCellText(row, column, fact.value);
}

} // namespace

ExportSheet make(const KeyInfo &keyInfo, const MeterState &state, qint64 records, const QDateTime &downloaded,
                 bool chinese, const DownloadNotes &notes)
{
    QList<Fact> facts = factsOf(keyInfo, state, records, downloaded);
    facts.append(programFact());
    for (const Fact &note : noteFactsOf(notes)) {
        if (!note.value.isEmpty())
            facts << note;
    }
    ExportSheet sheet{TextCatalogue::text(Text::MeterSheetName, chinese), ExportTable(int(facts.size()), 2)};
    for (int r = 0; r < int(facts.size()); ++r) {
        sheet.table.setCellText(r, 0, TextCatalogue::text(facts.at(r).label, chinese));
        setFact(sheet.table, r, 1, facts.at(r));
    }
    return sheet;
}

ExportSheet makeComparison(const QList<ComparedDownload> &downloads, bool chinese)
{
    // Rows: the ids, the facts, the units, the program, then each note field some download has.
    const QList<Fact> labels = factsOf({}, {}, 0, {});
    QList<int> notesShown;
    for (int n = 0; n < int(noteFactsOf({}).size()); ++n) {
        for (const ComparedDownload &download : downloads) {
            if (!noteFactsOf(download.notes).at(n).value.isEmpty()) {
                notesShown << n;
                break;
            }
        }
    }
    const int unitRow = 1 + int(labels.size());
    const int programRow = unitRow + 1;
    ExportSheet sheet{TextCatalogue::text(Text::MeterSheetName, chinese),
                      ExportTable(programRow + 1 + int(notesShown.size()), 1 + int(downloads.size()))};
    const auto label = [&](int row, Text id) { sheet.table.setCellText(row, 0, TextCatalogue::text(id, chinese)); };
    label(0, Text::MeterSheetDownload);
    for (int f = 0; f < int(labels.size()); ++f)
        label(1 + f, labels.at(f).label);
    label(unitRow, Text::MeterSheetSpectralUnit);
    const Fact program = programFact();
    label(programRow, program.label);
    setFact(sheet.table, programRow, 1, program);
    for (int n = 0; n < int(notesShown.size()); ++n)
        label(programRow + 1 + n, noteFactsOf({}).at(notesShown.at(n)).label);
    for (int d = 0; d < int(downloads.size()); ++d) {
        const ComparedDownload &download = downloads.at(d);
        const int column = 1 + d;
        sheet.table.setCellText(0, column, QStringLiteral("#%1").arg(download.id));
        const QList<Fact> facts = factsOf(download.keyInfo, download.state, download.records, download.downloaded);
        for (int f = 0; f < int(facts.size()); ++f)
            setFact(sheet.table, 1 + f, column, facts.at(f));
        sheet.table.setCellText(unitRow, column, download.spectralUnit);
        const QList<Fact> notes = noteFactsOf(download.notes);
        for (int n = 0; n < int(notesShown.size()); ++n)
            sheet.table.setCellText(programRow + 1 + n, column, notes.at(notesShown.at(n)).value);
    }
    return sheet;
}

} // namespace MeterSheet
