#include "UhidMeter.h"

#include "VirtualMeter.h"

#include <linux/input.h>

#include <cerrno>
#include <cstring>
#include <poll.h>

UhidMeter::UhidMeter(VirtualMeter &meter, int vanishAfter) : m_meter(meter), m_vanishAfter(vanishAfter) {}

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
    id.vendor = VendorId;
    id.product = ProductId;
    id.name = QByteArrayLiteral("Lumivane virtual meter");
    id.phys = QByteArrayLiteral("lumivane-uhid-meter");
    id.uniq = m_meter.serialString().toLatin1();
    id.reportDescriptor = reportDescriptor();
    if (!m_device.create(id)) {
        m_error = m_device.errorString();
        return false;
    }
    return true;
}

void UhidMeter::unplug()
{
    m_device.destroy();
}

bool UhidMeter::vanishReached() const
{
    return (m_vanishAfter > 0 && m_inputReportsSent >= m_vanishAfter) || m_meter.isUnplugged();
}

int UhidMeter::pollTimeoutMs() const
{
    const qint64 due = m_meter.nextInputDueUs();
    if (due < 0)
        return -1;
    const qint64 waitUs = due - m_meter.nowUs();
    return waitUs <= 0 ? 0 : static_cast<int>((waitUs + 999) / 1000);
}

bool UhidMeter::sendDueReports()
{
    QByteArray report;
    while (!vanishReached() && m_meter.takeInputReport(report)) {
        if (!m_device.sendInputReport(report)) {
            m_error = m_device.errorString();
            return false;
        }
        ++m_inputReportsSent;
    }
    return !vanishReached();
}

UhidMeter::Stop UhidMeter::serve(int signalFd)
{
    for (;;) {
        if (!sendDueReports())
            return m_error.isEmpty() ? Stop::Vanished : Stop::Error;

        pollfd fds[2] = {{m_device.fileDescriptor(), POLLIN, 0}, {signalFd, POLLIN, 0}};
        const int n = ::poll(fds, signalFd >= 0 ? 2 : 1, pollTimeoutMs());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_error = QStringLiteral("poll: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return Stop::Error;
        }
        if (signalFd >= 0 && (fds[1].revents & POLLIN))
            return Stop::Signal;
        if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
            m_error = QStringLiteral("/dev/uhid reported an error");
            return Stop::Error;
        }
        if (!(fds[0].revents & POLLIN))
            continue;

        const UhidDevice::Event ev = m_device.nextEvent();
        switch (ev.kind) {
        case UhidDevice::EventKind::OutputReport: {
            // hidraw passes what the writer wrote; the meter always sees full 64-byte reports.
            QByteArray report = ev.data.left(ReportSize);
            if (report.size() < ReportSize)
                report.append(ReportSize - report.size(), '\0');
            m_meter.receiveOutputReport(report);
            break;
        }
        case UhidDevice::EventKind::GetReport:
            m_device.rejectGetReport(ev.requestId);
            break;
        case UhidDevice::EventKind::SetReport:
            m_device.rejectSetReport(ev.requestId);
            break;
        case UhidDevice::EventKind::Failed:
            m_error = m_device.errorString();
            return Stop::Error;
        case UhidDevice::EventKind::None:
        case UhidDevice::EventKind::Other:
            break;
        }
    }
}
