// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HidReportTransport.h"

#include <memory>

// A transport that hands every call to the one it wraps; a subclass changes only the calls it
// cares about (which interfaces are listed, what an open reports).
class ForwardingTransport : public HidReportTransport
{
public:
    explicit ForwardingTransport(std::unique_ptr<HidReportTransport> wrapped) : inner(std::move(wrapped)) {}

    QList<HidInterfaceInfo> enumerate(quint16 vendorId, quint16 productId) override
    {
        return inner->enumerate(vendorId, productId);
    }
    HidOpenResult open(const QString &path) override { return inner->open(path); }
    void close() override { inner->close(); }
    bool isOpen() const override { return inner->isOpen(); }
    int writeReport(const quint8 *report, int length, int timeoutMs) override
    {
        return inner->writeReport(report, length, timeoutMs);
    }
    int readReport(quint8 *buffer, int capacity, int timeoutMs) override
    {
        return inner->readReport(buffer, capacity, timeoutMs);
    }
    bool isDeviceGone() const override { return inner->isDeviceGone(); }
    bool isSharedDevice() const override { return inner->isSharedDevice(); }

protected:
    HidReportTransport &wrapped() const { return *inner; }

private:
    const std::unique_ptr<HidReportTransport> inner;
};
