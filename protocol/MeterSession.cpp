#include "MeterSession.h"

#include "CLinkerUSB.h"
#include "HidReportTransport.h"
#include "MeterLock.h"

#include <QtGlobal>

MeterSession::MeterSession() : m_protocol(m_transactions) {}

MeterSession::~MeterSession()
{
    close();
}

bool MeterSession::openUsb(std::unique_ptr<HidReportTransport> transport)
{
    if (m_link || !transport)
        return false;
    m_deniedPath.clear();
    m_heldElsewhere = false;
    auto link = std::make_unique<CLinkerUSB>(std::move(transport));
    if (link->open(VendorId, ProductId) != 0) {
        m_deniedPath = link->device().lastOpenDeniedPath();
        return false;
    }
    // Opening a hidraw node sends nothing, so the lock is taken right after it: the meter it
    // names is then known, and a meter in use elsewhere is left before any request could take
    // the other program's replies. A meter without a serial string is told by its path.
    const HidInterfaceInfo &opened = link->device().openedInterface();
    auto lock = std::make_unique<MeterLock>(VendorId, ProductId, opened.serial.isEmpty() ? opened.path : opened.serial);
    switch (lock->tryLock()) {
    case MeterLock::Locked:
        m_lock = std::move(lock);
        break;
    case MeterLock::HeldElsewhere:
        m_heldElsewhere = true;
        link->close();
        return false;
    case MeterLock::Failed:
        // Without a place for lock files the meter is still usable, only unguarded.
        qWarning("meter lock %s cannot be created; the meter is used without it", qPrintable(lock->filePath()));
        break;
    }
    m_link = std::move(link);
    m_transactions.setLink(m_link.get());
    return true;
}

void MeterSession::close()
{
    m_transactions.setLink(nullptr);
    if (m_link) {
        m_link->close();
        m_link.reset();
    }
    m_lock.reset();
}

bool MeterSession::isDeviceGone() const
{
    return !m_link || m_link->isDeviceGone();
}

bool MeterSession::isLinkOpen() const
{
    return m_link && m_link->isOpen();
}
