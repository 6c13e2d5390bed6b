// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportTable.h"

#include "ColourTableModel.h"
#include "ExportSheet.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"

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
        return column == 0 ? QString::number(row + 1) : model.data(model.index(row, column - 1)).toString();
    };
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
    table.cell = [&model](int row, int column) { return model.data(model.index(row + 1, column)).toString(); };
    return table;
}

ReportTable ReportTable::ofColours(const ColourTableModel &model, const QString &caption)
{
    ReportTable table;
    table.caption = caption;
    for (int column = 0; column < model.columnCount(); ++column)
        table.titles << model.headerData(column, Qt::Horizontal).toString();
    table.rows = model.rowCount();
    table.cell = [&model](int row, int column) { return model.data(model.index(row, column)).toString(); };
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
