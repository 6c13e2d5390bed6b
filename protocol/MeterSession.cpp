// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterSession.h"

#include "CLinkerUSB.h"
#include "HidReportTransport.h"
#include "MeterFacts.h"
#include "MeterLock.h"

#include <QtGlobal>

MeterSession::MeterSession() : meterProtocol(meterTransactions) {}

MeterSession::~MeterSession()
{
    close();
}

bool MeterSession::openUsb(std::unique_ptr<HidReportTransport> transport)
{
    if (currentLink || !transport)
        return false;
    deniedPath.clear();
    heldElsewhere = false;
    // Only a device that other programs can open as well needs the lock: a virtual meter lives
    // inside its program, and two programs playing one image must not block each other.
    const bool shared = transport->isSharedDevice();
    auto link = std::make_unique<CLinkerUSB>(std::move(transport));
    if (link->open(MeterFacts::VendorId, MeterFacts::ProductId) != 0) {
        deniedPath = link->device().lastOpenDeniedPath();
        return false;
    }
    // Opening a hidraw node sends nothing, so the lock is taken right after it: the meter it
    // names is then known, and a meter in use elsewhere is left before any request could take
    // the other program's replies. A meter without a serial string is told by its path.
    if (shared) {
        const HidInterfaceInfo &opened = link->device().openedInterface();
        auto lock = std::make_unique<MeterLock>(MeterFacts::VendorId, MeterFacts::ProductId,
                                                opened.serial.isEmpty() ? opened.path : opened.serial);
        switch (lock->tryLock()) {
        case MeterLock::Locked:
            meterLock = std::move(lock);
            break;
        case MeterLock::HeldElsewhere:
            heldElsewhere = true;
            link->close();
            return false;
        case MeterLock::Failed:
            // Without a place for lock files the meter is still usable, only unguarded.
            qWarning("meter lock %s cannot be created; the meter is used without it", qPrintable(lock->filePath()));
            break;
        }
    }
    // Said only now that the link is kept, never for a meter refused because it is in use.
    qDebug("hidDevice Open success!\n");
    currentLink = std::move(link);
    meterTransactions.setLink(currentLink.get());
    return true;
}

void MeterSession::close()
{
    meterTransactions.setLink(nullptr);
    if (currentLink) {
        currentLink->close();
        currentLink.reset();
    }
    meterLock.reset();
}

bool MeterSession::isDeviceGone() const
{
    return !currentLink || currentLink->isDeviceGone();
}

bool MeterSession::isLinkOpen() const
{
    return currentLink && currentLink->isOpen();
}
