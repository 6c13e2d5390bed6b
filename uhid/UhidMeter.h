#pragma once

#include "UhidDevice.h"

class ReportResponder;

// The meter's USB HID face on a UHID device: vendor 0x2047, product 0x0301, the serial number
// as its unique id, one vendor-defined input and one output report (ID 0x3F, 63 data bytes).
// Every output report goes to the responder; the input reports it produces go back to the host.
class UhidMeter
{
public:
    static constexpr quint32 VendorId = 0x2047;
    static constexpr quint32 ProductId = 0x0301;
    static constexpr char ReportId = 0x3F;
    static constexpr int ReportSize = 64; // report ID + 63 data bytes

    enum class Stop { Signal, Vanished, Error };

    // vanishAfter > 0: the device goes away after that many input reports (an unplug).
    UhidMeter(ReportResponder &responder, int vanishAfter);

    static QByteArray reportDescriptor();

    // Creates the device with the serial number in decimal as its unique id.
    bool plugIn(quint32 serialNo);
    // Answers output reports until signalFd becomes readable, the device vanishes as told, or a
    // transfer fails (errorString()).
    Stop serve(int signalFd);
    // Removes the device.
    void unplug();

    int inputReportsSent() const { return m_inputReportsSent; }
    int outputReportsReceived() const { return m_outputReportsReceived; }
    QString errorString() const { return m_error; }

private:
    bool answer(const QByteArray &outputReport);

    ReportResponder &m_responder;
    const int m_vanishAfter;
    UhidDevice m_device;
    int m_inputReportsSent = 0;
    int m_outputReportsReceived = 0;
    QString m_error;
};
