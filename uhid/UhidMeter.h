// SPDX-License-Identifier: GPL-3.0-or-later
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

    int inputReportsSent() const { return sentInputReports; }
    QString errorString() const { return error; }

private:
    // Sends the input reports that are due; false when the device must stop.
    bool sendDueReports();
    // How long poll() may sleep until the next queued report is due; -1 when none is queued.
    int pollTimeoutMs() const;
    bool vanishReached() const;

    VirtualMeter &meter;
    const int vanishAfter;
    UhidDevice device;
    int sentInputReports = 0;
    QString error;
};
