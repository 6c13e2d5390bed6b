// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "HidReportTransport.h"

#include <QStringList>
#include <functional>

// Outcome of the selection walk; libHidDevice::open turns it into 0 or -1.
enum class HidStatus {
    Ok,       // an interface was taken
    NotFound, // no interface matched at the wanted position
    Busy      // the interface at the wanted position is held by another program
};

// An enumerated interface together with the outcome of a trial open of its path.
struct HidProbe
{
    HidInterfaceInfo info;
    HidOpenResult result = HidOpenResult::Failed;
};

// The serial-number table built while listing the meters.
struct SerialListing
{
    static constexpr int TableSize = 6;
    static constexpr int EntryLength = 40;

    int count = 0;     // number of listed meters; 0 means no meter is present
    QStringList table; // TableSize entries; unused entries are filled with 0x01 characters
};

// The selection rules for picking one meter among the HID interfaces, kept apart from any
// system access so that they run on plain enumeration lists.
//
// Member indexes are the positions in the enumeration list, which holds only the interfaces with
// the meter's vendor and product identifiers; only the first MemberIndexLimit interfaces take
// part. An interface that opens is available; a busy one (EBUSY) is held by another program.
class HidSelection
{
public:
    static constexpr int MemberIndexLimit = 128;

    // Serial numbers of the interfaces that opened, with the rules for meters without serial
    // numbers that expose several interfaces.
    static SerialListing listSerials(const QList<HidProbe> &probes);

    // The serial number open() looks for: the last listed entry, or "SerNum <n>" in hex for an
    // entry without a serial string.
    static QString chooseSerial(const SerialListing &listing);

    // Openable (or busy) interfaces divided by the number of listed serial numbers.
    static int countDevices(const QList<HidProbe> &probes, int serialCount);

    struct WalkResult
    {
        HidStatus status = HidStatus::NotFound;
        int index = -1; // member index of the interface taken
    };

    // Walks the interfaces and takes the one whose serial equals the chosen one at matching
    // position wanted - 1. tryOpen opens the interface at a member index; release closes an
    // interface that was opened but not taken. A one-character chosen serial that is a decimal
    // digit also selects, by that index, among the interfaces without a serial string.
    // Every interface the transport lists with this vendor and product identifier (the first
    // MemberIndexLimit), each with the outcome of a trial open of its path. An interface that
    // opened is closed again at once: the trial leaves nothing open and sends nothing.
    static QList<HidProbe> probe(HidReportTransport &transport, quint16 vendorId, quint16 productId);

    // The serial number as list prints it: the serial string, or "-" for an interface without one.
    static QString listedSerial(const HidInterfaceInfo &info);
    // The interfaces whose listed serial number is serial, in their order.
    static QList<HidInterfaceInfo> withSerial(const QList<HidInterfaceInfo> &interfaces, const QString &serial);

    static WalkResult walk(const QList<HidInterfaceInfo> &interfaces, const QString &chosenSerial, int wanted,
                           const std::function<HidOpenResult(int)> &tryOpen, const std::function<void(int)> &release);
};
