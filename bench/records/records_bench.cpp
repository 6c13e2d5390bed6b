// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes 10,000 stored records and appends them to the records table of a shown records page
// (offscreen, with the program's style sheet and font), and compares the time per record with
// the time the USB link needs to deliver one record: 196 bytes at 62 payload bytes per
// millisecond. The page is the real one, identified by a virtual kind-4 meter (15 columns,
// names, marker cells), so every row carries the same work as in a download. The time includes
// the table's layout and first paint that follow the append. The machine is shared, so the
// best of three runs counts.
//
// Run a Release build: records_bench [records]. The last line is "append ratio: X.XXX".

#include "FirstPage.h"
#include "LumivaneResources.h"
#include "MeterFacts.h"
#include "MeterImage.h"
#include "MeterSession.h"
#include "RecordsTableModel.h"
#include "StartUp.h"
#include "VirtualMeterTransport.h"

#include "SilentDialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

constexpr double linkMsPerRecord = double(MeterFacts::RecordSize) / MeterFacts::MaxPayload;
constexpr int runs = 3;

struct Timing
{
    qint64 appendNs = 0;
    qint64 totalNs = 0;
    qint64 deleteNs = 0; // one row deleted with its button, until the table is painted again
};

bool runOnce(const MeterImage &image, const MeterFlow::Download &download, int records, Timing &timing)
{
    MeterSession session;
    SilentDialogs dialogs;
    FirstPage page(session, dialogs, QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files"));
    page.resize(1400, 900);
    page.show();
    QCoreApplication::processEvents();
    if (!session.openUsb(std::make_unique<VirtualMeterTransport>(image))) {
        std::fprintf(stderr, "cannot open the virtual meter\n");
        return false;
    }
    page.identifyMeter();
    if (dialogs.shown != 0) {
        std::fprintf(stderr, "identification failed\n");
        return false;
    }

    QElapsedTimer timer;
    timer.start();
    page.appendRecords(download);
    timing.appendNs = timer.nsecsElapsed();
    // What the user waits for before the table shows: the pending layout and one paint.
    QCoreApplication::processEvents();
    page.repaint();
    timing.totalNs = timer.nsecsElapsed();

    const RecordsTableModel &model = page.recordsModel();
    if (model.rowCount() != records) {
        std::fprintf(stderr, "only %d of %d rows were added\n", model.rowCount(), records);
        return false;
    }

    // The last row's delete button, as the view reports its click.
    timer.restart();
    page.slot_deleteRow(records - 1);
    QCoreApplication::processEvents();
    page.repaint();
    timing.deleteNs = timer.nsecsElapsed();
    return model.rowCount() == records - 1;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    if (records <= 0) {
        std::fprintf(stderr, "usage: records_bench [records]\n");
        return 2;
    }
    StartUp::applyStyleSheet(QLatin1String(LumivaneResources::styleSheet));
    StartUp::applyFont();

    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(QStringLiteral(LUMIVANE_SOURCE_DIR "/samples/meters/kind4.json"), image, error)) {
        std::fprintf(stderr, "kind-4 sample: %s\n", qPrintable(error));
        return 1;
    }
    // The record and name memory of a meter holding `records` records: the sample's records
    // over and over.
    const int sampleRecords = int(image.recordMemory.size() / MeterFacts::RecordSize);
    MeterFlow::Download download;
    download.count = records;
    for (int j = 0; j < records; ++j) {
        const int k = j % sampleRecords;
        download.records += image.recordMemory.mid(qsizetype(k) * MeterFacts::RecordSize, MeterFacts::RecordSize);
        download.names += image.nameMemory.mid(qsizetype(k) * MeterFacts::NameSlotSize, MeterFacts::NameSlotSize);
    }

    Timing best;
    for (int run = 0; run < runs; ++run) {
        Timing timing;
        if (!runOnce(image, download, records, timing))
            return 1;
        std::printf("run %d: decode and append %.1f ms, with layout and first paint %.1f ms; deleting a row %.1f ms\n",
                    run + 1, timing.appendNs / 1e6, timing.totalNs / 1e6, timing.deleteNs / 1e6);
        if (run == 0 || timing.totalNs < best.totalNs)
            best = timing;
    }
    const double msPerRecord = double(best.totalNs) / 1e6 / records;
    std::printf("records: %d (kind 4, 15 columns); per record %.4f ms; USB link per record %.3f ms\n", records,
                msPerRecord, linkMsPerRecord);
    std::printf("append ratio: %.3f\n", msPerRecord / linkMsPerRecord);
    return 0;
}
