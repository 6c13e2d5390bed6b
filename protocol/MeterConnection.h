#pragma once

class MeterProtocol;

// What the pages need of the meter link.
class MeterConnection
{
public:
    virtual ~MeterConnection() = default;
    virtual bool isLinkOpen() const = 0;
    virtual MeterProtocol &protocol() = 0;
};
