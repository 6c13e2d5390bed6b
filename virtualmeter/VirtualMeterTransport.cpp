#include "VirtualMeterTransport.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

VirtualMeterTransport::VirtualMeterTransport(std::shared_ptr<VirtualMeter> meter) : m_meter(std::move(meter)) {}

VirtualMeterTransport::VirtualMeterTransport(const MeterImage &image, const VirtualTiming &timing)
    : m_meter(std::make_shared<VirtualMeter>(image, timing))
{}

QString VirtualMeterTransport::path() const
{
    return QStringLiteral("virtual:") + m_meter->serialString();
}

QList<HidInterfaceInfo> VirtualMeterTransport::enumerate(quint16 vendorId, quint16 productId)
{
    if (m_meter->isUnplugged() || vendorId != VendorId || productId != ProductId)
        return {};
    return {HidInterfaceInfo{path(), m_meter->serialString(), 0}};
}

HidOpenResult VirtualMeterTransport::open(const QString &devicePath)
{
    m_open = false;
    if (m_meter->isUnplugged() || devicePath != path())
        return HidOpenResult::Failed;
    if (m_openResult != HidOpenResult::Opened)
        return m_openResult;
    m_open = true;
    return HidOpenResult::Opened;
}

void VirtualMeterTransport::close()
{
    m_open = false;
}

// Sleeps most of the way and spins the last fraction of a millisecond: the full-speed model
// needs sub-millisecond accuracy that a plain sleep does not give.
void VirtualMeterTransport::waitUntil(qint64 dueUs) const
{
    constexpr qint64 spinUs = 200;
    for (;;) {
        const qint64 remaining = dueUs - m_meter->nowUs();
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
    if (!m_open || m_meter->isUnplugged())
        return -1;
    const VirtualTiming &timing = m_meter->timing();
    if (timing.fullSpeed) {
        const qint64 now = m_meter->nowUs();
        const qint64 done = std::max(now, m_outFreeUs) + timing.frameUs;
        if (done - now > qint64(timeoutMs) * 1000)
            return 0;
        waitUntil(done);
        m_outFreeUs = done;
    }
    m_meter->receiveOutputReport(QByteArray(reinterpret_cast<const char *>(report), length));
    return length;
}

int VirtualMeterTransport::readReport(quint8 *buffer, int capacity, int timeoutMs)
{
    if (!m_open || m_meter->isUnplugged())
        return -1;
    QByteArray report;
    if (!m_meter->takeInputReport(report)) {
        const qint64 deadline = m_meter->nowUs() + qint64(std::max(timeoutMs, 0)) * 1000;
        const qint64 due = m_meter->nextInputDueUs();
        if (due < 0 || due > deadline) {
            waitUntil(deadline);
            return m_meter->isUnplugged() ? -1 : 0;
        }
        waitUntil(due);
        if (!m_meter->takeInputReport(report))
            return m_meter->isUnplugged() ? -1 : 0;
    }
    const int length = std::min(capacity, int(report.size()));
    std::memcpy(buffer, report.constData(), size_t(length));
    return length;
}

bool VirtualMeterTransport::isDeviceGone() const
{
    return !m_open || m_meter->isUnplugged();
}
