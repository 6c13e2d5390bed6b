// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterProtocol.h"

#include "MeterFacts.h"
#include "MeterKind.h"
#include "MeterTransactions.h"

#include <QDebug>
#include <QtEndian>

#include <algorithm>

namespace {

// Request forms before the check value:
//   short: @0 0xAB, @1 0x20, @2 address (16 bits), @4 length (16 bits)
//   long:  @0 0xAB, @1 command 0x40/0x41, @2 address (32 bits), @6 length (16 bits)
QByteArray shortRequest(quint16 address, quint16 length)
{
    QByteArray frame(6, '\0');
    frame[0] = char(0xAB);
    frame[1] = char(0x20);
    qToLittleEndian<quint16>(address, frame.data() + 2);
    qToLittleEndian<quint16>(length, frame.data() + 4);
    return frame;
}

QByteArray longRequest(quint8 command, quint32 address, quint16 length)
{
    QByteArray frame(8, '\0');
    frame[0] = char(0xAB);
    frame[1] = char(command);
    qToLittleEndian<quint32>(address, frame.data() + 2);
    qToLittleEndian<quint16>(length, frame.data() + 6);
    return frame;
}

quint8 byteAt(const QByteArray &data, int offset)
{
    return quint8(data.at(offset));
}

template <typename T>
T wordAt(const QByteArray &data, int offset)
{
    return qFromLittleEndian<T>(data.constData() + offset);
}

} // namespace

MeterProtocol::MeterProtocol(MeterTransactions &transactions) : transactions(transactions) {}

// Key information reply, 26 bytes:
//   @0 0xAB, @1 not examined (0xA0 in an error reply), @2 address 0x0005 (error code in an
//   error reply), @4 length 0x0012, @6 marker 0xA5, @7 unused, @8 year (16 bits), @10 month,
//   @11 day, @12 serial number (32 bits), @16 model code (32 bits), @20 extra word,
//   @22 firmware version in hundredths, @24 check value
int MeterProtocol::readKeyInfo(KeyInfo &info)
{
    QByteArray request = shortRequest(0x0005, 0x0012);
    if (transactions.sendCommand(request, WriteTimeoutMs) < 8)
        return RequestNotSent;
    QByteArray reply;
    if (transactions.receiveReply(reply, KeyInfoTimeoutMs, 26, true) <= 0) {
        if (reply.size() >= 3 && byteAt(reply, 1) == 0xA0 && byteAt(reply, 2) == 0x04)
            return MeterErrorReply;
        return NoValidReply;
    }
    if (byteAt(reply, 2) != 0x05 && byteAt(reply, 6) != 0xA5)
        return BadHeader;
    if (wordAt<quint16>(reply, 24) != MeterTransactions::crc16(reply, 24))
        return BadKeyInfoCheck;

    info.marker = byteAt(reply, 6);
    info.date = QDate(wordAt<quint16>(reply, 8), byteAt(reply, 10), byteAt(reply, 11));
    info.serialNo = wordAt<quint32>(reply, 12);
    info.modelCode = wordAt<quint32>(reply, 16);
    info.extraWord = wordAt<quint16>(reply, 20);
    info.firmwareVersion = wordAt<quint16>(reply, 22);
    return Ok;
}

// Record count reply, 12 bytes: @0 0xAB, @1, @2 address 0x000F, @4 length 4, @6 count, @10 check
int MeterProtocol::readRecordCount(quint32 &count)
{
    QByteArray request = shortRequest(0x000F, 0x0004);
    if (transactions.sendCommand(request, WriteTimeoutMs) < 6)
        return RequestNotSent;
    QByteArray reply;
    if (transactions.receiveReply(reply, ReplyTimeoutMs, 12, true) <= 0)
        return NoValidReply;
    if (byteAt(reply, 2) != 0x0F && byteAt(reply, 4) != 0x04)
        return BadHeader;
    count = wordAt<quint32>(reply, 6);
    return Ok;
}

// Unit numbers reply, 128 bytes: @0 0xAB, @1, @2 address 0x0061, @4 length 0x0078,
// @6 60 unit numbers of 16 bits, @126 check
int MeterProtocol::readUnitNumbers(QList<int> &units)
{
    QByteArray request = shortRequest(0x0061, 0x0078);
    if (transactions.sendCommand(request, WriteTimeoutMs) < 6)
        return RequestNotSent;
    QByteArray reply;
    if (transactions.receiveReply(reply, ReplyTimeoutMs, 128, true) <= 0)
        return NoValidReply;
    if (byteAt(reply, 2) != 0x61 && byteAt(reply, 4) != 0x78)
        return BadHeader;
    for (int slot = 0; slot < MeterFacts::UnitSlotCount; ++slot)
        units.append(wordAt<quint16>(reply, 6 + 2 * slot));
    return Ok;
}

// Mode reply, 14 bytes: @0 0xAB, @1, @2 address (32 bits), @6 length 4, @8 mode word,
// @10 unused, @12 check
int MeterProtocol::readMode(int &mode, int uiIndex)
{
    const MeterKind *kind = MeterKind::find(uiIndex);
    if (!kind || !kind->hasMode)
        return RequestNotSent;
    QByteArray request = longRequest(kind->modeCommand, kind->modeAddress, 4);
    if (transactions.sendCommand(request, WriteTimeoutMs) < 8)
        return RequestNotSent;
    QByteArray reply;
    if (transactions.receiveReply(reply, ReplyTimeoutMs, 14, true) <= 0)
        return NoValidReply;
    if (byteAt(reply, 6) != 0x04)
        return BadHeader;
    mode = wordAt<quint16>(reply, 8);
    return Ok;
}

// Memory reply, length + 10 bytes: @0 0xAB, @1, @2 address (32 bits), @6 length, @8 data,
// then the check value
int MeterProtocol::readMemoryBlock(quint32 address, QByteArray &out, int length, quint8 command)
{
    if (length <= 0 || length > 0xFFFF)
        return RequestNotSent;
    QByteArray request = longRequest(command, address, quint16(length));
    if (transactions.sendCommand(request, WriteTimeoutMs) < 8)
        return RequestNotSent;
    QByteArray reply;
    if (transactions.receiveReply(reply, ReplyTimeoutMs, length + 10, true) < length + 10)
        return NoValidReply;
    // The reply repeats the request's address and length. A reply of the same length for
    // another block (one that came too late for an earlier request) must not be taken for this
    // block's data.
    if (reply.mid(2, 6) != request.mid(2, 6)) {
        transactions.requireQuietDrain();
        return BadHeader;
    }
    out.append(reply.constData() + 8, length);
    return Ok;
}

QByteArray MeterProtocol::reverseHexBytes(const QByteArray &hex)
{
    if (hex.isEmpty() || hex.size() % 2 != 0) {
        qWarning().noquote() << QStringLiteral("错误：十六进制字符串长度为奇数，无法解析！");
        return {};
    }
    QByteArray bytes = QByteArray::fromHex(hex);
    if (bytes.isEmpty()) {
        qWarning().noquote() << QStringLiteral("错误：十六进制字符串解析失败，含非法字符！");
        return {};
    }
    std::reverse(bytes.begin(), bytes.end());
    return bytes.toHex().toUpper();
}
