// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HidReportTransport.h"
#include "HidSelection.h"

#include <QString>
#include <array>
#include <memory>

// State of one opened device: time-outs, report lengths and the received-report buffer with
// the payload bytes not yet handed out.
struct HidDeviceState
{
    static constexpr int ReportBufferSize = 8192;

    bool opened = false;
    quint32 readTimeoutMs = 50;
    quint32 writeTimeoutMs = 50;
    quint16 inputReportLength = 0;
    quint16 outputReportLength = 0;
    std::array<quint8, ReportBufferSize> reportBuffer{};
    int pendingStart = 0;     // first pending payload byte in reportBuffer
    quint16 pendingCount = 0; // payload bytes received but not yet handed out
};

// How one read ended.
struct HidReadResult
{
    enum Outcome {
        Bytes,    // `bytes` bytes were placed; fewer than asked when the input stopped first
        TimedOut, // no report arrived within the wait; nothing was placed
        Failed    // not opened, or the transfer failed; nothing was placed, and waiting brings nothing
    };
    Outcome outcome = Failed;
    int bytes = 0; // bytes placed in dst: 0 after a time-out or failure, and for a read of 0 bytes
};

// The meter's HID interface as a byte channel. Outgoing bytes are cut into output reports
// (0x3F, count 1..62, payload, zero padding); incoming 0x3F reports are unpacked and handed out
// in the amounts asked for, the surplus kept for the next read.
//
// Member indexes are the positions in the transport's enumeration list. Every report is 64
// bytes, report ID included.
class libHidDevice
{
public:
    explicit libHidDevice(std::unique_ptr<HidReportTransport> transport);
    ~libHidDevice();

    libHidDevice(const libHidDevice &) = delete;
    libHidDevice &operator=(const libHidDevice &) = delete;

    // 0 on success, -1 on failure (nothing kept).
    int open(quint16 vendorId, quint16 productId);
    void close();
    // Places up to length bytes in dst. timeoutMs is the wait per report; 0 takes only the reports
    // already queued. Bytes handed out are never dropped: a read that times out or fails after
    // some bytes ends with those bytes, and a lasting failure shows on the next read.
    HidReadResult read(quint8 *dst, int length, int timeoutMs);
    // length when every report was written; 0 when not opened or a report failed.
    int write(const quint8 *src, int length, int timeoutMs);
    bool isDeviceGone() const;

    bool isOpened() const { return opened; }
    // Set when the last open() met an interface the system refused for lack of access rights.
    bool lastOpenAccessDenied() const { return !deniedPath.isEmpty(); }
    QString lastOpenDeniedPath() const { return deniedPath; }
    // The interface open() took (path and serial string); empty while nothing is open.
    const HidInterfaceInfo &openedInterface() const { return openedInfo; }

private:
    QList<HidProbe> probe(quint16 vendorId, quint16 productId);
    HidOpenResult openPath(const QString &path);

    std::unique_ptr<HidReportTransport> transport;
    std::unique_ptr<HidDeviceState> deviceState;
    bool opened = false;
    QString deniedPath;
    HidInterfaceInfo openedInfo;
};
