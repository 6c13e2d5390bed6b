// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CLinker.h"
#include "libHidDevice.h"

#include <memory>

class HidReportTransport;

// The meter link over USB HID. Replies start with 0xAB; bytes ahead of that are dropped as
// they arrive.
class CLinkerUSB : public CLinker
{
    Q_OBJECT

public:
    static constexpr quint8 ReplyStartByte = 0xAB;
    static constexpr int ReadBufferSize = 12800;
    static constexpr int ReportWaitMs = 50;

    explicit CLinkerUSB(std::unique_ptr<HidReportTransport> transport);
    ~CLinkerUSB() override;

    // 0 on success, -1 on failure.
    int open(quint16 vendorId, quint16 productId);

    void close() override;
    int read(QByteArray &out, int timeoutMs, int expectedLength) override;
    int write(QByteArray &frame, int timeoutMs) override;
    bool isOpen() const override;
    bool isDeviceGone() const override;
    int readAvailable(QByteArray &out) override;

    const libHidDevice &device() const { return hidDevice; }

private:
    libHidDevice hidDevice;
};
