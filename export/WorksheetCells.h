// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BiffRecord.h"

#include <QString>
#include <QVector>

#include <vector>

// The cell table of the worksheet being written: the cells and ROW records it had in the
// template, kept as their original record bytes, plus the text, number and blank cells written now.
// Written back in the order the format asks for: blocks of 32 rows, each block's ROW records
// first, then its cells by row and column. INDEX and DBCELL are not kept (they only speed up
// lookups and would need exact offsets).
class WorksheetCells
{
public:
    struct Range
    {
        int firstRow = 0;
        int lastRow = 0;
        int firstColumn = 0;
        int lastColumn = 0;
        bool contains(int row, int column) const
        {
            return row >= firstRow && row <= lastRow && column >= firstColumn && column <= lastColumn;
        }
    };

    static constexpr quint32 NoString = 0xFFFFFFFF;

    // Whether a record id belongs to the cell table (ROW, cell records and formula companions).
    static bool isCellTableRecord(quint16 id);

    // Takes the sheet's cell-table records in stream order; a CONTINUE goes with the record before
    // it. Fails on records that do not fit the format.
    bool addRecord(const BiffRecord &record, QString *error);
    void addColumnInfo(const BiffRecord &record);
    void setOldDimensions(const QByteArray &payload) { oldDimensions = payload; }

    // Ranges of shared, array and table formulas: their anchor cells must not be overwritten, or
    // the formulas that depend on them would lose their definition.
    const QVector<Range> &formulaRanges() const { return lockedRanges; }

    // Cell format a cell at (row, column) has now: its own, else its row's, else its column's,
    // else the default cell format 15.
    quint16 currentXf(int row, int column) const;

    // Put a text cell (index into the shared strings) or a blank cell at (row, column), replacing
    // what was there. Rows and columns are 0-based and must be inside the sheet's limits.
    void setLabel(int row, int column, quint16 xf, quint32 sstIndex);
    void setBlank(int row, int column, quint16 xf) { setLabel(row, column, xf, NoString); }
    // Put a number cell: an RK cell when that form holds the value exactly, else a NUMBER cell.
    void setNumber(int row, int column, quint16 xf, double value);

    // Number of LABELSST cells now in the table.
    quint32 labelCount() const { return labels; }
    quint32 loadedLabelCount() const { return loadedLabels; }
    qsizetype cellCount() const { return cells; }

    // DIMENSIONS payload: the template's range joined with the range of all cells.
    QByteArray dimensions() const;
    // Appends the cell table's records.
    void write(QByteArray &out) const;

private:
    // What a cell written now is; a template cell has the index of its record group instead.
    enum WrittenKind : qint32 {
        WrittenText = -1,
        WrittenRk = -2,
        WrittenNumber = -3
    };
    struct Cell
    {
        quint16 column;
        quint16 xf;
        qint32 group;  // index into `groups` for a template cell, else a WrittenKind
        quint32 value; // shared string (NoString for a blank), RK form, or index into `numbers`
    };
    struct Row
    {
        std::vector<Cell> cells;
        QByteArray record; // ROW payload, empty when the row has none
    };
    struct ColumnFormat
    {
        int first;
        int last;
        quint16 xf;
    };

    Row &row(int index);
    void place(int rowIndex, const Cell &cell);
    bool addGroup(quint16 id, int rowIndex, int column, quint16 xf, const QByteArray &recordBytes, QString *error);
    void release(const Cell &old);
    bool isLabel(const Cell &cell) const;

    std::vector<Row> rows;
    QVector<QByteArray> groups; // whole records (headers included) of one template cell each
    std::vector<bool> groupIsLabel;
    std::vector<double> numbers; // values of NUMBER cells written now
    QVector<Range> lockedRanges;
    QVector<ColumnFormat> columnFormats;
    QByteArray oldDimensions;
    int lastGroup = -1;
    quint32 labels = 0;
    quint32 loadedLabels = 0;
    qsizetype cells = 0;
};
