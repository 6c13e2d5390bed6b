// SPDX-License-Identifier: GPL-3.0-or-later
// The records page's statistics strip over 65,535 kind-1 rows (the most a meter holds that an
// .xls sheet takes): the time from a selection change to the figures of every column, for three
// selections: none (all rows), one range of all rows, and every other row (32,768 ranges, the
// worst a mouse can make). Values vary over five decades, with markers ("----", no flicker)
// sprinkled as a meter writes them. The machine is shared, so the best of fifteen runs counts.
//
// Run a Release build: statistics_bench. The last line is "statistics update: X ms", the slowest
// of the three selections; the aim is below 20 ms.

#include "MeterFacts.h"
#include "RecordsTableModel.h"
#include "StatisticsTableModel.h"
#include "ValueMarkers.h"

#include <QElapsedTimer>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>

namespace {

constexpr int rows = 65535;
constexpr int runs = 15;

MeterFlow::Download memory()
{
    std::mt19937 random(20261207);
    std::uniform_real_distribution<double> unit(0, 1);
    MeterFlow::Download download;
    download.count = rows;
    download.records = QByteArray(qsizetype(rows) * MeterFacts::RecordSize, '\0');
    for (int j = 0; j < rows; ++j) {
        uchar *record = reinterpret_cast<uchar *>(download.records.data()) + qsizetype(j) * MeterFacts::RecordSize;
        for (int w = 0; w < MeterFacts::RecordWords; ++w) {
            const float value = float(std::pow(10.0, 5 * unit(random) - 1));
            quint32 word;
            std::memcpy(&word, &value, sizeof word);
            if (unit(random) < 0.02)
                word = w == 6 || w == 7 ? ValueMarkers::noFlickerMarker : ValueMarkers::invalidMarker;
            qToLittleEndian(word, record + 4 * w);
        }
    }
    return download;
}

} // namespace

int main()
{
    RecordsTableModel records;
    records.setUpColumns(1, 0, QList<int>(MeterFacts::UnitSlotCount, 5), {});
    records.appendDownload(1, 0, memory(), {});
    std::printf("rows: %d, columns: %d\n", records.rowCount(), records.columnCount());

    StatisticsTableModel strip(records);
    std::vector<RecordStatistics::RowRange> selection;
    strip.setSelectedRows([&selection] { return selection; });

    std::vector<RecordStatistics::RowRange> everyOther;
    for (int r = 0; r < rows; r += 2)
        everyOther.emplace_back(r, r);
    const struct
    {
        const char *name;
        std::vector<RecordStatistics::RowRange> ranges;
    } cases[] = {{"no selection (all rows)", {}}, {"all rows selected", {{0, rows - 1}}}, {"every other row", everyOther}};

    double slowest = 0;
    for (const auto &c : cases) {
        double best = std::numeric_limits<double>::max();
        for (int run = 0; run < runs; ++run) {
            selection = c.ranges;
            QElapsedTimer timer;
            timer.start();
            strip.refresh();
            best = std::min(best, timer.nsecsElapsed() / 1e6);
        }
        const RecordStatistics::Column &illuminance = strip.statistics().columns().front();
        std::printf("%s: %.2f ms (%lld rows, illuminance mean %s, U0 %s)\n", c.name, best,
                    static_cast<long long>(strip.statistics().rowCount()),
                    qPrintable(strip.statistics().text(illuminance, RecordStatistics::Mean, false)),
                    qPrintable(strip.statistics().text(illuminance, RecordStatistics::U0, false)));
        slowest = std::max(slowest, best);
    }
    std::printf("statistics update: %.2f ms\n", slowest);
    return 0;
}
