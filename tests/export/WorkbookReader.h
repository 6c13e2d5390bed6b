// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>

// Reads a workbook back with an independent reader and gives both formats in xlrd's terms: an
// .xlsx file through python3-openpyxl, any other through python3-xlrd, the strictest of the Linux
// readers of .xls (it fails on a broken OLE chain, a sheet position that misses its BOF, SST/CONTINUE
// errors, string indexes out of range), with formatting information. Warnings of either fail.
class WorkbookReader
{
public:
    struct Cell
    {
        int type = 0; // xlrd's ctype: 0 empty, 1 text, 2 number, 6 blank
        QVariant value;
        int horizontalAlignment = -1; // xlrd's number: 0 general, 1 left, 2 centred, 3 right, ...
        int xfIndex = -1;             // -1 in .xlsx
        QString numberFormat;         // the cell format's number format code, "General" for none
        bool bold = false;
        bool wrap = false;
    };
    struct Sheet
    {
        QString name;
        int rows = 0;
        int columns = 0;
        QHash<QPair<int, int>, Cell> cells; // 0-based (row, column), empty cells left out
        QList<QList<int>> merged;           // [firstRow, lastRow + 1, firstColumn, lastColumn + 1]

        bool has(int row, int column) const { return cells.contains({row, column}); }
        Cell cell(int row, int column) const { return cells.value({row, column}); }
        // What the cell shows: a number in fixed notation with its number format's decimals ("0.00"
        // shows two), anything else its value as text.
        QString text(int row, int column) const;
    };

    // Runs the reader of the file's format; false with the reason in error() when it fails or warns.
    bool read(const QString &fileName);
    QString error() const { return failure; }
    const QList<Sheet> &sheets() const { return sheetList; }
    const Sheet &sheet(int index) const { return sheetList.at(index); }

    // The python interpreter that has xlrd, or empty.
    static QString python();

private:
    QString failure;
    QList<Sheet> sheetList;
};
