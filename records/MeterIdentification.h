#pragma once

#include "CatalogTypes.h"
#include "KeyInfo.h"
#include "RecordMessages.h"

#include <QList>
#include <optional>

class MeterProtocol;

// Identifies a freshly connected meter: key information, the meter catalog's kind and lowest
// firmware version for its model code, the unit slots and, for kinds 1 and 4, the measuring
// mode. It stops at the first failure; what it wrote up to then stays, as the records page
// shows it (serial and firmware once the key information is read, the kind once a catalog row
// matched, the slots emptied before they are read).
class MeterIdentification
{
public:
    enum Result {
        Identified,
        KeyInfoFailed,
        VersionTooLow,
        MeterMismatch,
        UnitNumbersFailed,
        ModeFailed
    };

    // The meter state of a page: kind (initially 1), mode (initially 0) and unit slots.
    struct MeterState
    {
        int &uiIndex;
        int &mode;
        QList<int> &unitSlots;
    };

    // keyInfo is filled as soon as the key information is read (any result but KeyInfoFailed).
    static Result identify(MeterProtocol &protocol, const MeterCatalog &meterCatalog, MeterState state,
                           KeyInfo &keyInfo);

    // Only kinds 1 and 4 have a mode request.
    static bool hasMode(int uiIndex) { return uiIndex == 1 || uiIndex == 4; }

    // The serial number as a signed 32-bit decimal ("-1" for FF FF FF FF).
    static QString serialText(const KeyInfo &keyInfo);
    // The firmware version in hundredths as a number with 2 decimals (102 gives "1.02").
    static QString firmwareText(const KeyInfo &keyInfo);

    // The message shown for a result; nullopt for Identified.
    static std::optional<RecordMessages::Message> message(Result result);
};
