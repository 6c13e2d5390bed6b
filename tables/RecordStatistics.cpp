// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordStatistics.h"

#include "ColourFigures.h"
#include "RecordRowTexts.h"
#include "RecordsTableModel.h"
#include "TextCatalogue.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

constexpr int uniformityDecimals = 2;
// Up to 8 decimals a float times 10^decimals is exact in a double.
constexpr double powers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
constexpr int exactDecimals = int(std::size(powers)) - 1;

const Text figureTexts[] = {
    Text::StatisticsCount, Text::StatisticsMinimum, Text::StatisticsMaximum, Text::StatisticsMean,
    Text::StatisticsDeviation, Text::StatisticsU0, Text::StatisticsUd,
};
static_assert(sizeof figureTexts / sizeof figureTexts[0] == size_t(RecordStatistics::FigureCount),
              "one label per figure");

bool isUniformityColumn(Text title)
{
    return title == Text::Illuminance || title == Text::Luminance || title == Text::Ppfd;
}

} // namespace

void RecordStatistics::start(const RecordsTableModel &table)
{
    figures.clear();
    rows = 0;
    for (int c = 0; c < table.operationColumn(); ++c) {
        const Text title = table.columnTitle(c);
        if (title == Text::TestName || title == Text::ProbeModel)
            continue;
        Column column;
        column.column = c;
        column.uniformity = isUniformityColumn(title);
        figures.push_back(column);
    }
}

void RecordStatistics::addRow(const RecordsTableModel &table, int row)
{
    ++rows;
    const RecordsTableModel::RowFields cells = table.rowFields(row);
    const qsizetype fieldCount = qMin(qsizetype(cells.fields.size()), cells.decimals.size());
    for (Column &column : figures) {
        // Names, probe names and markers are no values; nor are cells the row lacks.
        const int k = column.column - cells.firstColumn;
        if (k < 0 || k >= fieldCount)
            continue;
        const RecordField &cell = cells.fields[size_t(k)];
        const float field = cell.value;
        if (cell.marker != ValueMarker::None || !std::isfinite(field))
            continue;
        const int decimals = cells.decimals[k];
        if (column.values == 0) {
            column.decimals = decimals;
            column.scale = decimals >= 0 && decimals <= exactDecimals ? powers[decimals] : 1;
        }
        // Rounded as the cell's text is (half away from zero, as Qt's fixed notation rounds);
        // a row shown with other decimals than the column's first goes the long way.
        const bool exact = decimals == column.decimals && decimals >= 0 && decimals <= exactDecimals;
        const double value = exact
                                 ? std::round(double(field) * column.scale)
                                 : RecordRowTexts::shownValue(field, decimals) * column.scale;
        if (column.values == 0) {
            column.minimum = column.maximum = column.shift = value;
        } else {
            column.minimum = std::min(column.minimum, value);
            column.maximum = std::max(column.maximum, value);
        }
        const double offset = value - column.shift;
        column.sum += offset;
        column.squares += offset * offset;
        ++column.values;
    }
}

void RecordStatistics::addRows(const RecordsTableModel &table, std::vector<RowRange> ranges)
{
    const int last = table.rowCount() - 1;
    if (ranges.empty()) {
        for (int r = 0; r <= last; ++r)
            addRow(table, r);
        return;
    }
    // Each row once, however the ranges overlap.
    std::sort(ranges.begin(), ranges.end());
    int next = 0; // the first row not counted yet
    for (const RowRange &range : ranges) {
        const int to = std::min(range.second, last);
        for (int r = std::max(range.first, next); r <= to; ++r)
            addRow(table, r);
        next = std::max(next, to + 1);
    }
}

bool RecordStatistics::has(const Column &column, Figure figure) const
{
    switch (figure) {
    case Values:
        return true;
    case Minimum:
    case Maximum:
    case Mean:
        return column.values > 0;
    case Deviation:
        return column.values > 1;
    case U0:
        return column.uniformity && column.values > 0 && value(column, Mean) > 0;
    case Ud:
        return column.uniformity && column.values > 0 && column.maximum > 0;
    }
    return false;
}

double RecordStatistics::value(const Column &column, Figure figure) const
{
    const double n = double(column.values);
    switch (figure) {
    case Values:
        return n;
    case Minimum:
        return column.minimum / column.scale;
    case Maximum:
        return column.maximum / column.scale;
    case Mean:
        return column.values > 0 ? (column.shift + column.sum / n) / column.scale : 0;
    case Deviation: {
        if (column.values < 2)
            return 0;
        const double squares = column.squares - column.sum * column.sum / n;
        return std::sqrt(std::max(squares, 0.0) / (n - 1)) / column.scale;
    }
    case U0: {
        const double mean = value(column, Mean);
        return mean > 0 ? value(column, Minimum) / mean : 0;
    }
    case Ud:
        return column.maximum > 0 ? column.minimum / column.maximum : 0;
    }
    return 0;
}

QString RecordStatistics::text(const Column &column, Figure figure, bool chinese) const
{
    if (figure == Values)
        return TextCatalogue::text(Text::StatisticsValuesOf, chinese).arg(column.values).arg(rows);
    if ((figure == U0 || figure == Ud) && !column.uniformity)
        return QString();
    if (!has(column, figure))
        return TextCatalogue::text(Text::InvalidValue, chinese);
    // A catalog's decimals are kept within what the cells show (RecordRowTexts::number).
    const int decimals = figure == U0 || figure == Ud ? uniformityDecimals : qBound(0, column.decimals, 16);
    return ColourFigures::fixed(value(column, figure), decimals);
}

QString RecordStatistics::figureLabel(Figure figure, bool chinese)
{
    return TextCatalogue::text(figureTexts[figure], chinese);
}

ExportSheet RecordStatistics::sheet(const QStringList &titles, bool chinese) const
{
    const int columnCount = int(figures.size()) + 1;
    ExportTable table(FigureCount + 1, columnCount);
    table.setHeaderText(0, TextCatalogue::text(Text::StatisticsFigure, chinese));
    table.setCellText(0, 0, TextCatalogue::text(Text::StatisticsRows, chinese));
    for (int f = 0; f < FigureCount; ++f)
        table.setCellText(f + 1, 0, figureLabel(Figure(f), chinese));
    for (int c = 1; c < columnCount; ++c) {
        const Column &column = figures[size_t(c - 1)];
        table.setHeaderText(c, titles.value(column.column));
        table.setCellNumber(0, c, QString::number(rows));
        table.setCellNumber(1, c, QString::number(column.values));
        for (int f = Minimum; f < FigureCount; ++f) {
            const QString cell = text(column, Figure(f), chinese);
            if (has(column, Figure(f)))
                table.setCellNumber(f + 1, c, cell);
            else if (!cell.isEmpty())
                table.setCellText(f + 1, c, cell);
        }
    }
    return {TextCatalogue::text(Text::StatisticsName, chinese), table};
}
