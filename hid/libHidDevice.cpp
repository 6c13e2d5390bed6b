// SPDX-License-Identifier: GPL-3.0-or-later
#include "libHidDevice.h"

#include "MeterFacts.h"

#include <algorithm>
#include <cstring>

libHidDevice::libHidDevice(std::unique_ptr<HidReportTransport> transport) : transport(std::move(transport)) {}

libHidDevice::~libHidDevice()
{
    if (deviceState)
        close();
}

QList<HidProbe> libHidDevice::probe(quint16 vendorId, quint16 productId)
{
    QList<HidProbe> probes;
    const QList<HidInterfaceInfo> interfaces = transport->enumerate(vendorId, productId);
    const int limit = std::min<int>(interfaces.size(), HidSelection::MemberIndexLimit);
    for (int i = 0; i < limit; ++i) {
        HidProbe probe{interfaces.at(i), openPath(interfaces.at(i).path)};
        if (probe.result == HidOpenResult::Opened)
            transport->close();
        probes.append(probe);
    }
    return probes;
}

HidOpenResult libHidDevice::openPath(const QString &path)
{
    const HidOpenResult result = transport->open(path);
    if (result == HidOpenResult::AccessDenied && deniedPath.isEmpty())
        deniedPath = path;
    return result;
}

int libHidDevice::open(quint16 vendorId, quint16 productId)
{
    // Opening again would drop the device that is in use.
    if (opened)
        return -1;
    deniedPath.clear();
    deviceState.reset();
    auto state = std::make_unique<HidDeviceState>();

    const SerialListing listing = HidSelection::listSerials(probe(vendorId, productId));
    if (listing.count <= 0)
        return -1;
    const QString chosen = HidSelection::chooseSerial(listing);
    const int wanted = HidSelection::countDevices(probe(vendorId, productId), listing.count);
    if (wanted <= 0)
        return -1;

    // The walk opens the interfaces in turn and leaves the one it takes open.
    const QList<HidInterfaceInfo> interfaces = transport->enumerate(vendorId, productId);
    const HidSelection::WalkResult walk = HidSelection::walk(
        interfaces, chosen, wanted, [&](int index) { return openPath(interfaces.at(index).path); },
        [&](int) { transport->close(); });
    if (walk.status != HidStatus::Ok)
        return -1;

    state->opened = true;
    state->inputReportLength = HidReportTransport::ReportLength;
    state->outputReportLength = HidReportTransport::ReportLength;
    deviceState = std::move(state);
    opened = true;
    deniedPath.clear();
    openedInfo = interfaces.at(walk.index);
    return 0;
}

void libHidDevice::close()
{
    if (!deviceState || !deviceState->opened)
        return;
    if (transport->isOpen())
        transport->close();
    deviceState->opened = false;
    deviceState->pendingCount = 0;
    opened = false;
    openedInfo = HidInterfaceInfo();
}

int libHidDevice::write(const quint8 *src, int length, int timeoutMs)
{
    if (!opened || !deviceState)
        return 0;
    deviceState->writeTimeoutMs = quint32(std::max(timeoutMs, 0));
    if (length <= 0)
        return 0;

    std::array<quint8, HidReportTransport::ReportLength> report;
    const int reportLength = int(report.size());
    int sent = 0;
    while (sent < length) {
        if (!deviceState->opened)
            return 0;
        const int count = std::min(MeterFacts::MaxPayload, length - sent);
        report.fill(0);
        report[0] = MeterFacts::ReportId;
        report[1] = quint8(count);
        std::memcpy(report.data() + 2, src + sent, size_t(count));
        // The first failed report ends the request; nothing further is sent.
        if (transport->writeReport(report.data(), reportLength, timeoutMs) <= 0)
            return 0;
        sent += count;
    }
    return length;
}

HidReadResult libHidDevice::read(quint8 *dst, int length, int timeoutMs)
{
    // A closed device delivers nothing, however long one waits.
    if (!opened || !deviceState)
        return {HidReadResult::Failed, 0};
    HidDeviceState &state = *deviceState;
    state.readTimeoutMs = quint32(std::max(timeoutMs, 0));
    if (length <= 0)
        return {HidReadResult::Bytes, 0};

    quint8 *buffer = state.reportBuffer.data();
    if (state.pendingCount > length) {
        std::memcpy(dst, buffer + state.pendingStart, size_t(length));
        state.pendingStart += length;
        state.pendingCount = quint16(state.pendingCount - length);
        return {HidReadResult::Bytes, length};
    }
    std::memcpy(dst, buffer + state.pendingStart, state.pendingCount);
    int handedOut = state.pendingCount;
    state.pendingStart = 0;
    state.pendingCount = 0;

    while (handedOut < length) {
        if (!state.opened)
            return {HidReadResult::Failed, 0};
        const int got = transport->readReport(buffer, state.inputReportLength, timeoutMs);
        if (got <= 0) {
            // Bytes already handed out (pending ones, or from this call's reports) are never
            // dropped, whatever ended the read.
            if (handedOut > 0)
                return {HidReadResult::Bytes, handedOut};
            return {got == 0 ? HidReadResult::TimedOut : HidReadResult::Failed, 0};
        }
        if (got < 2 || buffer[0] != MeterFacts::ReportId)
            continue;
        // The meter's count is trusted only as far as the report carries bytes.
        const int count = std::min<int>(buffer[1], got - 2);
        const int wanted = length - handedOut;
        if (count > wanted) {
            std::memcpy(dst + handedOut, buffer + 2, size_t(wanted));
            state.pendingStart = 2 + wanted;
            state.pendingCount = quint16(count - wanted);
            return {HidReadResult::Bytes, length};
        }
        std::memcpy(dst + handedOut, buffer + 2, size_t(count));
        handedOut += count;
    }
    return {HidReadResult::Bytes, length};
}

bool libHidDevice::isDeviceGone() const
{
    if (!deviceState)
        return true;
    return transport->isDeviceGone();
}
