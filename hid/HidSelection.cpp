// SPDX-License-Identifier: GPL-3.0-or-later
#include "HidSelection.h"

#include <algorithm>

namespace {

// Whether an interface counts for the listing: only one that opened, since a meter that cannot
// be opened cannot be talked to, even though its serial string comes without opening it.
bool serialReadable(const HidProbe &probe)
{
    return probe.result == HidOpenResult::Opened;
}

bool isDecimalDigit(const QString &text)
{
    return text.size() == 1 && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
}

} // namespace

SerialListing HidSelection::listSerials(const QList<HidProbe> &probes)
{
    SerialListing listing;
    const QString unused(SerialListing::EntryLength, QChar(0x01));
    for (int i = 0; i < SerialListing::TableSize; ++i)
        listing.table.append(unused);

    int entries = 0;
    int interfaceCount = 1;
    int highestInterface = 0;
    QString lastSerial;
    const int limit = std::min<int>(probes.size(), MemberIndexLimit);
    for (int i = 0; i < limit; ++i) {
        const HidProbe &probe = probes.at(i);
        if (!serialReadable(probe))
            continue;
        const QString &serial = probe.info.serial;
        lastSerial = serial;
        const bool known = listing.table.mid(0, entries).contains(serial);
        if (serial.isEmpty() && known && entries > 0) {
            // A further interface of a meter without serial number; composite devices carry
            // their interface number.
            if (probe.info.interfaceNumber >= 0)
                highestInterface = std::max(highestInterface, probe.info.interfaceNumber);
            ++interfaceCount;
        } else if (!known && interfaceCount == 1 && entries < SerialListing::TableSize) {
            listing.table[entries++] = serial;
        }
    }

    int result = entries;
    bool fillNext = false;
    if (interfaceCount >= 3) {
        result = interfaceCount / (highestInterface + 1);
        fillNext = true;
    } else if (interfaceCount == 2 && entries != 2) {
        result = 2 / (highestInterface + 1);
        fillNext = true;
    }
    if (fillNext && entries < result && entries < SerialListing::TableSize)
        listing.table[entries] = lastSerial;
    listing.count = result;
    return listing;
}

QString HidSelection::chooseSerial(const SerialListing &listing)
{
    QString chosen;
    int unnamed = 0;
    // The count may exceed the table for many interfaces without serial numbers; only the
    // table's entries exist.
    const int entries = std::min<int>(listing.count, listing.table.size());
    for (int i = 0; i < entries; ++i) {
        const QString &entry = listing.table.at(i);
        chosen = entry.isEmpty() ? QString::asprintf("SerNum %x", unnamed++) : entry;
    }
    return chosen;
}

int HidSelection::countDevices(const QList<HidProbe> &probes, int serialCount)
{
    int found = 0;
    const int limit = std::min<int>(probes.size(), MemberIndexLimit);
    for (int i = 0; i < limit; ++i) {
        const HidOpenResult result = probes.at(i).result;
        if (result == HidOpenResult::Opened || result == HidOpenResult::Busy)
            ++found;
    }
    if (found == 0 || serialCount <= 0)
        return 0;
    return found / serialCount;
}

QList<HidProbe> HidSelection::probe(HidReportTransport &transport, quint16 vendorId, quint16 productId)
{
    QList<HidProbe> probes;
    const QList<HidInterfaceInfo> interfaces = transport.enumerate(vendorId, productId);
    const int limit = std::min<int>(interfaces.size(), MemberIndexLimit);
    for (int i = 0; i < limit; ++i) {
        const HidProbe trial{interfaces.at(i), transport.open(interfaces.at(i).path)};
        if (trial.result == HidOpenResult::Opened)
            transport.close();
        probes.append(trial);
    }
    return probes;
}

QString HidSelection::listedSerial(const HidInterfaceInfo &info)
{
    return info.serial.isEmpty() ? QStringLiteral("-") : info.serial;
}

QList<HidInterfaceInfo> HidSelection::withSerial(const QList<HidInterfaceInfo> &interfaces, const QString &serial)
{
    QList<HidInterfaceInfo> kept;
    for (const HidInterfaceInfo &info : interfaces) {
        if (listedSerial(info) == serial)
            kept.append(info);
    }
    return kept;
}

HidSelection::WalkResult HidSelection::walk(const QList<HidInterfaceInfo> &interfaces, const QString &chosenSerial,
                                            int wanted, const std::function<HidOpenResult(int)> &tryOpen,
                                            const std::function<void(int)> &release)
{
    WalkResult result;
    const bool byIndex = isDecimalDigit(chosenSerial);
    const int unnamedWanted = byIndex ? chosenSerial.toInt() : -1;
    int position = 0;
    int unnamedSeen = 0;
    const int limit = std::min<int>(interfaces.size(), MemberIndexLimit);
    for (int i = 0; i < limit; ++i) {
        const HidOpenResult opened = tryOpen(i);
        if (opened == HidOpenResult::Busy) {
            if (position == wanted - 1) {
                result.status = HidStatus::Busy;
                return result;
            }
            ++position;
            continue;
        }
        if (opened != HidOpenResult::Opened)
            continue;
        const QString &serial = interfaces.at(i).serial;
        bool matches = serial == chosenSerial;
        if (!matches && byIndex && serial.isEmpty())
            matches = unnamedSeen++ == unnamedWanted;
        if (matches) {
            if (position == wanted - 1) {
                result.status = HidStatus::Ok;
                result.index = i;
                return result;
            }
            ++position;
        }
        release(i);
    }
    return result;
}
