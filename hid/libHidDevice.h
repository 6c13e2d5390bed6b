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

// The meter's HID interface as a byte channel. Outgoing bytes are cut into output reports
// (0x3F, count 1..62, payload, zero padding); incoming 0x3F reports are unpacked and handed out
// in the amounts asked for, the surplus kept for the next read.
//
// Windows rules mapped onto the report transport:
// - member indexes are the positions in the transport's enumeration list;
// - share modes do not exist on hidraw: the exclusive-first attempt becomes one open "as the
//   system allows", and a busy device (EBUSY) plays the part of the sharing violation;
// - the driver's input-report queue size has no counterpart (the kernel keeps its own queue);
// - report lengths are 64 bytes, as the system does not tell them.
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
    // Bytes placed in dst; 0 when not opened or on failure. timeoutMs is the wait per report;
    // 0 takes only the reports already queued.
    int read(quint8 *dst, int length, int timeoutMs);
    // length when every report was written; 0 when not opened or a report failed.
    int write(const quint8 *src, int length, int timeoutMs);
    bool isDeviceGone() const;

    bool isOpened() const { return m_opened; }
    // Outcome of the last operation, for the link's decision to stop waiting.
    HidStatus lastStatus() const { return m_status; }
    // Set when the last open() met an interface the system refused for lack of access rights.
    bool lastOpenAccessDenied() const { return !m_deniedPath.isEmpty(); }
    QString lastOpenDeniedPath() const { return m_deniedPath; }
    // The interface open() took (path and serial string); empty while nothing is open.
    const HidInterfaceInfo &openedInterface() const { return m_openedInterface; }

private:
    QList<HidProbe> probe(quint16 vendorId, quint16 productId);
    HidOpenResult openPath(const QString &path);

    std::unique_ptr<HidReportTransport> m_transport;
    std::unique_ptr<HidDeviceState> m_state;
    bool m_opened = false;
    HidStatus m_status = HidStatus::NotOpened;
    QString m_deniedPath;
    HidInterfaceInfo m_openedInterface;
};
