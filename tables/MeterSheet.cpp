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

void setFact(ExportTable &table, int row, int column, const Fact &fact)
{
    if (fact.number)
        table.setCellNumber(row, column, fact.value);
    else
        table.setCellText(row, column, fact.value);
}

} // namespace

ExportSheet make(const KeyInfo &keyInfo, const MeterState &state, qint64 records, const QDateTime &downloaded,
                 bool chinese)
{
    QList<Fact> facts = factsOf(keyInfo, state, records, downloaded);
    facts.append(programFact());
    ExportSheet sheet{TextCatalogue::text(Text::MeterSheetName, chinese), ExportTable(int(facts.size()), 2)};
    for (int r = 0; r < int(facts.size()); ++r) {
        sheet.table.setCellText(r, 0, TextCatalogue::text(facts.at(r).label, chinese));
        setFact(sheet.table, r, 1, facts.at(r));
    }
    return sheet;
}

ExportSheet makeComparison(const QList<ComparedDownload> &downloads, bool chinese)
{
    const int factRows = int(factsOf({}, {}, 0, {}).size());
    // The ids' row, the facts, the units' row, the program's row.
    const int rows = 1 + factRows + 2;
    ExportSheet sheet{TextCatalogue::text(Text::MeterSheetName, chinese),
                      ExportTable(rows, 1 + int(downloads.size()))};
    const auto label = [&](int row, Text id) { sheet.table.setCellText(row, 0, TextCatalogue::text(id, chinese)); };
    label(0, Text::MeterSheetDownload);
    label(factRows + 1, Text::MeterSheetSpectralUnit);
    const Fact program = programFact();
    label(factRows + 2, program.label);
    setFact(sheet.table, factRows + 2, 1, program);
    for (int d = 0; d < int(downloads.size()); ++d) {
        const ComparedDownload &download = downloads.at(d);
        const int column = 1 + d;
        sheet.table.setCellText(0, column, QStringLiteral("#%1").arg(download.id));
        const QList<Fact> facts = factsOf(download.keyInfo, download.state, download.records, download.downloaded);
        for (int f = 0; f < int(facts.size()); ++f) {
            if (d == 0)
                label(1 + f, facts.at(f).label);
            setFact(sheet.table, 1 + f, column, facts.at(f));
        }
        sheet.table.setCellText(factRows + 1, column, download.spectralUnit);
    }
    return sheet;
}

} // namespace MeterSheet
