// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HidReportTransport.h"

struct hid_device_;

// The report transport over hidapi's hidraw backend. hidraw delivers numbered input reports
// with the report ID as their first byte and takes output reports the same way.
class HidapiTransport final : public HidReportTransport
{
public:
    HidapiTransport();
    ~HidapiTransport() override;

    HidapiTransport(const HidapiTransport &) = delete;
    HidapiTransport &operator=(const HidapiTransport &) = delete;

    QList<HidInterfaceInfo> enumerate(quint16 vendorId, quint16 productId) override;
    HidOpenResult open(const QString &path) override;
    void close() override;
    bool isOpen() const override { return device != nullptr; }
    int writeReport(const quint8 *report, int length, int timeoutMs) override;
    int readReport(quint8 *buffer, int capacity, int timeoutMs) override;
    bool isDeviceGone() const override;
    bool isSharedDevice() const override { return true; }

    // How an errno from opening a device node is reported.
    static HidOpenResult openResultFromErrno(int error);

private:
    hid_device_ *device = nullptr;
    QString openedPath;
    bool gone = false;
};
