// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExportSheet.h"

#include <QStringList>

#include <utility>
#include <vector>

class RecordsTableModel;

// The figures of the records table's numeric columns over a set of its rows: per column how many
// of the rows hold a value (cells showing a marker, "----" or "无频闪"/"No", are left out), the
// minimum, maximum, mean and sample standard deviation (n − 1 in the denominator) of the values as
// the cells show them, and for illuminance, luminance and PPFD columns the uniformities
// U0 = min / mean and Ud = min / max. Names and probe names are no numbers and get no figures.
// Rows can be added a batch at a time (a table too large to hold at once).
class RecordStatistics
{
public:
    enum Figure {
        Values,    // n, of the N rows counted
        Minimum,
        Maximum,
        Mean,
        Deviation, // sample standard deviation
        U0,        // min / mean
        Ud         // min / max
    };
    static constexpr int FigureCount = Ud + 1;

    struct Column
    {
        int column = 0;          // in the records table
        bool uniformity = false; // illuminance, luminance or PPFD
        int decimals = 0;        // of the first value counted
        qint64 values = 0;
        // Values are counted in units of the column's last decimal (10^decimals of them make 1),
        // whole numbers as long as the cells show up to 8 decimals: no division per value, and
        // each figure is divided once, to the very double its text reads.
        double scale = 1;
        double minimum = 0;
        double maximum = 0;
        // Sums of the values less the first one, and of their squares: the variance without the
        // cancellation that plain sums of large, close values suffer.
        double shift = 0;
        double sum = 0;
        double squares = 0;
    };

    // Rows [first, last] of the table, both included.
    using RowRange = std::pair<int, int>;

    // Starts over with the numeric columns of the table as it is now.
    void start(const RecordsTableModel &table);
    // Counts the rows of the ranges (which may overlap or come in any order; rows past the
    // table are ignored), or every row of the table when there are none.
    void addRows(const RecordsTableModel &table, std::vector<RowRange> ranges = {});

    qint64 rowCount() const { return rows; }
    const std::vector<Column> &columns() const { return figures; }

    // Whether the column has the figure: U0 and Ud only for uniformity columns, every figure but
    // Values only with a value, the deviation with two, U0 and Ud only over a positive mean or
    // maximum.
    bool has(const Column &column, Figure figure) const;
    double value(const Column &column, Figure figure) const;
    // The figure as the strip shows it: "n of N" for Values, uniformities with 2 decimals, the
    // others with the column's; "----" where has() is false, empty where a figure does not apply.
    QString text(const Column &column, Figure figure, bool chinese) const;

    static QString figureLabel(Figure figure, bool chinese);

    // The sheet "统计"/"Statistics": a title row (the figure column, then the columns' titles
    // from titles, indexed by table column), a row "rows" with N, then one row per figure, the
    // figures as numbers with the same decimals as text() and "----" as a text.
    ExportSheet sheet(const QStringList &titles, bool chinese) const;

private:
    void addRow(const RecordsTableModel &table, int row);

    std::vector<Column> figures;
    qint64 rows = 0;
};
