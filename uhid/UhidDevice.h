// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// A virtual HID device created through the kernel's UHID interface (/dev/uhid). The kernel
// binds it like a plugged-in device (hid-generic, hidraw node); output reports written to the
// hidraw node arrive here as events, and input reports sent from here arrive at its readers.
// Not copyable: the open /dev/uhid descriptor is the device, closing it unplugs the device.
class UhidDevice
{
public:
    struct Identity
    {
        quint16 bus = 0;
        quint32 vendor = 0;
        quint32 product = 0;
        QByteArray name; // at most 127 bytes are kept
        QByteArray phys; // at most 63 bytes are kept
        QByteArray uniq; // the serial-number string that hidraw users see; at most 63 bytes
        QByteArray reportDescriptor;
    };

    // What nextEvent() found.
    enum class EventKind {
        None,
        OutputReport,
        GetReport,
        SetReport,
        Other,
        Failed
    };
    struct Event
    {
        EventKind kind = EventKind::None;
        QByteArray data;       // OutputReport: the report as written, report ID first
        quint32 requestId = 0; // GetReport / SetReport: the id the reply must carry
        quint32 rawType = 0;   // the UHID event type
    };

    UhidDevice() = default;
    ~UhidDevice();
    UhidDevice(const UhidDevice &) = delete;
    UhidDevice &operator=(const UhidDevice &) = delete;

    // Opens /dev/uhid (or the given node) and asks the kernel to create the device. Returns
    // false with errorString() set on failure. Device creation finishes asynchronously.
    bool create(const Identity &identity, const QString &node = QStringLiteral("/dev/uhid"));
    // Removes the device (UHID_DESTROY) and closes the descriptor; harmless when not created.
    void destroy();
    bool isCreated() const { return fd >= 0; }
    // The descriptor to poll for readability before nextEvent().
    int fileDescriptor() const { return fd; }

    // Reads one pending event. Blocks when none is pending; poll fileDescriptor() first.
    Event nextEvent();
    // Hands one input report (report ID first) to the kernel.
    bool sendInputReport(const QByteArray &report);
    // Rejects a GET_REPORT or SET_REPORT request: the device has no feature reports, and an
    // unanswered request would stall the caller until the kernel's own time-out.
    bool rejectGetReport(quint32 requestId);
    bool rejectSetReport(quint32 requestId);

    QString errorString() const { return error; }

private:
    bool writeEvent(const void *event, const char *what);

    int fd = -1;
    QString error;
};
