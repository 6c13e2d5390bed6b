#include "MeterSession.h"

#include "CLinkerUSB.h"
#include "HidReportTransport.h"

MeterSession::MeterSession()
    : m_protocol(m_transactions)
{
}

MeterSession::~MeterSession()
{
    close();
}

bool MeterSession::openUsb(std::unique_ptr<HidReportTransport> transport)
{
    if (m_link || !transport)
        return false;
    m_deniedPath.clear();
    auto link = std::make_unique<CLinkerUSB>(std::move(transport));
    if (link->open(VendorId, ProductId) != 0) {
        m_deniedPath = link->device().lastOpenDeniedPath();
        return false;
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
}

bool MeterSession::isDeviceGone() const
{
    return !m_link || m_link->isDeviceGone();
}

bool MeterSession::isLinkOpen() const
{
    return m_link && m_link->isOpen();
}
