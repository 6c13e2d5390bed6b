// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChromaticityChartGeometry.h"

#include <QtTest>

namespace {

bool anyOverlap(const QVector<ChartText> &labels, const QVector<ChartText> &others)
{
    for (int i = 0; i < labels.size(); ++i) {
        for (int j = &labels == &others ? i + 1 : 0; j < others.size(); ++j) {
            if (labels[i].rect.intersects(others[j].rect))
                return true;
        }
    }
    return false;
}

// How far `point` lies from the segment `line`.
double distance(const QPointF &point, const QLineF &line)
{
    const QPointF d = line.p2() - line.p1();
    const double length2 = QPointF::dotProduct(d, d);
    const double t = length2 > 0 ? qBound(0.0, QPointF::dotProduct(point - line.p1(), d) / length2, 1.0) : 0;
    return QLineF(point, line.p1() + t * d).length();
}

// Whether any of `lines` runs through `rect`, looked for every half pixel along them.
bool runsThrough(const QRectF &rect, const QPolygonF &lines, bool closed = false)
{
    for (qsizetype i = closed ? 0 : 1; i < lines.size(); ++i) {
        const QLineF line(lines.at((i + lines.size() - 1) % lines.size()), lines.at(i));
        for (double t = 0; t <= line.length(); t += 0.5) {
            if (rect.contains(line.pointAt(t / qMax(line.length(), 1e-9))))
                return true;
        }
    }
    return false;
}

} // namespace

class TestChromaticityChartGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void diagramFitsItsArea_data();
    void diagramFitsItsArea();
    void pointsOfTickedRecordsWithAColour();
};

void TestChromaticityChartGeometry::diagramFitsItsArea_data()
{
    QTest::addColumn<QRectF>("area");
    QTest::newRow("smallest the dialog allows") << QRectF(0, 0, 200, 200);
    QTest::newRow("small") << QRectF(0, 0, 220, 240);
    QTest::newRow("square, offset") << QRectF(30, 40, 500, 500);
    QTest::newRow("wide") << QRectF(5, 7, 1200, 320);
    QTest::newRow("tall") << QRectF(0, 0, 300, 900);
}

void TestChromaticityChartGeometry::diagramFitsItsArea()
{
    QFETCH(QRectF, area);
    const ChromaticityChart chart = ChromaticityChartGeometry::compute(area, {}, {}, false);

    // One scale for x and y, the whole range inside the area, the loci inside the plot.
    QVERIFY(area.contains(chart.plot));
    QVERIFY(qAbs(chart.plot.width() / chart.plot.height() - 0.8 / 0.9) < 1e-9);
    QCOMPARE(chart.toArea({0, 0}), chart.plot.bottomLeft());
    QCOMPARE(chart.toArea({0.8, 0.9}), chart.plot.topRight());
    const QRectF plot = chart.plot.adjusted(-1e-9, -1e-9, 1e-9, 1e-9);
    for (const QPointF &p : chart.spectralLocus)
        QVERIFY(plot.contains(p));
    for (const QPointF &p : chart.planckianLocus)
        QVERIFY(chart.spectralLocus.containsPoint(p, Qt::OddEvenFill));
    for (const QLineF &line : chart.isotemperatureLines)
        QVERIFY(chart.spectralLocus.containsPoint(line.center(), Qt::OddEvenFill));

    // Every wavelength tick points out of the locus, away from the equal-energy white point.
    const QPointF white = chart.toArea({1.0 / 3, 1.0 / 3});
    QVERIFY(!chart.wavelengthTicks.isEmpty());
    for (const QLineF &tick : chart.wavelengthTicks) {
        QVERIFY(QLineF(white, tick.p2()).length() > QLineF(white, tick.p1()).length());
        QVERIFY(!chart.spectralLocus.containsPoint(tick.p2(), Qt::OddEvenFill));
    }

    // However small the diagram, no label covers another.
    QVERIFY(!chart.wavelengthLabels.isEmpty() && !chart.temperatureLabels.isEmpty());
    for (const QVector<ChartText> *labels : {&chart.wavelengthLabels, &chart.temperatureLabels}) {
        QVERIFY(!anyOverlap(*labels, *labels));
        QVERIFY(!anyOverlap(*labels, chart.axisLabels));
        QVERIFY(!anyOverlap(*labels, {chart.title}));
    }
    // A temperature's label stands clear of the loci, the isotemperature lines and the ticks, and
    // nearer its own line than any other labelled one, so that it is read as that line's.
    const int kelvins[] = {1500, 2000, 2500, 3000, 4000, 5000, 6500, 10000};
    const auto labelled = [&chart, &kelvins](int k) {
        const QString text = QStringLiteral("%1K").arg(kelvins[k]);
        return std::any_of(chart.temperatureLabels.begin(), chart.temperatureLabels.end(),
                           [&text](const ChartText &label) { return label.text == text; });
    };
    for (const ChartText &label : chart.temperatureLabels) {
        const int own = int(std::find(std::begin(kelvins), std::end(kelvins), label.text.chopped(1).toInt()) - kelvins);
        QVERIFY2(own < chart.isotemperatureLines.size(), qPrintable(label.text));
        for (int k = 0; k < chart.isotemperatureLines.size(); ++k)
            QVERIFY2(k == own || !labelled(k) || distance(label.rect.center(), chart.isotemperatureLines.at(k))
                                     > distance(label.rect.center(), chart.isotemperatureLines.at(own)),
                     qPrintable(label.text));
        QVERIFY2(!runsThrough(label.rect, chart.spectralLocus, true), qPrintable(label.text));
        QVERIFY2(!runsThrough(label.rect, chart.planckianLocus), qPrintable(label.text));
        for (const QVector<QLineF> *lines : {&chart.isotemperatureLines, &chart.wavelengthTicks}) {
            for (const QLineF &line : *lines)
                QVERIFY2(!runsThrough(label.rect, QPolygonF{line.p1(), line.p2()}), qPrintable(label.text));
        }
    }
    // The axis labels stand apart too (every other one goes where they would not), and the y
    // axis has its title left of its labels.
    QVERIFY(chart.axisLabels.size() >= 6);
    QVERIFY(!anyOverlap(chart.axisLabels, chart.axisLabels));
    QVERIFY(!anyOverlap(chart.axisLabels, {chart.yTitle, chart.title}));
    QVERIFY(chart.yTitle.rect.width() > 0 && area.contains(chart.yTitle.rect));
}

void TestChromaticityChartGeometry::pointsOfTickedRecordsWithAColour()
{
    // Records 0 and 3 have a colour and are ticked; 1 has none, 2 is not ticked, 4 has no colour yet.
    std::vector<ColourMetrics> metrics(4);
    const ChromaticityXy places[] = {{0.3, 0.4}, {0, 0}, {0.4, 0.4}, {0.5, 0.4}};
    for (size_t k = 0; k < 4; ++k) {
        metrics[k].valid = k != 1;
        metrics[k].xy = places[k];
    }
    std::vector<SpectralRecord> records(5);
    records[2].curveVisible = false;
    const ChromaticityChart chart = ChromaticityChartGeometry::compute(QRectF(0, 0, 400, 450), metrics, records, true);

    QCOMPARE(chart.points.size(), 2);
    for (const ChromaticityPoint &point : chart.points) {
        const int k = point.recordIndex;
        QVERIFY(k == 0 || k == 3);
        QCOMPARE(point.centre, chart.toArea(places[k]));
        QCOMPARE(point.colour, SpectrumChartGeometry::curveColour(k));
        QCOMPARE(point.label.text, QString::number(k + 1));
    }
    // The mouse finds the point it is over, the last drawn where points lie on each other.
    QCOMPARE(ChromaticityChartGeometry::pointAt(chart.points, chart.points[1].centre + QPointF(3, 2))->recordIndex, 3);
    QVERIFY(!ChromaticityChartGeometry::pointAt(chart.points, chart.toArea({0.1, 0.8})));
    QVector<ChromaticityPoint> stacked = {chart.points[0], chart.points[1], chart.points[0]};
    stacked[2].recordIndex = 7;
    QCOMPARE(ChromaticityChartGeometry::pointAt(stacked, chart.points[0].centre)->recordIndex, 7);
    QVERIFY(!ChromaticityChartGeometry::labelsStandClear(stacked));
    // x grows to the right, y upwards.
    QVERIFY(chart.points[1].centre.x() > chart.points[0].centre.x());
    QVERIFY(chart.toArea({0.3, 0.5}).y() < chart.points[0].centre.y());
}

QTEST_MAIN(TestChromaticityChartGeometry)
#include "tst_ChromaticityChartGeometry.moc"
