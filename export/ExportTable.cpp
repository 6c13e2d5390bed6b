// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportTable.h"

#include <algorithm>

ExportTable::ExportTable(int rowCount, int columnCount)
    : rows(qMax(rowCount, 0)),
      columns(qMax(columnCount, 0)),
      headerSet(size_t(columns), false),
      cellKinds(size_t(rows) * size_t(columns), Unset)
{
    headers.resize(columns);
    cells.resize(qsizetype(cellKinds.size()));
}

ExportTable ExportTable::fromTexts(const QStringList &titles, const QList<QStringList> &rows, int columnCount)
{
    ExportTable table(int(rows.size()), columnCount);
    for (int c = 0; c < table.columns && c < titles.size(); ++c)
        table.setHeaderText(c, titles.at(c));
    for (int r = 0; r < table.rows; ++r)
        for (int c = 0; c < table.columns && c < rows.at(r).size(); ++c)
            table.setCellText(r, c, rows.at(r).at(c));
    return table;
}

void ExportTable::setHeaderText(int column, const QString &text)
{
    headers[column] = text;
    headerSet[size_t(column)] = true;
}

bool ExportTable::hasAnyHeader() const
{
    return std::find(headerSet.begin(), headerSet.end(), true) != headerSet.end();
}

void ExportTable::setCellText(int row, int column, const QString &text)
{
    setCell(row, column, text, Text);
}

void ExportTable::setCellNumber(int row, int column, const QString &text)
{
    setCell(row, column, text, Number);
}

void ExportTable::setCell(int row, int column, const QString &text, CellKind kind)
{
    cells[qsizetype(at(row, column))] = text;
    cellKinds[at(row, column)] = kind;
}
