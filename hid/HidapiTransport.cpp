// SPDX-License-Identifier: GPL-3.0-or-later
#include "HidapiTransport.h"

#include <QFileInfo>

#include <hidapi/hidapi.h>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

// The device operations on hidraw:
// - enumerate: hid_enumerate filtered by vendor and product; the list order is the member
//   index; the serial string and interface number come from the enumeration.
// - open: the node is first opened read-write with open(2) to learn why it fails (EACCES/EPERM:
//   no access rights, usually a missing udev rule; EBUSY: busy), then hid_open_path opens it
//   for the transfers.
// - report lengths: 64 bytes; hidraw hands numbered reports with the report ID first.
// - write: hid_write blocks until the kernel took the report; the kernel bounds that wait, so
//   the time-out is not applied here.
// - read: hid_read_timeout; a time-out of 0 takes only a report already queued. The kernel
//   queues input reports until they are read.

HidapiTransport::HidapiTransport()
{
    hid_init();
}

HidapiTransport::~HidapiTransport()
{
    close();
}

HidOpenResult HidapiTransport::openResultFromErrno(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return HidOpenResult::AccessDenied;
    case EBUSY:
        return HidOpenResult::Busy;
    default:
        return HidOpenResult::Failed;
    }
}

QList<HidInterfaceInfo> HidapiTransport::enumerate(quint16 vendorId, quint16 productId)
{
    QList<HidInterfaceInfo> interfaces;
    hid_device_info *list = hid_enumerate(vendorId, productId);
    for (const hid_device_info *info = list; info; info = info->next) {
        HidInterfaceInfo entry;
        entry.path = QString::fromLocal8Bit(info->path);
        if (info->serial_number)
            entry.serial = QString::fromWCharArray(info->serial_number);
        entry.interfaceNumber = info->interface_number;
        interfaces.append(entry);
    }
    hid_free_enumeration(list);
    return interfaces;
}

HidOpenResult HidapiTransport::open(const QString &path)
{
    close();
    const QByteArray nativePath = path.toLocal8Bit();
    const int fd = ::open(nativePath.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return openResultFromErrno(errno);
    ::close(fd);

    device = hid_open_path(nativePath.constData());
    if (!device)
        return HidOpenResult::Failed;
    openedPath = path;
    gone = false;
    return HidOpenResult::Opened;
}

void HidapiTransport::close()
{
    if (device) {
        hid_close(device);
        device = nullptr;
    }
}

int HidapiTransport::writeReport(const quint8 *report, int length, int timeoutMs)
{
    Q_UNUSED(timeoutMs)
    if (!device)
        return -1;
    const int written = hid_write(device, report, size_t(length));
    if (written < 0 && !QFileInfo::exists(openedPath))
        gone = true;
    return written < 0 ? -1 : written;
}

int HidapiTransport::readReport(quint8 *buffer, int capacity, int timeoutMs)
{
    if (!device)
        return -1;
    const int got = hid_read_timeout(device, buffer, size_t(capacity), timeoutMs);
    if (got < 0) {
        // hidapi reports a vanished device as a failed read (POLLHUP/ENODEV).
        if (!QFileInfo::exists(openedPath) || errno == ENODEV)
            gone = true;
        return -1;
    }
    return got;
}

bool HidapiTransport::isDeviceGone() const
{
    if (!device)
        return true;
    return gone || !QFileInfo::exists(openedPath);
}
