// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectrumChartGeometry.h"

#include <QFontMetricsF>
#include <QtTest>

#include <cmath>
#include <limits>

using Values = QList<float>;

namespace {

// A record whose first values are given and whose other values are 0.
SpectralRecord recordOf(const Values &leading, bool ticked = true)
{
    SpectralRecord record;
    for (int i = 0; i < leading.size() && i < SpectralRecord::valueCount; ++i)
        record.values[size_t(i)] = leading[i];
    record.curveVisible = ticked;
    return record;
}

// The scale a value raises: 1.2 times the value, rounded once to single precision.
float raisedBy(float value)
{
    return float(1.2 * double(value));
}

const QRectF area(10, 20, 1000, 500); // left 210, right 810, top 120, bottom 420, plot 600 x 300

} // namespace

class TestSpectrumChartGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scaleRule_data();
    void scaleRule();
    void curveColours_data();
    void curveColours();
    void plotFrame();
    void wavelengthLabelsSitOnTheirWavelengths_data();
    void wavelengthLabelsSitOnTheirWavelengths();
    void axisLabelsNeverTouch_data();
    void axisLabelsNeverTouch();
    void powerLabelsAndTitles();
    void peakIsLevelWithTheTopLabel();
    void laterSmallerPeakLiesAboveTheTopLabel();
    void onlyTickedRecordsAreDrawnAndColouredByPosition();
    void valuesThatAreNotFiniteBreakTheCurve();
    void readoutUnderTheMouse_data();
    void readoutUnderTheMouse();
    void readoutReadsAsTheAxis_data();
    void readoutReadsAsTheAxis();
    void normalisedPeaksAreLevelWithTheTopLabel();
    void absoluteLabelsTakeRoundSteps_data();
    void absoluteLabelsTakeRoundSteps();
    void legendOfTheTickedRecords_data();
    void legendOfTheTickedRecords();
};

void TestSpectrumChartGeometry::scaleRule_data()
{
    QTest::addColumn<QList<Values>>("records");
    QTest::addColumn<QList<bool>>("ticked");
    QTest::addColumn<float>("expected");

    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("no records") << QList<Values>{} << QList<bool>{} << 0.0012f;
    QTest::newRow("all zero") << QList<Values>{{0, 0, 0}} << QList<bool>{true} << 0.0012f;
    QTest::newRow("below the start") << QList<Values>{{0.001f}} << QList<bool>{true} << 0.0012f;
    QTest::newRow("equal to the start does not raise") << QList<Values>{{0.0012f}} << QList<bool>{true} << 0.0012f;
    QTest::newRow("negative values") << QList<Values>{{-5, -1}} << QList<bool>{true} << 0.0012f;
    QTest::newRow("one peak") << QList<Values>{{0, 5, 1}} << QList<bool>{true} << raisedBy(5.0f);
    QTest::newRow("1.0 then 1.1") << QList<Values>{{1.0f, 1.1f}} << QList<bool>{true} << 1.2f;
    QTest::newRow("1.1 then 1.0") << QList<Values>{{1.1f, 1.0f}} << QList<bool>{true} << raisedBy(1.1f);
    QTest::newRow("1.0 then 1.3") << QList<Values>{{1.0f, 1.3f}} << QList<bool>{true} << raisedBy(1.3f);
    // 1 sets 1.2; 1.15 and 1.19 stay below it; 1.21 raises to 1.452; 1.45 does not; 1.5 raises to 1.8.
    QTest::newRow("rising in steps") << QList<Values>{{1, 1.15f, 1.19f, 1.21f, 1.45f, 1.5f, 1.7f}} << QList<bool>{true}
                                     << raisedBy(1.5f);
    QTest::newRow("across records") << QList<Values>{{1.0f}, {1.1f}} << QList<bool>{true, true} << 1.2f;
    QTest::newRow("unticked record ignored") << QList<Values>{{1.0f}, {50.0f}} << QList<bool>{true, false} << 1.2f;
    QTest::newRow("only unticked records") << QList<Values>{{7.0f}} << QList<bool>{false} << 0.0012f;
    // 1.2f * 0.500000179f rounds to 0.600000262f; 1.2 * 0.500000179 rounded once is 0.600000203f.
    QTest::newRow("one rounding") << QList<Values>{{0.500000179f}} << QList<bool>{true} << 0.600000203f;
    QTest::newRow("NaN never counts") << QList<Values>{{nan, 2.0f, nan}} << QList<bool>{true} << 2.4f;
}

void TestSpectrumChartGeometry::scaleRule()
{
    QFETCH(QList<Values>, records);
    QFETCH(QList<bool>, ticked);
    QFETCH(float, expected);

    std::vector<SpectralRecord> list;
    for (int i = 0; i < records.size(); ++i)
        list.push_back(recordOf(records[i], ticked[i]));
    const float scale = SpectrumChartGeometry::scaleFor(list);
    // Single precision, compared exactly: raisedBy(1.0f), not 1.2 rounded some other way.
    QCOMPARE(scale, expected);
    QCOMPARE(SpectrumChartGeometry::compute(area, list, true).scale, expected);
}

void TestSpectrumChartGeometry::curveColours_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<QColor>("colour");
    // The first colours stay what they were; the list repeats after twelve.
    QTest::newRow("0") << 0 << QColor(0, 0, 0);
    QTest::newRow("1") << 1 << QColor(1, 100, 200);
    QTest::newRow("2") << 2 << QColor(2, 200, 144);
    QTest::newRow("12") << 12 << QColor(0, 0, 0);
    QTest::newRow("13") << 13 << QColor(1, 100, 200);
}

void TestSpectrumChartGeometry::curveColours()
{
    QFETCH(int, k);
    QFETCH(QColor, colour);
    const QColor c = SpectrumChartGeometry::curveColour(k);
    QCOMPARE(c.rgba(), colour.rgba());
    QCOMPARE(c.alpha(), 255);
    // Any two of the twelve are told apart: far from each other, and none lost on white.
    for (int a = 0; a < 12; ++a) {
        const QColor x = SpectrumChartGeometry::curveColour(a);
        QVERIFY2(x.lightness() < 200, qPrintable(x.name()));
        for (int b = a + 1; b < 12; ++b) {
            const QColor y = SpectrumChartGeometry::curveColour(b);
            const int distance = qAbs(x.red() - y.red()) + qAbs(x.green() - y.green()) + qAbs(x.blue() - y.blue());
            QVERIFY2(distance > 90, qPrintable(x.name() + QLatin1Char(' ') + y.name()));
        }
    }
}

void TestSpectrumChartGeometry::plotFrame()
{
    const SpectrumChart chart = SpectrumChartGeometry::compute(area, {}, true);
    QCOMPARE(chart.left, 210.0);
    QCOMPARE(chart.right, 810.0);
    QCOMPARE(chart.top, 120.0);
    QCOMPARE(chart.bottom, 420.0);
    QCOMPARE(chart.plotW, 600.0);
    QCOMPARE(chart.plotH, 300.0);

    // 12 horizontal lines from the top (the x axis is not among them), then one per wavelength.
    QCOMPARE(chart.gridLines.size(), 12 + 31);
    QCOMPARE(chart.gridLines.first(), QLineF(210, 120, 810, 120));
    QCOMPARE(chart.gridLines.at(11), QLineF(210, 395, 810, 395));
    QCOMPARE(chart.gridLines.at(12), QLineF(210, 120, 210, 420));
    QCOMPARE(chart.gridLines.at(13), QLineF(230, 120, 230, 420));
    QCOMPARE(chart.gridLines.last(), QLineF(810, 120, 810, 420));

    QCOMPARE(chart.axes.size(), 2);
    QCOMPARE(chart.axes.at(0), QLineF(210, 420, 810, 420));
    QCOMPARE(chart.axes.at(1), QLineF(210, 420, 210, 120));
    QVERIFY(chart.curves.isEmpty());
}

void TestSpectrumChartGeometry::wavelengthLabelsSitOnTheirWavelengths_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRectF>("rect");
    QTest::newRow("400 starts at the axis") << 0 << "400" << QRectF(210, 420, 30, 50);
    QTest::newRow("450") << 1 << "450" << QRectF(295, 420, 30, 50);
    QTest::newRow("500") << 2 << "500" << QRectF(395, 420, 30, 50);
    QTest::newRow("550") << 3 << "550" << QRectF(495, 420, 30, 50);
    QTest::newRow("600") << 4 << "600" << QRectF(595, 420, 30, 50);
    QTest::newRow("650") << 5 << "650" << QRectF(695, 420, 30, 50);
    QTest::newRow("700") << 6 << "700" << QRectF(795, 420, 30, 50);
}

void TestSpectrumChartGeometry::wavelengthLabelsSitOnTheirWavelengths()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QRectF, rect);
    const SpectrumChart chart = SpectrumChartGeometry::compute(area, {}, true);
    QCOMPARE(chart.wavelengthLabels.size(), 7);
    const ChartText &label = chart.wavelengthLabels.at(index);
    QCOMPARE(label.text, text);
    QCOMPARE(label.rect, rect);
    if (index == 0) {
        QCOMPARE(label.alignment, Qt::AlignLeft | Qt::AlignVCenter);
    } else {
        QCOMPARE(label.alignment, Qt::Alignment(Qt::AlignCenter));
        const double wavelengthX = chart.left + (text.toInt() - 400) * chart.plotW / 300;
        QCOMPARE(label.rect.center().x(), wavelengthX);
    }
}

void TestSpectrumChartGeometry::axisLabelsNeverTouch_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<QStringList>("wavelengths");
    const QStringList all{"400", "450", "500", "550", "600", "650", "700"};
    const QStringList hundreds{"400", "500", "600", "700"};
    QTest::newRow("wide") << 1000 << 12 << all;
    QTest::newRow("the dialog's narrowest chart") << 260 << 12 << hundreds;
    QTest::newRow("small font") << 400 << 8 << all;
    QTest::newRow("narrower still") << 220 << 12 << QStringList{"400", "550", "700"};
    // The upright y title, a line of 20 points thick, keeps its room beside "1.0" before 550 does.
    QTest::newRow("large font") << 300 << 20 << QStringList{"400", "700"};
    // Too small for the y title beside the labels: the chart goes without it.
    QTest::newRow("a stamp") << 120 << 12 << QStringList{"400", "700"};
}

// Drawn in the window's font at the chart's smallest sizes, no two labels of the x axis touch, nor
// one of them a label of the y axis or the upright y-axis title, on every scale and in both
// languages; 400 and 700 always stand at the ends.
void TestSpectrumChartGeometry::axisLabelsNeverTouch()
{
    QFETCH(int, width);
    QFETCH(int, pointSize);
    QFETCH(QStringList, wavelengths);
    QFont font(QStringLiteral("Noto Sans CJK SC"), pointSize);
    const QFontMetricsF metrics(font);
    for (const SpectrumScale scale : {SpectrumScale::Relative, SpectrumScale::Normalised, SpectrumScale::Absolute}) {
        for (const bool chinese : {true, false}) {
            const SpectrumChart chart = SpectrumChartGeometry::compute(
                QRectF(0, 0, width, 300), {recordOf({1.0f})}, chinese, {}, scale, QStringLiteral("W/m²"),
                SpectrumChartGeometry::wavelengthLabelWidth(metrics), metrics.height());
            const QString where = QStringLiteral("scale %1, %2: ").arg(int(scale)).arg(chinese ? "zh" : "en");
            QStringList shown;
            QList<QRectF> painted;
            for (const QVector<ChartText> *labels : {&chart.wavelengthLabels, &chart.powerLabels}) {
                for (const ChartText &label : *labels)
                    painted.append(metrics.boundingRect(label.rect, int(label.alignment), label.text));
            }
            // Turned upright about its centre, the title runs down the chart a line thick.
            const QSizeF title(metrics.height(), metrics.horizontalAdvance(chart.yTitle.text));
            painted.append(QRectF(chart.yTitle.rect.center() - QPointF(title.width(), title.height()) / 2, title));
            QVERIFY2(painted.constLast().left() >= 0, qPrintable(where + "the title leaves the chart"));
            for (const ChartText &label : chart.wavelengthLabels)
                shown << label.text;
            QCOMPARE(shown, wavelengths);
            for (int a = 0; a < painted.size(); ++a) {
                for (int b = a + 1; b < painted.size(); ++b) {
                    // Apart by a pixel at least.
                    QVERIFY2(!painted[a].adjusted(-1, -1, 1, 1).intersects(painted[b]),
                             qPrintable(where + QStringLiteral("label %1 and label %2").arg(a).arg(b)));
                }
            }
        }
    }
}

void TestSpectrumChartGeometry::powerLabelsAndTitles()
{
    const SpectrumChart zh = SpectrumChartGeometry::compute(area, {}, true);
    const SpectrumChart en = SpectrumChartGeometry::compute(area, {}, false);
    QCOMPARE(zh.xTitle.text, QStringLiteral("波段(nm)"));
    QCOMPARE(en.xTitle.text, QStringLiteral("Wavelength(nm)"));
    QCOMPARE(zh.yTitle.text, QStringLiteral("功率"));
    QCOMPARE(en.yTitle.text, QStringLiteral("Power"));
    QCOMPARE(zh.xTitle.rect, QRectF(10, 470, 1000, 50));
    QCOMPARE(zh.yTitle.rect.center().y(), 20 + 250.0);
    // Turned upright about its centre, the title is a line high across; it ends left of the
    // right-aligned "0.5" nearly level with it.
    const QFontMetricsF metrics(QFont(QStringLiteral("Noto Sans CJK SC"), 12));
    const ChartText &half = zh.powerLabels.at(1);
    QVERIFY(zh.yTitle.rect.center().x() + metrics.height() / 2
            < half.rect.right() - metrics.horizontalAdvance(half.text));

    QCOMPARE(zh.powerLabels.size(), 3);
    // Right edges 5 pixels left of the y axis, all right-aligned.
    for (const ChartText &label : zh.powerLabels) {
        QCOMPARE(label.rect.right(), zh.left - 5);
        QVERIFY(label.alignment & Qt::AlignRight);
    }
    QCOMPARE(zh.powerLabels.at(0).text, QStringLiteral("0"));
    QCOMPARE(zh.powerLabels.at(0).alignment, Qt::AlignRight | Qt::AlignBottom);
    QCOMPARE(zh.powerLabels.at(0).rect.bottom(), zh.bottom);
    QCOMPARE(zh.powerLabels.at(1).text, QStringLiteral("0.5"));
    QCOMPARE(zh.powerLabels.at(1).rect.center().y(), zh.bottom - 5 * zh.plotH / 12);
    QCOMPARE(zh.powerLabels.at(2).text, QStringLiteral("1.0"));
    QCOMPARE(zh.powerLabels.at(2).rect.center().y(), zh.bottom - 5 * zh.plotH / 6);
}

void TestSpectrumChartGeometry::peakIsLevelWithTheTopLabel()
{
    Values values(31, 0.0f);
    values[12] = 3.5f;
    values[13] = 2.0f;
    const SpectrumChart chart = SpectrumChartGeometry::compute(area, {recordOf(values)}, true);
    QCOMPARE(chart.curves.size(), 1);
    QCOMPARE(chart.curves[0].pieces.size(), 1);
    const QPolygonF &points = chart.curves[0].pieces[0];
    QCOMPARE(points.size(), 31);
    QCOMPARE(points.first(), QPointF(210, 420)); // a zero lies on the x axis
    QCOMPARE(points.last(), QPointF(810, 420));
    QCOMPARE(points[12].x(), 210 + 12 * 20.0);
    QVERIFY(qAbs(points[12].y() - chart.powerLabels.at(2).rect.center().y()) < 1e-4);
}

void TestSpectrumChartGeometry::laterSmallerPeakLiesAboveTheTopLabel()
{
    const SpectrumChart chart = SpectrumChartGeometry::compute(area, {recordOf({1.0f, 1.1f})}, true);
    QCOMPARE(chart.scale, 1.2f);
    const QPolygonF &points = chart.curves[0].pieces[0];
    const double levelOfOne = chart.powerLabels.at(2).rect.center().y();
    QVERIFY(qAbs(points[0].y() - levelOfOne) < 1e-4);
    QVERIFY(points[1].y() < levelOfOne - 20); // 1.1 / 1.2 of the plot height: 25 pixels above
    QVERIFY(points[1].y() > chart.top);
}

void TestSpectrumChartGeometry::onlyTickedRecordsAreDrawnAndColouredByPosition()
{
    const std::vector<SpectralRecord> records = {recordOf({1}, false), recordOf({2}, true), recordOf({3}, false),
                                                 recordOf({4}, true)};
    const SpectrumChart chart = SpectrumChartGeometry::compute(area, records, false);
    QCOMPARE(chart.curves.size(), 2);
    QCOMPARE(chart.curves[0].recordIndex, 1);
    QCOMPARE(chart.curves[0].colour, QColor(1, 100, 200));
    QCOMPARE(chart.curves[1].recordIndex, 3);
    QCOMPARE(chart.curves[1].colour, SpectrumChartGeometry::curveColour(3));
    QCOMPARE(chart.scale, raisedBy(4.0f));

    // The frame without its curves (the report and the window's layers draw them apart) is the
    // same frame, and curveOf and curves of a range give the curves it leaves out.
    const SpectrumChart frame = SpectrumChartGeometry::frame(area, records, false);
    const QVector<ChartCurve> range = SpectrumChartGeometry::curves(frame, records, 2, 4);
    QCOMPARE(range.size(), 1);
    QCOMPARE(range[0].pieces, chart.curves[1].pieces);
    QVERIFY(frame.curves.isEmpty());
    QCOMPARE(frame.scale, chart.scale);
    QCOMPARE(frame.legend.size(), chart.legend.size());
    for (const ChartCurve &curve : chart.curves) {
        const ChartCurve alone = SpectrumChartGeometry::curveOf(frame, records[size_t(curve.recordIndex)],
                                                                curve.recordIndex);
        QCOMPARE(alone.colour, curve.colour);
        QCOMPARE(alone.pieces, curve.pieces);
    }
}

void TestSpectrumChartGeometry::valuesThatAreNotFiniteBreakTheCurve()
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    Values gap(31, 1.0f);
    gap[10] = nan;
    SpectrumChart chart = SpectrumChartGeometry::compute(area, {recordOf(gap)}, true);
    QCOMPARE(chart.curves[0].pieces.size(), 2);
    QCOMPARE(chart.curves[0].pieces[0].size(), 10);
    QCOMPARE(chart.curves[0].pieces[1].size(), 20);
    QCOMPARE(chart.curves[0].pieces[1].first().x(), 210 + 11 * 20.0);

    // Erased memory: every value NaN. Nothing to draw, the scale stays.
    chart = SpectrumChartGeometry::compute(area, {recordOf(Values(31, nan))}, true);
    QCOMPARE(chart.scale, 0.0012f);
    QCOMPARE(chart.curves.size(), 1);
    QVERIFY(chart.curves[0].pieces.isEmpty());

    // An infinite value makes the scale infinite; every drawn point must still be finite.
    chart = SpectrumChartGeometry::compute(area, {recordOf({1, inf, 2})}, true);
    for (const QPolygonF &piece : chart.curves[0].pieces) {
        for (const QPointF &p : piece)
            QVERIFY(std::isfinite(p.x()) && std::isfinite(p.y()));
    }
}

void TestSpectrumChartGeometry::readoutUnderTheMouse_data()
{
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QString>("expected"); // empty: no readout

    // One record of 10: the scale is 12, the plot 600 x 300 from (210, 120); relative, then the
    // value in the unit.
    QTest::newRow("origin") << QPointF(210, 420) << "400 nm, 0 (0 W)";
    QTest::newRow("top right corner") << QPointF(810, 120) << "700 nm, 1.2 (12 W)";
    QTest::newRow("middle") << QPointF(510, 270) << "550 nm, 0.6 (6 W)";
    QTest::newRow("between the samples") << QPointF(213, 345) << "402 nm, 0.3 (3 W)";
    QTest::newRow("left of the plot") << QPointF(209, 300) << "";
    QTest::newRow("below the plot") << QPointF(500, 421) << "";
    QTest::newRow("in the legend") << QPointF(900, 200) << "";
}

void TestSpectrumChartGeometry::readoutUnderTheMouse()
{
    QFETCH(QPointF, position);
    QFETCH(QString, expected);
    const SpectrumChart chart =
        SpectrumChartGeometry::compute(area, {recordOf({10.0f})}, false, {}, SpectrumScale::Relative, "W");
    const std::optional<SpectrumReadout> readout = SpectrumChartGeometry::readoutAt(chart, position, false);
    QCOMPARE(readout.has_value(), !expected.isEmpty());
    if (!readout)
        return;
    QCOMPARE(readout->text.text, expected);
    QCOMPARE(readout->guide, QLineF(position.x(), 120, position.x(), 420));
    QVERIFY(readout->text.rect.bottom() <= chart.top); // above the plot, clear of the curves
}

void TestSpectrumChartGeometry::readoutReadsAsTheAxis_data()
{
    QTest::addColumn<SpectrumScale>("scale");
    QTest::addColumn<QList<Values>>("records");

    for (const auto &[name, scale] : {std::pair{"relative", SpectrumScale::Relative},
                                      std::pair{"normalised", SpectrumScale::Normalised},
                                      std::pair{"absolute", SpectrumScale::Absolute}}) {
        QTest::addRow("%s, one record", name) << scale << QList<Values>{{19.25f, 3}};
        QTest::addRow("%s, small and large", name) << scale << QList<Values>{{0.004f}, {250, 1}};
        QTest::addRow("%s, tiny values", name) << scale << QList<Values>{{0.0007f}};
        QTest::addRow("%s, no records", name) << scale << QList<Values>{};
    }
}

// At the height of each y-axis label, the readout shows the label's value: relative first where
// the axis is relative, the value in the unit where it is absolute.
void TestSpectrumChartGeometry::readoutReadsAsTheAxis()
{
    QFETCH(SpectrumScale, scale);
    QFETCH(QList<Values>, records);
    std::vector<SpectralRecord> spectra;
    for (const Values &values : records)
        spectra.push_back(recordOf(values));
    const SpectrumChart chart = SpectrumChartGeometry::compute(area, spectra, true, {}, scale, "W/m²");
    QVERIFY(chart.powerLabels.size() >= 3);
    for (const ChartText &label : chart.powerLabels) {
        QVERIFY(label.rect.right() <= chart.left);
        const double level = label.alignment & Qt::AlignBottom ? label.rect.bottom() : label.rect.center().y();
        const auto readout = SpectrumChartGeometry::readoutAt(chart, QPointF(chart.left + 1, level), true);
        QVERIFY2(readout, qPrintable(label.text));
        const QString text = readout->text.text;
        const QString shown = text.section(QStringLiteral(", "), 1).section(QLatin1Char(' '), 0, 0);
        QVERIFY2(qAbs(shown.toDouble() - label.text.toDouble()) <= 1e-3 * qMax(1.0, label.text.toDouble()),
                 qPrintable(text + " at " + label.text));
        QCOMPARE(text.contains(QStringLiteral("W/m²")), scale != SpectrumScale::Normalised);
    }
    const QString unitTitle = QStringLiteral("功率 (W/m²)");
    QCOMPARE(chart.yTitle.text == unitTitle, scale == SpectrumScale::Absolute);
}

void TestSpectrumChartGeometry::normalisedPeaksAreLevelWithTheTopLabel()
{
    const SpectrumChart chart = SpectrumChartGeometry::compute(area, {recordOf({0, 2, 1}), recordOf({50, 10})}, false,
                                                               {}, SpectrumScale::Normalised);
    const double levelOfOne = chart.powerLabels.at(2).rect.center().y();
    QCOMPARE(chart.curves.size(), 2);
    QVERIFY(qAbs(chart.curves[0].pieces[0][1].y() - levelOfOne) < 1e-4);
    QVERIFY(qAbs(chart.curves[1].pieces[0][0].y() - levelOfOne) < 1e-4);
    QVERIFY(qAbs(chart.curves[1].pieces[0][1].y() - (chart.bottom - (chart.bottom - levelOfOne) / 5)) < 1e-4);
}

void TestSpectrumChartGeometry::absoluteLabelsTakeRoundSteps_data()
{
    QTest::addColumn<float>("largest");
    QTest::addColumn<QStringList>("labels"); // from the axis up

    // The scale is 1.2 times the largest value; the labels go up to it in steps of 1, 2 or 5.
    QTest::newRow("250") << 250.0f << QStringList{"0", "100", "200", "300"};
    QTest::newRow("19.25") << 19.25f << QStringList{"0", "5", "10", "15", "20"};
    QTest::newRow("0.9") << 0.9f << QStringList{"0", "0.5", "1.0"};
    QTest::newRow("nothing ticked's scale") << 0.0f << QStringList{"0", "0.0005", "0.0010"};
}

void TestSpectrumChartGeometry::absoluteLabelsTakeRoundSteps()
{
    QFETCH(float, largest);
    QFETCH(QStringList, labels);
    const SpectrumChart chart =
        SpectrumChartGeometry::compute(area, {recordOf({largest})}, false, {}, SpectrumScale::Absolute);
    QStringList shown;
    double below = chart.bottom + 1;
    for (const ChartText &label : chart.powerLabels) {
        shown << label.text;
        // Each higher up, inside the plot's height.
        QVERIFY(label.rect.center().y() < below && label.rect.center().y() >= chart.top - 1e-9);
        below = label.rect.center().y();
    }
    QCOMPARE(shown, labels);
    QCOMPARE(chart.yTitle.text, QStringLiteral("Power"));
}

void TestSpectrumChartGeometry::legendOfTheTickedRecords_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("everyNth"); // record k is ticked when k % everyNth == 0
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QString>("more");
    QTest::addColumn<double>("width");

    // The plot is 300 pixels high: 16 lines of 18 pixels.
    QTest::newRow("two of four") << 4 << 2 << QStringList{"1 Lamp 1", "3 Lamp 3"} << "" << area.width();
    QTest::newRow("sixteen fit") << 16 << 1 << QStringList{} << "" << area.width();
    QTest::newRow("seventeen do not") << 17 << 1 << QStringList{} << "2 more" << area.width();
    QTest::newRow("a hundred") << 100 << 1 << QStringList{} << "85 more" << area.width();
    QTest::newRow("only the first ticked") << 3 << 1000 << QStringList{"1 Lamp 1"} << "" << area.width();
    QTest::newRow("the dialog's narrowest chart") << 4 << 1 << QStringList{"1 Lamp 1"} << "" << 260.0;
}

void TestSpectrumChartGeometry::legendOfTheTickedRecords()
{
    QFETCH(int, records);
    QFETCH(int, everyNth);
    QFETCH(QStringList, labels);
    QFETCH(QString, more);
    QFETCH(double, width);
    const QRectF area(::area.x(), ::area.y(), width, ::area.height());

    std::vector<SpectralRecord> list;
    QStringList names;
    int ticked = 0;
    for (int k = 0; k < records; ++k) {
        list.push_back(recordOf({1.0f}, k % everyNth == 0));
        ticked += k % everyNth == 0;
        names << QStringLiteral("Lamp %1").arg(k + 1);
    }
    const SpectrumChart chart = SpectrumChartGeometry::compute(area, list, false, names);
    QCOMPARE(chart.legend.size(), more.isEmpty() ? ticked : 15);
    QCOMPARE(chart.legendMore.text, more);
    for (int i = 0; i < labels.size(); ++i)
        QCOMPARE(chart.legend.at(i).label.text, labels.at(i));
    // Each line in the colour of the record it names, right of the plot, one under the other.
    for (int i = 0; i < chart.legend.size(); ++i) {
        const ChartLegendEntry &entry = chart.legend.at(i);
        const int k = entry.label.text.section(QLatin1Char(' '), 0, 0).toInt() - 1;
        QCOMPARE(entry.colour, SpectrumChartGeometry::curveColour(k));
        QVERIFY(entry.swatch.x1() > chart.right && entry.label.rect.right() <= area.right());
        QVERIFY(entry.label.rect.bottom() <= chart.bottom);
        // Room for the number and the start and end of a name: eight digits, a wavelength label
        // ("550") being three and a half.
        QVERIFY(entry.label.rect.width() >= 8 * SpectrumChartGeometry::defaultLabelWidth / 3.5);
        if (i > 0)
            QVERIFY(entry.label.rect.top() >= chart.legend.at(i - 1).label.rect.bottom());
    }
}

QTEST_MAIN(TestSpectrumChartGeometry)
#include "tst_SpectrumChartGeometry.moc"
