// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class MeterProtocol;

// What the pages need of the meter link.
class MeterConnection
{
public:
    virtual ~MeterConnection() = default;
    virtual bool isLinkOpen() const = 0;
    virtual MeterProtocol &protocol() = 0;
    // The hook that runs while a reply is awaited (MeterTransactions::setWhileWaiting), set for
    // the duration of a download and emptied after it. While it is set, the link's owner leaves
    // the link as it is.
    virtual void setWhileWaiting(std::function<void()> hook) = 0;
};
