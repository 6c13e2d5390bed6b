#include "libHidDevice.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr quint8 ReportId = 0x3F;
constexpr int MaxPayload = 62;

} // namespace

libHidDevice::libHidDevice(std::unique_ptr<HidReportTransport> transport) : m_transport(std::move(transport)) {}

libHidDevice::~libHidDevice()
{
    if (m_state)
        close();
}

QList<HidProbe> libHidDevice::probe(quint16 vendorId, quint16 productId)
{
    QList<HidProbe> probes;
    const QList<HidInterfaceInfo> interfaces = m_transport->enumerate(vendorId, productId);
    const int limit = std::min<int>(interfaces.size(), HidSelection::MemberIndexLimit);
    for (int i = 0; i < limit; ++i) {
        HidProbe probe{interfaces.at(i), openPath(interfaces.at(i).path)};
        if (probe.result == HidOpenResult::Opened)
            m_transport->close();
        probes.append(probe);
    }
    return probes;
}

HidOpenResult libHidDevice::openPath(const QString &path)
{
    const HidOpenResult result = m_transport->open(path);
    if (result == HidOpenResult::AccessDenied && m_deniedPath.isEmpty())
        m_deniedPath = path;
    return result;
}

int libHidDevice::open(quint16 vendorId, quint16 productId)
{
    if (m_opened) {
        // Opening again would drop the device that is in use.
        m_status = HidStatus::Busy;
        return -1;
    }
    m_deniedPath.clear();
    m_state.reset();
    auto state = std::make_unique<HidDeviceState>();

    const SerialListing listing = HidSelection::listSerials(probe(vendorId, productId));
    if (listing.count <= 0) {
        m_status = HidStatus::NotFound;
        return -1;
    }
    const QString chosen = HidSelection::chooseSerial(listing);
    const int wanted = HidSelection::countDevices(probe(vendorId, productId), listing.count);
    if (wanted <= 0) {
        m_status = HidStatus::NotFound;
        return -1;
    }

    // hidraw has no share modes, so the exclusive-first attempt is the one open the system
    // allows.
    const QList<HidInterfaceInfo> interfaces = m_transport->enumerate(vendorId, productId);
    const HidSelection::WalkResult walk = HidSelection::walk(
        interfaces, chosen, wanted, [&](int index) { return openPath(interfaces.at(index).path); },
        [&](int) { m_transport->close(); });
    if (walk.status != HidStatus::Ok) {
        m_status = walk.status;
        return -1;
    }

    state->opened = true;
    state->inputReportLength = HidReportTransport::ReportLength;
    state->outputReportLength = HidReportTransport::ReportLength;
    m_state = std::move(state);
    m_opened = true;
    m_status = HidStatus::Ok;
    m_deniedPath.clear();
    m_openedInterface = interfaces.at(walk.index);
    return 0;
}

void libHidDevice::close()
{
    if (!m_state)
        return;
    if (!m_state->opened) {
        m_status = HidStatus::NotOpened;
        return;
    }
    if (!m_transport->isOpen()) {
        m_status = HidStatus::BadHandle;
    } else {
        m_transport->close();
        m_status = HidStatus::Ok;
    }
    m_state->opened = false;
    m_state->pendingCount = 0;
    m_opened = false;
    m_openedInterface = HidInterfaceInfo();
}

int libHidDevice::write(const quint8 *src, int length, int timeoutMs)
{
    if (!m_opened || !m_state) {
        m_status = HidStatus::NotOpened;
        return 0;
    }
    m_state->writeTimeoutMs = quint32(std::max(timeoutMs, 0));
    if (length <= 0)
        return 0;

    std::array<quint8, HidReportTransport::ReportLength> report;
    const int reportLength = int(report.size());
    int sent = 0;
    while (sent < length) {
        if (!m_state->opened) {
            m_status = HidStatus::NotOpened;
            return 0;
        }
        const int count = std::min(MaxPayload, length - sent);
        report.fill(0);
        report[0] = ReportId;
        report[1] = quint8(count);
        std::memcpy(report.data() + 2, src + sent, size_t(count));
        const int written = m_transport->writeReport(report.data(), reportLength, timeoutMs);
        if (written <= 0) {
            // The first failed report ends the request; nothing further is sent.
            m_status = written == 0 ? HidStatus::TimedOut : HidStatus::TransferFailed;
            return 0;
        }
        sent += count;
    }
    m_status = HidStatus::Ok;
    return length;
}

int libHidDevice::read(quint8 *dst, int length, int timeoutMs)
{
    // The status tells the link to stop waiting: a closed device delivers nothing.
    if (!m_opened || !m_state) {
        m_status = HidStatus::NotOpened;
        return 0;
    }
    HidDeviceState &state = *m_state;
    state.readTimeoutMs = quint32(std::max(timeoutMs, 0));
    if (length <= 0)
        return 0;

    quint8 *buffer = state.reportBuffer.data();
    if (state.pendingCount > length) {
        std::memcpy(dst, buffer + state.pendingStart, size_t(length));
        state.pendingStart += length;
        state.pendingCount = quint16(state.pendingCount - length);
        m_status = HidStatus::Ok;
        return length;
    }
    std::memcpy(dst, buffer + state.pendingStart, state.pendingCount);
    int handedOut = state.pendingCount;
    state.pendingStart = 0;
    state.pendingCount = 0;

    // Only bytes from reports of this call decide whether a time-out counts as success.
    int received = 0;
    while (handedOut < length) {
        if (!state.opened) {
            m_status = HidStatus::NotOpened;
            return 0;
        }
        const int got = m_transport->readReport(buffer, state.inputReportLength, timeoutMs);
        if (got == 0) {
            // Bytes already handed out (from this call's reports, or pending ones) are never
            // dropped.
            if (received > 0 || handedOut > 0) {
                m_status = HidStatus::Ok;
                return handedOut;
            }
            m_status = HidStatus::TimedOut;
            return 0;
        }
        if (got < 0) {
            m_status = HidStatus::TransferFailed;
            return handedOut;
        }
        if (got < 2 || buffer[0] != ReportId)
            continue;
        // The meter's count is trusted only as far as the report carries bytes.
        const int count = std::min<int>(buffer[1], got - 2);
        received += count;
        const int wanted = length - handedOut;
        if (count > wanted) {
            std::memcpy(dst + handedOut, buffer + 2, size_t(wanted));
            state.pendingStart = 2 + wanted;
            state.pendingCount = quint16(count - wanted);
            m_status = HidStatus::Ok;
            return length;
        }
        std::memcpy(dst + handedOut, buffer + 2, size_t(count));
        handedOut += count;
    }
    m_status = HidStatus::Ok;
    return length;
}

bool libHidDevice::isDeviceGone() const
{
    if (!m_state)
        return true;
    return m_transport->isDeviceGone();
}
