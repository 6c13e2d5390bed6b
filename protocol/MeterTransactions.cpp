// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterTransactions.h"

#include "CLinker.h"

#include <QElapsedTimer>

#include <algorithm>

MeterTransactions::MeterTransactions(CLinker *link) : currentLink(link) {}

void MeterTransactions::setLink(CLinker *link)
{
    currentLink = link;
    ++linkGeneration;
    quietDrainDue = true;
}

// CRC-16/MODBUS: initial value 0xFFFF, reflected polynomial 0xA001, no final exclusive-or.
quint16 MeterTransactions::crc16(const QByteArray &data, int length)
{
    quint16 crc = 0xFFFF;
    const int end = qMin(length, int(data.size()));
    for (int i = 0; i < end; ++i) {
        crc ^= quint8(data.at(i));
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

int MeterTransactions::sendCommand(QByteArray &frame, int timeoutMs)
{
    if (!currentLink || !currentLink->isOpen())
        return -1;

    // Whatever the meter sent since the last transaction must never be taken for this reply.
    // After a clean transaction nothing more is on its way, so what is queued is all there is.
    QByteArray stale;
    if (quietDrainDue)
        currentLink->read(stale, 0, 0);
    else
        currentLink->readAvailable(stale);
    // Until this transaction ends with a checked reply, the next one drains fully.
    quietDrainDue = true;

    const quint16 crc = crc16(frame, int(frame.size()));
    frame.append(char(crc & 0xFF));
    frame.append(char(crc >> 8));
    return currentLink->write(frame, timeoutMs);
}

int MeterTransactions::receiveReply(QByteArray &reply, int timeoutMs, int expectedLength, bool checkCrc)
{
    if (!currentLink)
        return -1;
    const int result = whileWaiting && timeoutMs > 0 ? readInSlices(reply, timeoutMs, expectedLength)
                                                     : currentLink->read(reply, timeoutMs, expectedLength);
    if (result <= 0 || !checkCrc)
        return result;
    if (expectedLength < 2 || reply.size() < expectedLength)
        return -1;

    const quint16 stored = quint16(quint8(reply.at(expectedLength - 2)) | (quint8(reply.at(expectedLength - 1)) << 8));
    if (stored != crc16(reply, expectedLength - 2))
        return -1;
    // A reply with surplus bytes means the meter sent more than was asked; drain fully next.
    if (reply.size() == expectedLength)
        quietDrainDue = false;
    return int(reply.size());
}

int MeterTransactions::readInSlices(QByteArray &reply, int timeoutMs, int expectedLength)
{
    CLinker *const link = currentLink;
    const quint64 generation = linkGeneration;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        // Each slice is a read of its own over the same buffer: the link keeps appending to what
        // came before, exactly as within one long read.
        const int slice = int(std::clamp<qint64>(timeoutMs - clock.elapsed(), 1, WaitSliceMs));
        QElapsedTimer sliceClock;
        sliceClock.start();
        const int result = link->read(reply, slice, expectedLength);
        // A read ends before its time-out only with a complete reply or when the link failed;
        // either ends the wait, as does the whole time-out.
        if (reply.size() >= expectedLength || sliceClock.elapsed() < slice || clock.hasExpired(timeoutMs))
            return result;
        if (!hookRunning) {
            hookRunning = true;
            whileWaiting();
            hookRunning = false;
        }
        if (linkGeneration != generation)
            return 0;
    }
}
