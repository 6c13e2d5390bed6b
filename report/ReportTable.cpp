// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportTable.h"

#include "ColourTableModel.h"
#include "ExportSheet.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"

#include <algorithm>
#include <memory>

ReportTable ReportTable::ofRecords(const RecordsTableModel &model, const QString &caption, const QString &numberTitle)
{
    // The page numbers its rows in the view's row header; the report in a column of its own.
    ReportTable table;
    table.caption = caption;
    table.titles << numberTitle;
    for (int column = 0; column < model.operationColumn(); ++column)
        table.titles << model.headerData(column, Qt::Horizontal).toString();
    table.rows = model.rowCount();
    table.cell = [&model](int row, int column) {
        return column == 0 ? QString::number(row + 1) : model.cellText(row, column - 1);
    };
    return table;
}

ReportTable ReportTable::ofRecordBatches(DownloadTables &tables, qint64 count, const DownloadTables::BatchOf &batchOf,
                                         const QString &caption, const QString &numberTitle)
{
    // The rows in the model: [first, first + loaded). Pages are laid out and painted in row order,
    // so each batch is read about twice (once to measure, once to paint).
    struct Batches
    {
        qint64 first = 0;
        int loaded = 0;
        QString error;
    };
    constexpr int batchRecords = 4096;
    const auto batches = std::make_shared<Batches>();
    const RecordsTableModel &model = *tables.recordsModel();
    ReportTable table = ofRecords(model, caption, numberTitle);
    table.rows = int(count);
    table.cell = [&tables, &model, count, batchOf, batches](int row, int column) {
        if (column == 0)
            return QString::number(row + 1);
        if (row < batches->first || row >= batches->first + batches->loaded) {
            if (!batches->error.isEmpty())
                return QString();
            const qint64 first = row - row % batchRecords;
            const int size = int(std::min<qint64>(batchRecords, count - first));
            batches->loaded = 0;
            if (!tables.load(first, size, batchOf, batches->error)) {
                if (batches->error.isEmpty())
                    batches->error = QStringLiteral("the records could not be read");
                return QString();
            }
            batches->first = first;
            batches->loaded = size;
        }
        return model.cellText(int(row - batches->first), column - 1);
    };
    table.readError = [batches] { return batches->error; };
    return table;
}

ReportTable ReportTable::ofSpectra(const SpectralTableModel &model, const QString &caption)
{
    // Row 0 of the model is its title row; the curve and delete columns close every row.
    ReportTable table;
    table.caption = caption;
    for (int column = 0; column < model.curveColumn(); ++column)
        table.titles << model.data(model.index(0, column)).toString();
    table.rows = model.recordCount();
    table.cell = [&model](int row, int column) { return model.text(row + 1, column); };
    return table;
}

ReportTable ReportTable::ofColours(const ColourTableModel &model, const QString &caption)
{
    ReportTable table;
    table.caption = caption;
    for (int column = 0; column < model.columnCount(); ++column)
        table.titles << model.headerData(column, Qt::Horizontal).toString();
    table.rows = model.rowCount();
    table.cell = [&model](int row, int column) { return model.text(row, column); };
    return table;
}

ReportTable ReportTable::ofSheet(const ExportSheet &sheet)
{
    // A sheet is small and built for the moment (the statistics): shared by the copies of the table.
    const auto cells = std::make_shared<const ExportTable>(sheet.table);
    ReportTable table;
    table.caption = sheet.name;
    for (int column = 0; column < cells->columnCount(); ++column)
        table.titles << cells->headerText(column);
    table.rows = cells->rowCount();
    table.cell = [cells](int row, int column) { return cells->cellText(row, column); };
    return table;
}
