// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "KeyInfo.h"
#include "MeterFacts.h"

#include <QByteArray>
#include <QList>

class MeterTransactions;

// The meter's command set. Every command runs one transaction and returns 1 on success or a
// negative failure code; output arguments are left unchanged on failure.
class MeterProtocol
{
public:
    enum Result {
        Ok = 1,
        RequestNotSent = -1, // link missing or closed, write failed, or no request for the kind
        NoValidReply = -2,   // no complete reply with a valid check value in time
        BadHeader = -3,      // reply fails the header test (for memory: reply for another block)
        BadKeyInfoCheck = -4,
        MeterErrorReply = -5 // the meter answered the key-information request with AB A0 04
    };

    static constexpr int WriteTimeoutMs = 1000;
    static constexpr int KeyInfoTimeoutMs = 1000;
    static constexpr int ReplyTimeoutMs = 6000;
    static constexpr quint8 ReadCommand = MeterFacts::ReadCommand;
    static constexpr quint8 ReadCommandAlt = MeterFacts::ReadCommandAlt;

    explicit MeterProtocol(MeterTransactions &transactions);

    int readKeyInfo(KeyInfo &info);
    // The count as the meter stores it: an unsigned 32-bit number.
    int readRecordCount(quint32 &count);
    int readUnitNumbers(QList<int> &units);
    int readMode(int &mode, int uiIndex);
    // Appends length bytes of meter memory from address to out.
    int readMemoryBlock(quint32 address, QByteArray &out, int length, quint8 command);

    // The bytes of a hexadecimal text in reverse order, as upper-case hexadecimal text
    // ("0a1b2c" gives "2C1B0A"); empty with a warning for odd-length or undecodable text.
    static QByteArray reverseHexBytes(const QByteArray &hex);

private:
    MeterTransactions &transactions;
};
