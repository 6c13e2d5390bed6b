#pragma once

#include "UhidDevice.h"

class VirtualMeter;

// The virtual meter's USB HID face on a UHID device: vendor 0x2047, product 0x0301, the
// meter's serial-number string as its unique id, one vendor-defined input and one output report
// (ID 0x3F, 63 data bytes). Every output report goes to the meter model; the input reports it
// queues go back to the host when they are due.
class UhidMeter
{
public:
    static constexpr quint32 VendorId = 0x2047;
    static constexpr quint32 ProductId = 0x0301;
    static constexpr int ReportSize = 64; // report ID + 63 data bytes

    enum class Stop {
        Signal,
        Vanished,
        Error
    };

    // vanishAfter > 0: the device goes away after that many input reports (an unplug).
    UhidMeter(VirtualMeter &meter, int vanishAfter);

    static QByteArray reportDescriptor();

    // Creates the device. Creation finishes asynchronously: users wait for the hidraw "add".
    bool plugIn();
    // Answers output reports until signalFd becomes readable, the device vanishes (as told, or
    // because the meter's image unplugs it), or a transfer fails (errorString()).
    Stop serve(int signalFd);
    // Removes the device.
    void unplug();

    int inputReportsSent() const { return m_inputReportsSent; }
    QString errorString() const { return m_error; }

private:
    // Sends the input reports that are due; false when the device must stop.
    bool sendDueReports();
    // How long poll() may sleep until the next queued report is due; -1 when none is queued.
    int pollTimeoutMs() const;
    bool vanishReached() const;

    VirtualMeter &m_meter;
    const int m_vanishAfter;
    UhidDevice m_device;
    int m_inputReportsSent = 0;
    QString m_error;
};
