// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartView.h"
#include "ChromaticityChartGeometry.h"
#include "ColourTableModel.h"
#include "SpectralTestBench.h"
#include "SpectrumChartGeometry.h"
#include "TextCatalogue.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>

namespace {

using Spectrum = std::array<float, 31>;

// A kind-1 PPFD meter (spectra at byte 0 of each record) holding the given spectra.
MeterImage imageWithSpectra(const QList<Spectrum> &spectra)
{
    MeterImage image = SpectralTestBench::image(0, 1);
    for (const Spectrum &spectrum : spectra) {
        QByteArray record(196, '\0');
        for (int i = 0; i < 31; ++i) {
            quint32 word;
            std::memcpy(&word, &spectrum[size_t(i)], sizeof word);
            qToLittleEndian(word, record.data() + 4 * i);
        }
        image.recordMemory.append(record);
    }
    image.recordCount = quint32(spectra.size());
    return image;
}

Spectrum flat(float value)
{
    Spectrum s;
    s.fill(value);
    return s;
}

// 0.5 everywhere with a peak of 2.0 at 550 nm between two values of 1.0. The scale rises to 0.6,
// 1.2 and then 2.4, so the peak sits at 5/6 of the plot height.
Spectrum peak()
{
    Spectrum s = flat(0.5f);
    s[14] = 1.0f;
    s[15] = 2.0f;
    s[16] = 1.0f;
    return s;
}

bool colourNear(const QImage &image, const QPointF &at, const QColor &colour, int radius = 2)
{
    const QPoint centre = at.toPoint();
    for (int y = centre.y() - radius; y <= centre.y() + radius; ++y) {
        for (int x = centre.x() - radius; x <= centre.x() + radius; ++x) {
            if (image.valid(x, y) && image.pixelColor(x, y).rgb() == colour.rgb())
                return true;
        }
    }
    return false;
}

int pixelsOf(const QImage &image, const QColor &colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y).rgb() == colour.rgb();
    }
    return n;
}

// Midpoints of the 30 segments of a curve: between grid lines, away from the wavelength lines.
QList<QPointF> segmentMidpoints(const ChartCurve &curve)
{
    QList<QPointF> points;
    for (const QPolygonF &piece : curve.pieces) {
        for (int i = 0; i + 1 < piece.size(); ++i)
            points << (piece[i] + piece[i + 1]) / 2;
    }
    return points;
}

// The chart as the page's chart view lays it out, in the view's font, in `area`.
SpectrumChart chartIn(const MeterPage &page, const QRectF &area, const std::vector<SpectralRecord> &records,
                      bool languageFlag)
{
    const QFontMetricsF metrics(page.findChild<QWidget *>(QStringLiteral("widget_chart"))->font());
    return SpectrumChartGeometry::compute(area, records, languageFlag, {}, SpectrumScale::Relative, {},
                                          SpectrumChartGeometry::wavelengthLabelWidth(metrics), metrics.height());
}

// The curve a record gets when it is ticked, at the scale of the records as they are.
ChartCurve wouldBeCurve(const MeterPage &page, const QRectF &area, int k)
{
    std::vector<SpectralRecord> records = page.spectralRecords();
    const float scale = SpectrumChartGeometry::scaleFor(records);
    records[size_t(k)].curveVisible = true;
    const SpectrumChart chart = chartIn(page, area, records, true);
    for (const ChartCurve &curve : chart.curves) {
        if (curve.recordIndex == k && SpectrumChartGeometry::scaleFor(records) == scale)
            return curve;
    }
    return {};
}

// Where a chart of the page lies in the page's coordinates.
QRectF areaOf(const MeterPage &page, const char *chart)
{
    const auto *view = page.findChild<QWidget *>(QLatin1String(chart));
    return QRectF(QPointF(view->mapTo(&page, QPoint(0, 0))), QSizeF(view->size()));
}

} // namespace

class TestMeterPageChart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void chartFollowsTheCurveBoxes();
    void chartFollowsADeletedRow();
    void titlesInBothLanguages();
    void readoutFollowsTheMouse();
    void chartsAreSaved_data();
    void chartsAreSaved();
    void ticksRedrawWhatTheyChange_data();
    void ticksRedrawWhatTheyChange();

private:
    struct Shown
    {
        SpectralTestBench bench;
        std::unique_ptr<MeterPage> page;
        QRectF area;
    };
    void openPage(Shown &shown, bool languageFlag);
    QImage grab(const Shown &shown);
};

void TestMeterPageChart::initTestCase()
{
    // The program's style sheet gives every widget a white background; the chart area must
    // still let the dialog's painting through.
    QFile css(QStringLiteral(LUMIVANE_SOURCE_DIR "/resources/qss/psblue.css"));
    QVERIFY(css.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromUtf8(css.readAll()));
}

void TestMeterPageChart::openPage(Shown &shown, bool languageFlag)
{
    QVERIFY(shown.bench.connect(imageWithSpectra({flat(0.25f), peak(), flat(1.5f)})));
    shown.page = shown.bench.page(1, languageFlag);
    shown.page->resize(1200, 800);
    shown.page->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown.page.get()));
    clickButton(*shown.page, "pushButton_readRecords");
    QCOMPARE(shown.page->spectralRecords().size(), size_t(3));
    clickCurveBox(*shown.page, 3); // the flat 1.5 record stays unticked
    // The colour table takes its width once the rows are in (a queued call); the charts the rest.
    QCoreApplication::processEvents();
    shown.area = areaOf(*shown.page, "widget_chart");
    QVERIFY(shown.area.height() >= 200);
}

// What the window shows once the pending repaints are done: a chart that is not repainted after
// a change still shows its old curves here.
QImage TestMeterPageChart::grab(const Shown &shown)
{
    QCoreApplication::processEvents();
    const QPixmap window = shown.page->screen()->grabWindow(shown.page->winId());
    return window.toImage().convertToFormat(QImage::Format_RGB32);
}

void TestMeterPageChart::chartFollowsTheCurveBoxes()
{
    Shown shown;
    openPage(shown, true);
    QImage image = grab(shown);

    SpectrumChart chart = chartIn(*shown.page, shown.area, shown.page->spectralRecords(), true);
    QCOMPARE(chart.scale, 2.4f);
    QCOMPARE(chart.curves.size(), 2);
    for (const ChartCurve &curve : chart.curves) {
        for (const QPointF &p : segmentMidpoints(curve))
            QVERIFY2(colourNear(image, p, curve.colour),
                     qPrintable(QStringLiteral("record %1 at %2,%3").arg(curve.recordIndex).arg(p.x()).arg(p.y())));
    }
    // The peak of the ticked record is level with the "1.0" label, 5/6 of the plot height up.
    QVERIFY(colourNear(image, chart.curves[1].pieces[0][15], QColor(1, 100, 200)));
    QVERIFY(qAbs(chart.curves[1].pieces[0][15].y() - (chart.bottom - 5 * chart.plotH / 6)) < 1e-3);

    // Nothing where the unticked record would be, and its colour nowhere.
    const ChartCurve hidden = wouldBeCurve(*shown.page, shown.area, 2);
    QCOMPARE(hidden.pieces.size(), 1);
    for (const QPointF &p : segmentMidpoints(hidden)) {
        QVERIFY(!colourNear(image, p, QColor(2, 200, 144)));
        QVERIFY(!colourNear(image, p, Qt::black, 1));
    }
    QCOMPARE(pixelsOf(image, QColor(2, 200, 144)), 0);

    // The legend names the ticked records in their colours; the chromaticity diagram has a point
    // for each, in its colour, where its x and y put it.
    QCOMPARE(chart.legend.size(), 2);
    for (const ChartLegendEntry &entry : chart.legend)
        QVERIFY(colourNear(image, entry.swatch.center(), entry.colour, 0));
    const ChromaticityChart diagram =
        ChromaticityChartGeometry::compute(areaOf(*shown.page, "widget_chromaticity"),
                                           shown.page->colourModel().metrics(), shown.page->spectralRecords(), true);
    QCOMPARE(diagram.points.size(), 2);
    for (const ChromaticityPoint &point : diagram.points) {
        QVERIFY(colourNear(image, point.centre, point.colour, 0));
        QCOMPARE(point.centre, diagram.toArea(shown.page->colourModel().metrics()[size_t(point.recordIndex)].xy));
    }

    // Untick the peak and tick the flat 1.5 record: the chart follows at once, on a new scale.
    clickCurveBox(*shown.page, 2);
    clickCurveBox(*shown.page, 3);
    image = grab(shown);
    chart = chartIn(*shown.page, shown.area, shown.page->spectralRecords(), true);
    QCOMPARE(chart.scale, float(1.2 * 1.5));
    QCOMPARE(pixelsOf(image, QColor(1, 100, 200)), 0);
    QCOMPARE(chart.curves.size(), 2);
    QCOMPARE(chart.curves[1].recordIndex, 2);
    for (const QPointF &p : segmentMidpoints(chart.curves[1]))
        QVERIFY(colourNear(image, p, QColor(2, 200, 144)));
    for (const QPointF &p : segmentMidpoints(chart.curves[0]))
        QVERIFY(colourNear(image, p, Qt::black));
}

void TestMeterPageChart::chartFollowsADeletedRow()
{
    Shown shown;
    openPage(shown, false);
    clickCurveBox(*shown.page, 3); // tick the flat 1.5 record again
    // Delete the peak (row 2): the flat 1.5 record moves to position 1 and takes its colour.
    clickDeleteButton(*shown.page, 2);
    QCOMPARE(rowCount(*shown.page), 3);
    // The shorter table gave its height to the charts.
    QCoreApplication::processEvents();
    shown.area = areaOf(*shown.page, "widget_chart");
    const QImage image = grab(shown);

    const SpectrumChart chart = chartIn(*shown.page, shown.area, shown.page->spectralRecords(), false);
    QCOMPARE(chart.scale, float(1.2 * 1.5));
    QCOMPARE(chart.curves.size(), 2);
    QCOMPARE(chart.curves[1].colour, QColor(1, 100, 200));
    for (const QPointF &p : segmentMidpoints(chart.curves[1]))
        QVERIFY(colourNear(image, p, QColor(1, 100, 200)));
    QCOMPARE(pixelsOf(image, QColor(2, 200, 144)), 0);
    // The flat 1.5 line sits at 5/6 of the plot height: the peak's old place in the middle is empty.
    QVERIFY(qAbs(chart.curves[1].pieces[0][15].y() - (chart.bottom - 5 * chart.plotH / 6)) < 1e-3);
}

void TestMeterPageChart::titlesInBothLanguages()
{
    QImage titles[2];
    for (const bool languageFlag : {true, false}) {
        Shown shown;
        openPage(shown, languageFlag);
        const QImage image = grab(shown);
        const SpectrumChart chart = chartIn(*shown.page, shown.area, {}, languageFlag);
        const QImage xTitle = image.copy(chart.xTitle.rect.toRect());
        QVERIFY(pixelsOf(xTitle, Qt::white) < xTitle.width() * xTitle.height()); // something is written
        titles[languageFlag ? 0 : 1] = xTitle;
    }
    QVERIFY(titles[0] != titles[1]);
}

void TestMeterPageChart::readoutFollowsTheMouse()
{
    Shown shown;
    openPage(shown, false);
    auto *view = shown.page->findChild<QWidget *>(QStringLiteral("widget_chart"));
    const SpectrumChart chart =
        chartIn(*shown.page, QRectF(view->rect()), shown.page->spectralRecords(), false);
    const QPointF inPlot((chart.left + chart.right) / 2, (chart.top + chart.bottom) / 2);
    // The readout's band above the plot, short of the plot's top grid line, is blank but while
    // the mouse is over the plot.
    const QRect band = SpectrumChartGeometry::readoutAt(chart, inPlot, false)->text.rect.toRect().adjusted(0, 0, 0, -2);
    const auto blank = [&] { return pixelsOf(view->grab(band).toImage(), Qt::white) == band.width() * band.height(); };
    QVERIFY(blank());
    QTest::mouseMove(view, inPlot.toPoint());
    QTRY_VERIFY(!blank());
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(view, &leave);
    QTRY_VERIFY(blank());
}

void TestMeterPageChart::chartsAreSaved_data()
{
    QTest::addColumn<QString>("chart");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filter"); // 0: PNG, 1: SVG
    QTest::addColumn<QString>("written");

    QTest::newRow("spectrum, typed .png") << "widget_chart"
                                          << "a.png" << 1 << "a.png";
    QTest::newRow("spectrum, SVG filter") << "widget_chart"
                                          << "b" << 1 << "b.svg";
    QTest::newRow("diagram, typed .SVG") << "widget_chromaticity"
                                         << "c.SVG" << 0 << "c.SVG";
    QTest::newRow("diagram, PNG filter") << "widget_chromaticity"
                                         << "d.txt" << 0 << "d.txt.png";
    QTest::newRow("no such folder") << "widget_chromaticity"
                                    << "missing/e.png" << 0 << "";
}

void TestMeterPageChart::chartsAreSaved()
{
    QFETCH(QString, chart);
    QFETCH(QString, typed);
    QFETCH(int, filter);
    QFETCH(QString, written);

    QTemporaryDir directory;
    Shown shown;
    openPage(shown, true);
    auto *view = shown.page->findChild<ChartView *>(chart);
    shown.bench.dialogs.clear();
    shown.bench.dialogs.setNextFileName(directory.filePath(typed), filter);
    view->findChild<QAction *>(QStringLiteral("action_saveChart"))->trigger();

    // A file that cannot be written is one box and nothing on disk.
    const QStringList boxes = shown.bench.dialogs.informationTexts();
    QCOMPARE(boxes.size(), written.isEmpty() ? 1 : 0);
    QCOMPARE(QDir(directory.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             written.isEmpty() ? QStringList() : QStringList{written});
    if (written.isEmpty()) {
        QVERIFY(boxes.first().startsWith(QStringLiteral("图表无法保存")));
        return;
    }
    const QString file = directory.filePath(written);
    if (written.endsWith(QStringLiteral("png"))) {
        // The chart as the window shows it, in pixels fine enough to print: brought back to the
        // window's size it differs from the screen only by the smoothing.
        const QImage saved = QImage(file).convertToFormat(QImage::Format_RGB32);
        QVERIFY(saved.width() >= ChartView::pngMinimumWidth);
        const double ratio = double(saved.width()) / view->width();
        QVERIFY(qAbs(saved.height() - view->height() * ratio) <= 1.0);
        const QImage back = saved.scaled(view->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage screen = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        qint64 difference = 0;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                difference += qAbs(qGray(back.pixel(x, y)) - qGray(screen.pixel(x, y)));
        QVERIFY2(difference < qint64(screen.width()) * screen.height() * 12, qPrintable(QString::number(difference)));
    } else {
        QSvgRenderer drawing(file);
        QVERIFY(drawing.isValid());
        QCOMPARE(drawing.viewBoxF(), QRectF(QPointF(0, 0), QSizeF(view->size())));
    }
}

void TestMeterPageChart::ticksRedrawWhatTheyChange_data()
{
    QTest::addColumn<QList<int>>("toggles"); // curve boxes clicked in turn (table rows; 0: the title box)

    // 700 records: the charts keep their curves and points in three layers of 256. Row 2 holds
    // the record whose peak sets the scale.
    QTest::newRow("one in the first layer") << QList<int>{5};
    QTest::newRow("one in the last layer, off and on") << QList<int>{690, 690};
    QTest::newRow("in two layers") << QList<int>{300, 3, 600};
    QTest::newRow("the scale's peak") << QList<int>{2};
    QTest::newRow("title box off, one on") << QList<int>{0, 400};
    QTest::newRow("title box off and on") << QList<int>{0, 0};
}

// However a tick was drawn (its layer alone, or everything on a new scale), each chart shows what
// drawing it afresh gives.
void TestMeterPageChart::ticksRedrawWhatTheyChange()
{
    QFETCH(QList<int>, toggles);
    QList<Spectrum> spectra;
    for (int k = 0; k < 700; ++k)
        spectra << (k == 1 ? peak() : flat(0.2f + 0.001f * float(k % 97)));
    SpectralTestBench bench;
    QVERIFY(bench.connect(imageWithSpectra(spectra)));
    const auto page = bench.page(1, false);
    page->resize(1200, 800);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    clickButton(*page, "pushButton_readRecords");
    QCOMPARE(page->spectralRecords().size(), size_t(700));
    for (const int row : toggles) {
        QCoreApplication::processEvents();
        clickCurveBox(*page, row);
    }
    QCoreApplication::processEvents();
    for (const char *name : {"widget_chart", "widget_chromaticity"}) {
        auto *view = page->findChild<ChartView *>(QLatin1String(name));
        const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage fresh(shown.size(), QImage::Format_RGB32);
        fresh.setDevicePixelRatio(shown.devicePixelRatio());
        fresh.fill(view->palette().color(view->backgroundRole()));
        {
            QPainter painter(&fresh);
            painter.setFont(view->font());
            view->drawChart(painter, QRectF(view->rect()));
        }
        int differing = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QRgb a = shown.pixel(x, y), b = fresh.pixel(x, y);
                // Anti-aliased edges composited through a layer round a few levels apart from
                // the same edges drawn straight onto the frame; a point or curve drawn wrongly or
                // left out differs by far more.
                if (qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b)) > 12)
                    ++differing;
            }
        }
        QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1: %2 pixels differ").arg(name).arg(differing)));
    }
}

QTEST_MAIN(TestMeterPageChart)
#include "tst_MeterPageChart.moc"
