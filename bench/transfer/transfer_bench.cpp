// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the record memory of 2,000 records (392,000 bytes in 256-byte blocks) from the virtual
// meter with the USB full-speed timing model, and compares the time taken with the time the
// timing model itself needs for the same requests and replies.
//
// Usage: lumivane-bench-transfer [records] [turnaround-us]

#include "MemoryAreaReader.h"
#include "MeterProtocol.h"
#include "MeterSession.h"
#include "RecordAreaPlan.h"
#include "VirtualMeterTransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    // Line-buffered, so that the figure stays the last line also when mixed with diagnostics.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int records = args.size() > 1 ? args.at(1).toInt() : 2000;
    const int turnaroundUs = args.size() > 2 ? args.at(2).toInt() : 1000;
    if (records <= 0 || turnaroundUs < 0) {
        std::fprintf(stderr, "usage: %s [records] [turnaround-us]\n", qPrintable(args.at(0)));
        return 2;
    }

    MeterImage image;
    image.modelCode = 1001;
    image.unitSlots = QList<quint16>(MeterImage::UnitSlotCount, 5);
    image.recordMemory.resize(qsizetype(records) * MeterImage::RecordBytes);
    for (qsizetype i = 0; i < image.recordMemory.size(); ++i)
        image.recordMemory[i] = char((i * 31 + i / 197) & 0xFF);
    image.recordCount = quint32(records);

    auto meter = std::make_shared<VirtualMeter>(image, VirtualTiming::usbFullSpeed(turnaroundUs));
    MeterSession session;
    if (!session.openUsb(std::make_unique<VirtualMeterTransport>(meter))) {
        std::fprintf(stderr, "the virtual meter did not open\n");
        return 1;
    }
    // The download asks for the record count first; that transaction also takes the link's
    // first full drain.
    quint32 count = 0;
    if (session.protocol().readRecordCount(count) != 1 || count != quint32(records)) {
        std::fprintf(stderr, "record count not read\n");
        return 1;
    }

    RecordAreaPlan plan;
    RecordAreaPlan::make(count, false, plan);
    const qint64 boundBefore = meter->linkBoundUs();
    QByteArray memory;
    QElapsedTimer clock;
    clock.start();
    MemoryAreaReader reader(session.protocol());
    int chunk = 0;
    if (reader.read(RecordAreaPlan::RecordAreaStart, plan.recordAreaBytes, 0x40, memory, chunk) != 1) {
        std::fprintf(stderr, "block %d failed\n", chunk);
        return 1;
    }
    const qint64 achievedUs = clock.nsecsElapsed() / 1000;
    const qint64 boundUs = meter->linkBoundUs() - boundBefore;
    if (memory != image.recordMemory) {
        std::fprintf(stderr, "memory read back differs\n");
        return 1;
    }

    std::printf("records: %d (%u bytes in %d blocks)\n", records, plan.recordAreaBytes, plan.recordChunks);
    std::printf("achieved: %.3f s (%.1f KiB/s)\n", achievedUs / 1e6,
                plan.recordAreaBytes / 1024.0 / (achievedUs / 1e6));
    std::printf("link bound: %.3f s\n", boundUs / 1e6);
    std::printf("transfer ratio: %.2f\n", double(achievedUs) / double(boundUs));
    return 0;
}
