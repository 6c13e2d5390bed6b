// SPDX-License-Identifier: GPL-3.0-or-later
// The spectral dialog with 10,000 downloaded records, shown offscreen at 1366×768: how long the
// window takes to show the change after ticking the title box (all curves), ticking one curve and
// moving the mouse over the spectrum chart. Each figure is the time from the change to the end of
// the repaint it causes, the median of several rounds.
//
// Run a Release build: curves_bench [records]. It prints "curves tick-all: N ms", "curve toggle:
// N ms" and "chart hover: N ms" and fails (exit 1) when one misses its target (200, 30, 8 ms).

#include "CatalogLoader.h"
#include "ChartView.h"
#include "MeterFacts.h"
#include "MeterImage.h"
#include "MeterPage.h"
#include "MeterSession.h"
#include "SpectralTableModel.h"
#include "SpectrumChartView.h"
#include "VirtualMeterTransport.h"

#include "SilentDialogs.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

// Runs the change and the events it posts, the repaints of what it marked for update included;
// the milliseconds it took.
double timed(const std::function<void()> &change)
{
    QElapsedTimer clock;
    clock.start();
    change();
    QCoreApplication::processEvents();
    return double(clock.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("lumivane-bench"));
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    if (records <= 1) {
        std::fprintf(stderr, "usage: curves_bench [records]\n");
        return 2;
    }

    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(QStringLiteral(LUMIVANE_SOURCE_DIR "/samples/meters/kind1.json"), image, error)) {
        std::fprintf(stderr, "kind-1 sample: %s\n", qPrintable(error));
        return 1;
    }
    const int sampleRecords = int(image.recordMemory.size() / MeterFacts::RecordSize);
    const QByteArray sample = image.recordMemory.left(qsizetype(sampleRecords) * MeterFacts::RecordSize);
    image.recordMemory.clear();
    for (int j = 0; j < records; ++j)
        image.recordMemory += sample.mid(qsizetype(j % sampleRecords) * MeterFacts::RecordSize, MeterFacts::RecordSize);
    image.recordCount = quint32(records);

    MeterSession session;
    if (!session.openUsb(std::make_unique<VirtualMeterTransport>(image))) {
        std::fprintf(stderr, "cannot open the virtual meter\n");
        return 1;
    }
    UnitCatalog units;
    CatalogLoader::loadUnitCatalog(QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files"), units);
    // The benchmark's own settings: no archive, nothing remembered from a run before.
    QSettings().clear();
    QSettings().setValue(QStringLiteral("archive/enabled"), false);
    SilentDialogs dialogs;
    MeterPage page(1, units, true, session, dialogs);
    page.resize(1366, 768);
    page.show();
    page.findChild<QPushButton *>(QStringLiteral("pushButton_readRecords"))->click();
    QCoreApplication::processEvents();
    if (int(page.spectralRecords().size()) != records) {
        std::fprintf(stderr, "the download gave %zu of %d records\n", page.spectralRecords().size(), records);
        return 1;
    }
    auto &model = const_cast<SpectralTableModel &>(page.spectralModel());
    auto *chart = page.findChild<SpectrumChartView *>(QStringLiteral("widget_chart"));
    const int curveColumn = model.curveColumn();
    const auto tick = [&model, curveColumn](int row, bool on) {
        model.setData(model.index(row, curveColumn), on ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
    };
    page.repaint();

    std::vector<double> tickAll, toggle, hover;
    for (int round = 0; round < 5; ++round) {
        tickAll.push_back(timed([&] { tick(0, false); }));
        tickAll.push_back(timed([&] { tick(0, true); }));
    }
    for (int round = 0; round < 10; ++round) {
        const int row = 1 + (round * 997) % records;
        toggle.push_back(timed([&] { tick(row, false); }));
        toggle.push_back(timed([&] { tick(row, true); }));
    }
    const QRect plot = chart->rect().adjusted(chart->width() / 5, chart->height() / 4, -chart->width() / 10,
                                              -chart->height() / 4);
    for (int step = 0; step < 40; ++step) {
        const QPointF at(plot.left() + plot.width() * step / 40.0, plot.center().y());
        hover.push_back(timed([&] { chart->setMousePosition(at); }));
    }
    // Where a redraw of everything goes: each part drawn again on its own.
    QStringList parts;
    for (const char *name : {"widget_chart", "widget_chromaticity", "tableWidget_data", "tableView_colour"}) {
        QWidget *part = page.findChild<QWidget *>(QLatin1String(name));
        std::vector<double> times;
        for (int round = 0; round < 3; ++round) {
            times.push_back(timed([part] {
                if (auto *view = qobject_cast<ChartView *>(part))
                    view->invalidateChart();
                else
                    part->update();
                part->repaint();
            }));
        }
        parts << QStringLiteral("%1 %2 ms").arg(QLatin1String(name)).arg(median(times), 0, 'f', 1);
    }
    std::printf("redraw: %s\n", qPrintable(parts.join(QStringLiteral(", "))));
    const double tickAllMs = median(tickAll), toggleMs = median(toggle), hoverMs = median(hover);
    std::printf("records: %d (kind 1), chart %d×%d\n", records, chart->width(), chart->height());
    std::printf("curves tick-all: %.1f ms\ncurve toggle: %.1f ms\nchart hover: %.2f ms\n", tickAllMs, toggleMs,
                hoverMs);
    return tickAllMs < 200 && toggleMs < 30 && hoverMs < 8 ? 0 : 1;
}
