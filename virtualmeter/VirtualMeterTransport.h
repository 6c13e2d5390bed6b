// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HidReportTransport.h"
#include "VirtualMeter.h"

#include <memory>

// The report transport of one virtual meter, listed as path "virtual:<serial>". With the
// full-speed timing each output report waits for its frame and each input report is handed
// over when the model says it is on the host's side; the waits are real.
class VirtualMeterTransport final : public HidReportTransport
{
public:
    explicit VirtualMeterTransport(std::shared_ptr<VirtualMeter> meter);
    VirtualMeterTransport(const MeterImage &image, const VirtualTiming &timing = VirtualTiming::instant());

    // The meter behind the transport, for tests and counters.
    const std::shared_ptr<VirtualMeter> &meter() const { return virtualMeter; }
    QString path() const;
    // Makes every open fail with this result, as a device node the user may not open
    // (AccessDenied) or one held by another program (Busy); Opened restores normal opening.
    void setOpenResult(HidOpenResult result) { openResult = result; }

    QList<HidInterfaceInfo> enumerate(quint16 vendorId, quint16 productId) override;
    HidOpenResult open(const QString &path) override;
    void close() override;
    bool isOpen() const override { return opened; }
    int writeReport(const quint8 *report, int length, int timeoutMs) override;
    int readReport(quint8 *buffer, int capacity, int timeoutMs) override;
    bool isDeviceGone() const override;
    // A virtual meter lives inside its program, so it is shared only when its image says so
    // (the fault sharedDevice, for tests of the meter lock between programs).
    bool isSharedDevice() const override { return virtualMeter->image().faults.sharedDevice; }

private:
    void waitUntil(qint64 dueUs) const;

    std::shared_ptr<VirtualMeter> virtualMeter;
    bool opened = false;
    HidOpenResult openResult = HidOpenResult::Opened;
    qint64 outFreeUs = 0;
};
