// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics of a records table decoded from kind-1 record memory: every figure of every
// column against the same figures worked out here from the cells' texts (two passes, n − 1), over
// all rows and over selections, with markers, a single row, no rows and a column of zeros; the
// strip's model over a selection, and the export sheet.
#include "ExportTable.h"
#include "MeterFacts.h"
#include "MeterKind.h"
#include "RecordStatistics.h"
#include "RecordsTableModel.h"
#include "StatisticsTableModel.h"
#include "TextCatalogue.h"
#include "ValueMarkers.h"

#include <QAbstractItemModelTester>
#include <QtEndian>
#include <QtTest>

#include <cmath>

using Ranges = std::vector<RecordStatistics::RowRange>;
Q_DECLARE_METATYPE(Ranges)

namespace {

// Records whose word w of record j is `value(j, w)`; words listed in `markers` as (record, word,
// marker word) hold the marker instead.
MeterFlow::Download download(int count, double (*value)(int, int), QList<std::array<quint32, 3>> markers = {})
{
    MeterFlow::Download memory;
    memory.count = count;
    memory.records = QByteArray(count * MeterFacts::RecordSize, '\0');
    for (int j = 0; j < count; ++j) {
        for (int w = 0; w < MeterFacts::RecordWords; ++w)
            qToLittleEndian(float(value(j, w)), memory.records.data() + j * MeterFacts::RecordSize + 4 * w);
    }
    for (const auto &marker : markers)
        qToLittleEndian(marker[2], memory.records.data() + marker[0] * MeterFacts::RecordSize + 4 * marker[1]);
    return memory;
}

double spread(int j, int w)
{
    return (j % 2 ? 1300.123 : 977.7) + 13.7 * j * (w + 1) - 0.25 * w;
}

double zeros(int, int)
{
    return 0;
}

void fill(RecordsTableModel &table, const MeterFlow::Download &memory)
{
    table.setUpColumns(1, 0, QList<int>(MeterFacts::UnitSlotCount, 5), {});
    table.appendDownload(1, 0, memory, {});
}

// The figures of one column as a spreadsheet would have them from the cells of `rows`.
QStringList expectedTexts(const RecordsTableModel &table, const QList<int> &rows, int column)
{
    QList<double> values;
    int decimals = 0;
    for (const int r : rows) {
        bool number = false;
        const QString text = table.cellText(r, column);
        const double value = text.toDouble(&number);
        if (!number)
            continue;
        if (values.isEmpty())
            decimals = text.contains(QLatin1Char('.')) ? int(text.size() - text.indexOf(QLatin1Char('.')) - 1) : 0;
        values << value;
    }
    const QString none = QStringLiteral("----");
    const bool uniformity = table.columnTitle(column) == Text::Illuminance;
    const auto fixed = [](double v, int d) {
        const QString text = QString::number(v, 'f', d);
        return text.toDouble() == 0 ? QString::number(0.0, 'f', d) : text;
    };
    QStringList texts{QStringLiteral("%1 of %2").arg(values.size()).arg(rows.size())};
    if (values.isEmpty()) {
        texts << none << none << none << none;
        if (uniformity)
            texts << none << none;
        return texts;
    }
    double min = values.first(), max = values.first(), sum = 0;
    for (const double v : values) {
        min = std::min(min, v);
        max = std::max(max, v);
        sum += v;
    }
    const double mean = sum / values.size();
    double squares = 0;
    for (const double v : values)
        squares += (v - mean) * (v - mean);
    texts << fixed(min, decimals) << fixed(max, decimals) << fixed(mean, decimals)
          << (values.size() > 1 ? fixed(std::sqrt(squares / (values.size() - 1)), decimals) : none);
    if (uniformity)
        texts << (mean > 0 ? fixed(min / mean, 2) : none) << (max > 0 ? fixed(min / max, 2) : none);
    return texts;
}

} // namespace

class TestRecordStatistics : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void figures_data();
    void figures();
    void stripFollowsSelection();
    void sheet();
};

void TestRecordStatistics::figures_data()
{
    QTest::addColumn<MeterFlow::Download>("memory");
    QTest::addColumn<Ranges>("ranges");
    QTest::addColumn<QList<int>>("rows"); // the rows the ranges count
    const QList<std::array<quint32, 3>> markers{{0, 6, ValueMarkers::noFlickerMarker},
                                                {1, 6, ValueMarkers::noFlickerMarker},
                                                {2, 0, ValueMarkers::invalidMarker},
                                                {3, 5, ValueMarkers::invalidMarker2},
                                                {0, 7, ValueMarkers::noFlickerMarker}};
    const MeterFlow::Download marked = download(6, spread, markers);
    QTest::newRow("all rows, markers") << marked << Ranges{} << QList<int>{0, 1, 2, 3, 4, 5};
    QTest::newRow("overlapping selection") << marked << Ranges{{3, 4}, {0, 1}, {1, 3}} << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("one row") << marked << Ranges{{4, 4}} << QList<int>{4};
    QTest::newRow("marker in the one row") << marked << Ranges{{2, 2}} << QList<int>{2};
    QTest::newRow("past the table") << marked << Ranges{{4, 40}} << QList<int>{4, 5};
    QTest::newRow("no rows") << download(0, spread) << Ranges{} << QList<int>{};
    QTest::newRow("zeros") << download(3, zeros) << Ranges{} << QList<int>{0, 1, 2};
    QTest::newRow("large and close") << download(4, [](int j, int w) { return 1e6 + 0.5 * j + w; }) << Ranges{}
                                     << QList<int>{0, 1, 2, 3};
}

void TestRecordStatistics::figures()
{
    QFETCH(MeterFlow::Download, memory);
    QFETCH(Ranges, ranges);
    QFETCH(QList<int>, rows);
    RecordsTableModel table;
    table.setChinese(false);
    fill(table, memory);
    QCOMPARE(table.rowCount(), int(memory.count));
    RecordStatistics statistics;
    statistics.start(table);
    statistics.addRows(table, ranges);
    QCOMPARE(statistics.rowCount(), rows.size());
    QCOMPARE(int(statistics.columns().size()), MeterKind::find(1)->standardColumns.size());
    for (const RecordStatistics::Column &column : statistics.columns()) {
        QStringList texts;
        for (int f = 0; f < RecordStatistics::FigureCount; ++f) {
            const QString text = statistics.text(column, RecordStatistics::Figure(f), false);
            if (!text.isEmpty())
                texts << text;
        }
        QCOMPARE(texts, expectedTexts(table, rows, column.column));
    }
}

void TestRecordStatistics::stripFollowsSelection()
{
    RecordsTableModel table;
    StatisticsTableModel strip(table);
    const QAbstractItemModelTester tester(&strip, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(strip.columnCount(), 0); // no columns before a meter's
    fill(table, download(5, spread));
    QCOMPARE(strip.columnCount(), 14);
    QCOMPARE(strip.summary(), QStringLiteral("统计: 全部 5 行"));
    QCOMPARE(strip.data(strip.index(0, 1)).toString(), QStringLiteral("5 / 5"));
    Ranges selected{{1, 2}};
    strip.setSelectedRows([&selected] { return selected; });
    QCOMPARE(strip.summary(), QStringLiteral("统计: 选中 2 行 (共 5 行)"));
    QCOMPARE(strip.data(strip.index(RecordStatistics::Minimum, 1)).toString(), table.cellText(2, 0)); // 1005 < 1314
    // A removed row and a language switch reach the strip at once; a selection of rows that are
    // gone counts as none.
    selected = {{4, 4}};
    table.removeRecord(4);
    QCOMPARE(strip.summary(), QStringLiteral("统计: 全部 4 行"));
    table.setChinese(false);
    QCOMPARE(strip.data(strip.index(RecordStatistics::Mean, 0)).toString(), QStringLiteral("Mean"));
    QCOMPARE(strip.headerData(1, Qt::Horizontal).toString(), table.headerData(0, Qt::Horizontal).toString());
    table.clear();
    QCOMPARE(strip.data(strip.index(0, 1)).toString(), QStringLiteral("0 of 0"));
    QCOMPARE(strip.data(strip.index(RecordStatistics::U0, 1)).toString(), QStringLiteral("----"));
}

void TestRecordStatistics::sheet()
{
    RecordsTableModel table;
    fill(table, download(3, spread, {{1, 0, ValueMarkers::invalidMarker}}));
    RecordStatistics statistics;
    statistics.start(table);
    statistics.addRows(table);
    const ExportSheet sheet = statistics.sheet(QStringList{QStringLiteral("E")}, true);
    // Rows and values, then the figures as the strip writes them: numbers, "----" a text, a
    // figure that does not apply no cell.
    QCOMPARE(sheet.table.headerText(1) + sheet.table.cellText(0, 1) + sheet.table.cellText(1, 1), QStringLiteral("E32"));
    const RecordStatistics::Column &illuminance = statistics.columns().front();
    for (int f = RecordStatistics::Minimum; f < RecordStatistics::FigureCount; ++f)
        QCOMPARE(sheet.table.cellText(f + 1, 1), statistics.text(illuminance, RecordStatistics::Figure(f), true));
    QVERIFY(sheet.table.isNumber(RecordStatistics::Ud + 1, 1) && !sheet.table.hasCell(RecordStatistics::U0 + 1, 2));
    statistics.start(table);
    statistics.addRows(table, {{1, 1}}); // the marker's row: no value
    QVERIFY(!statistics.sheet({}, false).table.isNumber(RecordStatistics::Minimum + 1, 1));
}

QTEST_GUILESS_MAIN(TestRecordStatistics)
#include "tst_recordstatistics.moc"
