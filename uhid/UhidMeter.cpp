// SPDX-License-Identifier: GPL-3.0-or-later
#include "UhidMeter.h"

#include "MeterFacts.h"
#include "VirtualMeter.h"

#include <linux/input.h>

#include <cerrno>
#include <cstring>
#include <poll.h>

UhidMeter::UhidMeter(VirtualMeter &meter, int vanishAfter) : meter(meter), vanishAfter(vanishAfter) {}

QByteArray UhidMeter::reportDescriptor()
{
    static const unsigned char descriptor[] = {
        0x06, 0x00, 0xFF, // Usage Page (vendor defined 0xFF00)
        0x09, 0x01,       // Usage (1)
        0xA1, 0x01,       // Collection (Application)
        0x85, 0x3F,       //   Report ID (0x3F)
        0x15, 0x00,       //   Logical Minimum (0)
        0x26, 0xFF, 0x00, //   Logical Maximum (255)
        0x75, 0x08,       //   Report Size (8 bits)
        0x95, 0x3F,       //   Report Count (63)
        0x09, 0x01,       //   Usage (1)
        0x81, 0x02,       //   Input (Data, Variable, Absolute)
        0x09, 0x01,       //   Usage (1)
        0x91, 0x02,       //   Output (Data, Variable, Absolute)
        0xC0,             // End Collection
    };
    return QByteArray(reinterpret_cast<const char *>(descriptor), sizeof descriptor);
}

bool UhidMeter::plugIn()
{
    UhidDevice::Identity id;
    id.bus = BUS_USB;
    id.vendor = MeterFacts::VendorId;
    id.product = MeterFacts::ProductId;
    id.name = QByteArrayLiteral("Lumivane virtual meter");
    id.phys = QByteArrayLiteral("lumivane-uhid-meter");
    id.uniq = meter.serialString().toLatin1();
    id.reportDescriptor = reportDescriptor();
    if (!device.create(id)) {
        error = device.errorString();
        return false;
    }
    return true;
}

void UhidMeter::unplug()
{
    device.destroy();
}

bool UhidMeter::vanishReached() const
{
    return (vanishAfter > 0 && sentInputReports >= vanishAfter) || meter.isUnplugged();
}

int UhidMeter::pollTimeoutMs() const
{
    const qint64 due = meter.nextInputDueUs();
    if (due < 0)
        return -1;
    const qint64 waitUs = due - meter.nowUs();
    return waitUs <= 0 ? 0 : static_cast<int>((waitUs + 999) / 1000);
}

bool UhidMeter::sendDueReports()
{
    QByteArray report;
    while (!vanishReached() && meter.takeInputReport(report)) {
        if (!device.sendInputReport(report)) {
            error = device.errorString();
            return false;
        }
        ++sentInputReports;
    }
    return !vanishReached();
}

UhidMeter::Stop UhidMeter::serve(int signalFd)
{
    for (;;) {
        if (!sendDueReports())
            return error.isEmpty() ? Stop::Vanished : Stop::Error;

        pollfd fds[2] = {{device.fileDescriptor(), POLLIN, 0}, {signalFd, POLLIN, 0}};
        const int n = ::poll(fds, signalFd >= 0 ? 2 : 1, pollTimeoutMs());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = QStringLiteral("poll: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return Stop::Error;
        }
        if (signalFd >= 0 && (fds[1].revents & POLLIN))
            return Stop::Signal;
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            error = QStringLiteral("/dev/uhid reported an error");
            return Stop::Error;
        }
        if (!(fds[0].revents & POLLIN))
            continue;

        const UhidDevice::Event ev = device.nextEvent();
        switch (ev.kind) {
        case UhidDevice::EventKind::OutputReport: {
            // hidraw passes what the writer wrote; the meter always sees full 64-byte reports.
            QByteArray report = ev.data.left(MeterFacts::ReportSize);
            if (report.size() < MeterFacts::ReportSize)
                report.append(MeterFacts::ReportSize - report.size(), '\0');
            meter.receiveOutputReport(report);
            break;
        }
        case UhidDevice::EventKind::GetReport:
            device.rejectGetReport(ev.requestId);
            break;
        case UhidDevice::EventKind::SetReport:
            device.rejectSetReport(ev.requestId);
            break;
        case UhidDevice::EventKind::Failed:
            error = device.errorString();
            return Stop::Error;
        case UhidDevice::EventKind::None:
        case UhidDevice::EventKind::Other:
            break;
        }
    }
}
