// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterConnection.h"
#include "MeterProtocol.h"
#include "MeterTransactions.h"

#include <QString>
#include <memory>

class CLinker;
class HidReportTransport;
class MeterLock;

// The current meter link with its transactions and command set.
class MeterSession final : public MeterConnection
{
public:
    MeterSession();
    ~MeterSession() override;

    MeterSession(const MeterSession &) = delete;
    MeterSession &operator=(const MeterSession &) = delete;

    // Opens the meter over the transport and, when the transport's device is shared with other
    // programs (a USB meter, not a virtual one), takes its lock (MeterLock), which the session
    // holds until close(): a meter that another program (or session) holds is closed again at
    // once, before anything is sent to it. On failure nothing is kept and false is returned. A
    // session that already has a link keeps it and returns false. "hidDevice Open success!" goes
    // to the debug output only when the link is kept.
    bool openUsb(std::unique_ptr<HidReportTransport> transport);
    // Closes and discards the current link.
    void close();
    // True when there is no link or its device has gone away.
    bool isDeviceGone() const;
    bool hasLink() const { return currentLink != nullptr; }

    // Whether the last failed openUsb() met a device node the user may not open (missing udev
    // rule), and that node's path.
    bool lastOpenAccessDenied() const { return !deniedPath.isEmpty(); }
    QString lastOpenDeniedPath() const { return deniedPath; }
    // Whether the last failed openUsb() found the meter held by another program or session.
    bool lastOpenHeldElsewhere() const { return heldElsewhere; }

    bool isLinkOpen() const override;
    MeterProtocol &protocol() override { return meterProtocol; }
    void setWhileWaiting(std::function<void()> hook) override { meterTransactions.setWhileWaiting(std::move(hook)); }
    MeterTransactions &transactions() { return meterTransactions; }
    CLinker *link() const { return currentLink.get(); }

private:
    std::unique_ptr<MeterLock> meterLock;
    std::unique_ptr<CLinker> currentLink;
    MeterTransactions meterTransactions;
    MeterProtocol meterProtocol;
    QString deniedPath;
    bool heldElsewhere = false;
};
