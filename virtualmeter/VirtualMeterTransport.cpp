// SPDX-License-Identifier: GPL-3.0-or-later
#include "VirtualMeterTransport.h"

#include "MeterFacts.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

VirtualMeterTransport::VirtualMeterTransport(std::shared_ptr<VirtualMeter> meter) : virtualMeter(std::move(meter)) {}

VirtualMeterTransport::VirtualMeterTransport(const MeterImage &image, const VirtualTiming &timing)
    : virtualMeter(std::make_shared<VirtualMeter>(image, timing))
{}

QString VirtualMeterTransport::path() const
{
    return QStringLiteral("virtual:") + virtualMeter->serialString();
}

QList<HidInterfaceInfo> VirtualMeterTransport::enumerate(quint16 vendorId, quint16 productId)
{
    if (virtualMeter->isUnplugged() || vendorId != MeterFacts::VendorId || productId != MeterFacts::ProductId)
        return {};
    return {HidInterfaceInfo{path(), virtualMeter->serialString(), 0}};
}

HidOpenResult VirtualMeterTransport::open(const QString &devicePath)
{
    opened = false;
    if (virtualMeter->isUnplugged() || devicePath != path())
        return HidOpenResult::Failed;
    if (openResult != HidOpenResult::Opened)
        return openResult;
    opened = true;
    return HidOpenResult::Opened;
}

void VirtualMeterTransport::close()
{
    opened = false;
}

// Sleeps most of the way and spins the last fraction of a millisecond: the full-speed model
// needs sub-millisecond accuracy that a plain sleep does not give.
void VirtualMeterTransport::waitUntil(qint64 dueUs) const
{
    constexpr qint64 spinUs = 200;
    for (;;) {
        const qint64 remaining = dueUs - virtualMeter->nowUs();
        if (remaining <= 0)
            return;
        if (remaining > spinUs + 100)
            std::this_thread::sleep_for(std::chrono::microseconds(remaining - spinUs));
        else
            std::this_thread::yield();
    }
}

int VirtualMeterTransport::writeReport(const quint8 *report, int length, int timeoutMs)
{
    if (!opened || virtualMeter->isUnplugged())
        return -1;
    const VirtualTiming &timing = virtualMeter->timing();
    if (timing.fullSpeed) {
        const qint64 now = virtualMeter->nowUs();
        const qint64 done = std::max(now, outFreeUs) + timing.frameUs;
        if (done - now > qint64(timeoutMs) * 1000)
            return 0;
        waitUntil(done);
        outFreeUs = done;
    }
    virtualMeter->receiveOutputReport(QByteArray(reinterpret_cast<const char *>(report), length));
    return length;
}

int VirtualMeterTransport::readReport(quint8 *buffer, int capacity, int timeoutMs)
{
    if (!opened || virtualMeter->isUnplugged())
        return -1;
    QByteArray report;
    if (!virtualMeter->takeInputReport(report)) {
        const qint64 deadline = virtualMeter->nowUs() + qint64(std::max(timeoutMs, 0)) * 1000;
        const qint64 due = virtualMeter->nextInputDueUs();
        if (due < 0 || due > deadline) {
            waitUntil(deadline);
            return virtualMeter->isUnplugged() ? -1 : 0;
        }
        waitUntil(due);
        if (!virtualMeter->takeInputReport(report))
            return virtualMeter->isUnplugged() ? -1 : 0;
    }
    const int length = std::min(capacity, int(report.size()));
    std::memcpy(buffer, report.constData(), size_t(length));
    return length;
}

bool VirtualMeterTransport::isDeviceGone() const
{
    return !opened || virtualMeter->isUnplugged();
}
