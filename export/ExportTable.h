// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A detached copy of a table's texts, as it goes into a worksheet: an optional title per column
// (sheet row 1) and an optional text per cell (sheet rows 2 onward). A cell or title that is not
// set is not written at all, so whatever the workbook's template holds there stays; a set but
// empty text gives an empty cell. A cell set with setCellNumber holds the text of a measured
// value: a workbook stores it as the number it shows (see NumberText), a CSV file as its text.
class ExportTable
{
public:
    ExportTable() = default;
    ExportTable(int rowCount, int columnCount);

    // A table of `columnCount` columns from plain texts: column i is titled with titles[i] where
    // the list has that entry, and row r holds the texts of rows[r] (cells past a row's texts stay
    // unset). From the same texts this is the sheet the records page exports, whose table has a
    // header item over every column.
    static ExportTable fromTexts(const QStringList &titles, const QList<QStringList> &rows, int columnCount);

    int rowCount() const { return rows; }
    int columnCount() const { return columns; }

    void setHeaderText(int column, const QString &text);
    bool hasHeader(int column) const { return headerSet.at(size_t(column)); }
    const QString &headerText(int column) const { return headers.at(column); }
    bool hasAnyHeader() const;

    void setCellText(int row, int column, const QString &text);
    void setCellNumber(int row, int column, const QString &text);
    bool hasCell(int row, int column) const { return cellKinds.at(at(row, column)) != Unset; }
    bool isNumber(int row, int column) const { return cellKinds.at(at(row, column)) == Number; }
    const QString &cellText(int row, int column) const { return cells.at(qsizetype(at(row, column))); }

private:
    enum CellKind : quint8 {
        Unset,
        Text,
        Number
    };
    void setCell(int row, int column, const QString &text, CellKind kind);
    size_t at(int row, int column) const { return size_t(row) * size_t(columns) + size_t(column); }

    int rows = 0;
    int columns = 0;
    QStringList headers;
    std::vector<bool> headerSet;
    QStringList cells;
    std::vector<CellKind> cellKinds;
};
