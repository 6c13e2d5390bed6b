// SPDX-License-Identifier: GPL-3.0-or-later
#include "UhidDevice.h"

#include <linux/uhid.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Copies at most size - 1 bytes so that the kernel always finds a terminated string.
void copyString(__u8 *dst, size_t size, const QByteArray &src)
{
    const size_t n = std::min(size - 1, static_cast<size_t>(src.size()));
    std::memcpy(dst, src.constData(), n);
    dst[n] = 0;
}

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

UhidDevice::~UhidDevice()
{
    destroy();
}

bool UhidDevice::create(const Identity &identity, const QString &node)
{
    destroy();
    if (identity.reportDescriptor.isEmpty() || identity.reportDescriptor.size() > HID_MAX_DESCRIPTOR_SIZE) {
        error = QStringLiteral("report descriptor must hold 1 to %1 bytes").arg(HID_MAX_DESCRIPTOR_SIZE);
        return false;
    }
    fd = ::open(node.toLocal8Bit().constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = systemError(qPrintable(node));
        return false;
    }

    uhid_event ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = UHID_CREATE2;
    uhid_create2_req &req = ev.u.create2;
    copyString(req.name, sizeof req.name, identity.name);
    copyString(req.phys, sizeof req.phys, identity.phys);
    copyString(req.uniq, sizeof req.uniq, identity.uniq);
    req.bus = identity.bus;
    req.vendor = identity.vendor;
    req.product = identity.product;
    req.rd_size = static_cast<__u16>(identity.reportDescriptor.size());
    std::memcpy(req.rd_data, identity.reportDescriptor.constData(), req.rd_size);
    if (!writeEvent(&ev, "UHID_CREATE2")) {
        ::close(fd);
        fd = -1;
        return false;
    }
    return true;
}

void UhidDevice::destroy()
{
    if (fd < 0)
        return;
    uhid_event ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = UHID_DESTROY;
    // Closing the descriptor destroys the device too; the explicit request makes it immediate.
    writeEvent(&ev, "UHID_DESTROY");
    ::close(fd);
    fd = -1;
}

UhidDevice::Event UhidDevice::nextEvent()
{
    Event result;
    if (fd < 0) {
        result.kind = EventKind::Failed;
        error = QStringLiteral("device not created");
        return result;
    }
    uhid_event ev;
    std::memset(&ev, 0, sizeof ev);
    ssize_t n;
    do {
        n = ::read(fd, &ev, sizeof ev);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        if (errno == EAGAIN)
            return result;
        error = systemError("read /dev/uhid");
        result.kind = EventKind::Failed;
        return result;
    }
    if (n < static_cast<ssize_t>(sizeof ev.type)) {
        error = QStringLiteral("short read from /dev/uhid (%1 bytes)").arg(n);
        result.kind = EventKind::Failed;
        return result;
    }
    result.rawType = ev.type;
    switch (ev.type) {
    case UHID_OUTPUT: {
        const uhid_output_req &out = ev.u.output;
        const int size = std::min<int>(out.size, UHID_DATA_MAX);
        if (out.rtype == UHID_OUTPUT_REPORT) {
            result.kind = EventKind::OutputReport;
            result.data = QByteArray(reinterpret_cast<const char *>(out.data), size);
        } else {
            result.kind = EventKind::Other;
        }
        break;
    }
    case UHID_GET_REPORT:
        result.kind = EventKind::GetReport;
        result.requestId = ev.u.get_report.id;
        break;
    case UHID_SET_REPORT:
        result.kind = EventKind::SetReport;
        result.requestId = ev.u.set_report.id;
        break;
    default:
        // UHID_START, UHID_STOP, UHID_OPEN, UHID_CLOSE: nothing to answer.
        result.kind = EventKind::Other;
        break;
    }
    return result;
}

bool UhidDevice::sendInputReport(const QByteArray &report)
{
    if (fd < 0) {
        error = QStringLiteral("device not created");
        return false;
    }
    if (report.isEmpty() || report.size() > UHID_DATA_MAX) {
        error = QStringLiteral("input report of %1 bytes").arg(report.size());
        return false;
    }
    uhid_event ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = UHID_INPUT2;
    ev.u.input2.size = static_cast<__u16>(report.size());
    std::memcpy(ev.u.input2.data, report.constData(), report.size());
    return writeEvent(&ev, "UHID_INPUT2");
}

bool UhidDevice::rejectGetReport(quint32 requestId)
{
    uhid_event ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = UHID_GET_REPORT_REPLY;
    ev.u.get_report_reply.id = requestId;
    ev.u.get_report_reply.err = EIO;
    return writeEvent(&ev, "UHID_GET_REPORT_REPLY");
}

bool UhidDevice::rejectSetReport(quint32 requestId)
{
    uhid_event ev;
    std::memset(&ev, 0, sizeof ev);
    ev.type = UHID_SET_REPORT_REPLY;
    ev.u.set_report_reply.id = requestId;
    ev.u.set_report_reply.err = EIO;
    return writeEvent(&ev, "UHID_SET_REPORT_REPLY");
}

bool UhidDevice::writeEvent(const void *event, const char *what)
{
    if (fd < 0) {
        error = QStringLiteral("device not created");
        return false;
    }
    ssize_t n;
    do {
        n = ::write(fd, event, sizeof(uhid_event));
    } while (n < 0 && errno == EINTR);
    if (n != static_cast<ssize_t>(sizeof(uhid_event))) {
        error = n < 0 ? systemError(what) : QStringLiteral("%1: short write").arg(QString::fromLatin1(what));
        return false;
    }
    return true;
}
