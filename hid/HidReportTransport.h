// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterFacts.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// One HID interface as the system lists it. The position in the list returned by enumerate()
// is the interface's member index for the selection rules of libHidDevice.
struct HidInterfaceInfo
{
    QString path;             // device node or other system path, passed back to open()
    QString serial;           // USB serial-number string; empty when the device has none
    int interfaceNumber = -1; // USB interface number; -1 when the system does not tell
};

enum class HidOpenResult {
    Opened,       // the path is open on this transport
    Busy,         // another user holds the device in a way that excludes us
    AccessDenied, // the system refused for lack of access rights (EACCES/EPERM)
    Failed        // anything else: gone, not a HID device, ...
};

// Report-level access to one HID device at a time. libHidDevice keeps the framing, the pending
// bytes and the time-out rules on top of this, so the same behaviour runs over hidapi and over
// the virtual meter.
class HidReportTransport
{
public:
    // Every report of the meter is 64 bytes, report ID included.
    static constexpr int ReportLength = MeterFacts::ReportSize;

    virtual ~HidReportTransport() = default;

    // The present interfaces with this vendor and product identifier, in the system's order.
    virtual QList<HidInterfaceInfo> enumerate(quint16 vendorId, quint16 productId) = 0;

    // Opens one path. Opening while another path is open closes that one first.
    virtual HidOpenResult open(const QString &path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Writes one output report (report ID first). Returns the bytes written, 0 when the report
    // could not be sent within timeoutMs, -1 on failure.
    virtual int writeReport(const quint8 *report, int length, int timeoutMs) = 0;

    // Reads one input report (report ID first) into buffer. Returns its length, 0 when no report
    // arrived within timeoutMs (with 0 only a report already queued is taken; never an error),
    // -1 on failure.
    virtual int readReport(quint8 *buffer, int capacity, int timeoutMs) = 0;

    // True once the opened device has gone away (unplugged), and when nothing is open.
    virtual bool isDeviceGone() const = 0;

    // Whether other programs can open the same device at the same time, as they can a hidraw
    // node. Only then does a session lock the meter (MeterLock) while it holds the link.
    virtual bool isSharedDevice() const = 0;
};
