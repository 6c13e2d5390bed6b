// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportContent.h"

#include "ExportSheet.h"
#include "RecordStatistics.h"
#include "RecordsTableModel.h"
#include "ReportTexts.h"

void ReportContent::setMeterFacts(const ExportSheet &meterSheet)
{
    meterFacts.clear();
    for (int row = 0; row < meterSheet.table.rowCount(); ++row) {
        QStringList values;
        for (int column = 1; column < meterSheet.table.columnCount(); ++column)
            values << meterSheet.table.cellText(row, column);
        meterFacts.append({meterSheet.table.cellText(row, 0), values});
    }
}

void ReportContent::addTable(const ReportTable &table)
{
    Section section;
    section.table = table;
    sections.push_back(std::move(section));
}

void ReportContent::addRecords(const RecordsTableModel &records)
{
    addTable(ReportTable::ofRecords(records, ReportTexts::text(ReportText::RecordsTable, details.chinese),
                                    ReportTexts::text(ReportText::Number, details.chinese)));
    RecordStatistics statistics;
    statistics.start(records);
    statistics.addRows(records);
    if (statistics.rowCount() == 0 || statistics.columns().empty())
        return;
    QStringList titles;
    for (int column = 0; column < records.columnCount(); ++column)
        titles << records.headerData(column, Qt::Horizontal).toString();
    addTable(ReportTable::ofSheet(statistics.sheet(titles, details.chinese)));
}

bool ReportContent::addRecordBatches(DownloadTables &tables, qint64 count, const DownloadTables::BatchOf &batchOf,
                                     QString &reason)
{
    // The statistics first: they read every batch through the same model the table reads later.
    QList<ExportSheet> sheets;
    if (!tables.extraSheets(count, batchOf, sheets, reason))
        return false;
    addTable(ReportTable::ofRecordBatches(tables, count, batchOf,
                                          ReportTexts::text(ReportText::RecordsTable, details.chinese),
                                          ReportTexts::text(ReportText::Number, details.chinese)));
    // The sheets: the meter's, then the statistics (none without records or without a column
    // that has figures).
    if (count > 0 && sheets.size() > 1 && sheets.at(1).table.columnCount() > 1)
        addTable(ReportTable::ofSheet(sheets.at(1)));
    return true;
}

void ReportContent::addSpectral(const SpectralTableModel &spectra, const ColourTableModel &colours)
{
    Section charts;
    charts.kind = Section::Charts;
    charts.spectra = &spectra;
    charts.colours = &colours;
    sections.push_back(std::move(charts));
    addTable(ReportTable::ofColours(colours, ReportTexts::text(ReportText::ColourTable, details.chinese)));
    addTable(ReportTable::ofSpectra(spectra, ReportTexts::text(ReportText::SpectralTable, details.chinese)));
}
