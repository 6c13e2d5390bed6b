// SPDX-License-Identifier: GPL-3.0-or-later
// Downloads 20,000 kind-1 records from a virtual meter into a shown records page (offscreen) and
// measures how much the resident set grows across the download, per row of the records table.
// The meter is the kind-1 sample with its records repeated up to the count; the link is instant,
// as only memory counts here. Each reading follows a round of pending events and a malloc_trim,
// so that freed transfer buffers and heap slack do not count.
//
// Run a Release build: page_memory_bench [records]. The last line is "page memory per row: N bytes".

#include "FirstPage.h"
#include "MeterFacts.h"
#include "MeterImage.h"
#include "MeterSession.h"
#include "RecordsTableModel.h"
#include "VirtualMeterTransport.h"

#include "ResidentSet.h"
#include "SilentDialogs.h"

#include <QApplication>
#include <cstdio>
#include <malloc.h>

namespace {

// The resident set in bytes, after pending events ran and the heap gave back what it could.
qint64 residentBytes()
{
    QCoreApplication::processEvents();
    malloc_trim(0);
    return ResidentSet::currentBytes();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 20000;
    if (records <= 0) {
        std::fprintf(stderr, "usage: page_memory_bench [records]\n");
        return 2;
    }

    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(QStringLiteral(LUMIVANE_SOURCE_DIR "/samples/meters/kind1.json"), image, error)) {
        std::fprintf(stderr, "kind-1 sample: %s\n", qPrintable(error));
        return 1;
    }
    const int sampleRecords = int(image.recordMemory.size() / MeterFacts::RecordSize);
    if (sampleRecords == 0) {
        std::fprintf(stderr, "kind-1 sample: no records\n");
        return 1;
    }
    const QByteArray sample = image.recordMemory.left(qsizetype(sampleRecords) * MeterFacts::RecordSize);
    image.recordMemory.clear();
    image.recordMemory.reserve(qsizetype(records) * MeterFacts::RecordSize);
    for (int j = 0; j < records; ++j) {
        const int k = j % sampleRecords;
        image.recordMemory += sample.mid(qsizetype(k) * MeterFacts::RecordSize, MeterFacts::RecordSize);
    }
    image.recordCount = quint32(records);

    MeterSession session;
    SilentDialogs dialogs;
    FirstPage page(session, dialogs, QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files"));
    page.resize(1400, 900);
    page.show();
    if (!session.openUsb(std::make_unique<VirtualMeterTransport>(image))) {
        std::fprintf(stderr, "cannot open the virtual meter\n");
        return 1;
    }
    page.identifyMeter();
    if (dialogs.shown != 0 || page.meterKind() != 1) {
        std::fprintf(stderr, "identification failed\n");
        return 1;
    }
    // The meter image stays in memory on both readings; only what the download adds counts.
    page.repaint();
    const qint64 before = residentBytes();
    page.on_pushButton_readRecords_clicked();
    page.repaint();
    const qint64 after = residentBytes();

    const int rows = page.recordsModel().rowCount();
    if (dialogs.shown != 1 || rows != records) {
        std::fprintf(stderr, "the download added %d of %d rows\n", rows, records);
        return 1;
    }
    if (before < 0 || after < 0) {
        std::fprintf(stderr, "cannot read VmRSS from /proc/self/status\n");
        return 1;
    }
    std::printf("rows: %d (kind 1, %d columns); resident set %.1f MiB before, %.1f MiB after\n", rows,
                page.recordsModel().columnCount(), before / 1048576.0, after / 1048576.0);
    std::printf("page memory per row: %lld bytes\n", (after - before) / rows);
    return 0;
}
