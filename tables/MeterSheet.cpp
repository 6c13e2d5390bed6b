// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterSheet.h"

#include "KeyInfo.h"
#include "MeterFlow.h"
#include "MeterKind.h"
#include "MeterState.h"
#include "ProgramVersion.h"
#include "TextCatalogue.h"

#include <iterator>

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

ExportSheet make(const KeyInfo &keyInfo, const MeterState &state, qint64 records, const QDateTime &downloaded,
                 bool chinese, const DownloadNotes &notes)
{
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    // Identifiers and versions stay texts ("1.10" is no quantity); counts are numbers.
    struct Fact
    {
        Text label;
        QString value;
        bool number;
    };
    const Fact meterFacts[] = {
        {Text::MeterSheetSerial, MeterFlow::serialText(keyInfo), false},
        {Text::MeterSheetModel, QString::number(qint32(keyInfo.modelCode)), false},
        {Text::MeterSheetFirmware, MeterFlow::firmwareText(keyInfo), false},
        {Text::MeterSheetKind, QString::number(state.uiIndex), true},
        {Text::MeterSheetMode, kind && kind->hasMode ? QString::number(state.mode) : QStringLiteral("-"),
         kind && kind->hasMode},
        {Text::MeterSheetRecords, QString::number(records), true},
        {Text::MeterSheetDownloaded, downloaded.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), false},
        {Text::MeterSheetUtcOffset, utcOffsetText(downloaded.offsetFromUtc()), false},
        {Text::MeterSheetProgram, ProgramVersion::name() + QLatin1Char(' ') + ProgramVersion::version(), false},
    };
    QList<Fact> facts(std::cbegin(meterFacts), std::cend(meterFacts));
    const Fact noteFacts[] = {
        {Text::MeterSheetTitle, notes.title, false},
        {Text::MeterSheetLocation, notes.location, false},
        {Text::MeterSheetOperator, notes.operatorName, false},
        {Text::MeterSheetNote, notes.text, false},
    };
    for (const Fact &note : noteFacts) {
        if (!note.value.isEmpty())
            facts << note;
    }
    ExportSheet sheet{TextCatalogue::text(Text::MeterSheetName, chinese), ExportTable(int(facts.size()), 2)};
    for (int r = 0; r < int(facts.size()); ++r) {
        sheet.table.setCellText(r, 0, TextCatalogue::text(facts[r].label, chinese));
        if (facts[r].number)
            sheet.table.setCellNumber(r, 1, facts[r].value);
        else
            sheet.table.setCellText(r, 1, facts[r].value);
    }
    return sheet;
}

} // namespace MeterSheet
