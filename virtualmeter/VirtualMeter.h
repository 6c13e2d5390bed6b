// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterImage.h"
#include "VirtualTiming.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <deque>

// The meter's firmware as a model: it takes the host's output reports, answers complete
// requests from its image and queues the replies as 0x3F input reports of up to 62 payload
// bytes. Each queued report carries the time at which it is on the host's side; the clock is
// a steady clock started with the model.
class VirtualMeter
{
public:
    explicit VirtualMeter(const MeterImage &image, const VirtualTiming &timing = VirtualTiming::instant());

    const MeterImage &image() const { return meterImage; }
    const VirtualTiming &timing() const { return timingModel; }
    // The USB serial-number string: the image's serial number in decimal.
    QString serialString() const;

    // Microseconds since the model started.
    qint64 nowUs() const;

    // One output report from the host (report ID 0x3F, count, payload, padding).
    void receiveOutputReport(const QByteArray &report);
    // The next input report that is due now; false when none is.
    bool takeInputReport(QByteArray &report);
    // Every input report that is due now, in order.
    QList<QByteArray> takeInputReports();
    // When the next queued input report is due; -1 when nothing is queued.
    qint64 nextInputDueUs() const;

    bool isUnplugged() const { return unplugged; }
    void unplug();

    // Counters for tests and the link-bound figure of the benchmark.
    int requestsReceived() const { return requests; }
    int repliesSent() const { return replies; }
    int outputReportsReceived() const { return outputReports; }
    int inputReportsDelivered() const { return inputReports; }
    // The time the timing model needs for the traffic so far: every report one frame, every
    // reply one turnaround.
    qint64 linkBoundUs() const;
    // Payload counts of the last output reports received, oldest first.
    QList<int> recentOutputPayloads() const { return recentPayloads; }

    // The memory byte at an address: record memory from 0x80000000, name memory from
    // 0xC0000000, zero everywhere else.
    quint8 memoryByte(quint32 address) const;

private:
    void handleRequest(const QByteArray &frame, qint64 arrivedUs);
    QByteArray replyFor(const QByteArray &frame) const;
    void queueReply(const QByteArray &bytes, int payloadPerReport, qint64 firstDueUs);
    void queueReport(quint8 reportId, const QByteArray &payload, qint64 earliestUs);

    struct QueuedReport
    {
        qint64 dueUs;
        QByteArray report;
    };

    MeterImage meterImage;
    VirtualTiming timingModel;
    QElapsedTimer clock;
    QByteArray requestBytes;
    std::deque<QueuedReport> input;
    qint64 lastDueUs = 0;
    bool haveQueued = false;
    bool unplugged = false;
    int requests = 0;
    int replies = 0;
    int outputReports = 0;
    int inputReports = 0;
    static constexpr int RecentPayloadLimit = 16;
    QList<int> recentPayloads;
};
