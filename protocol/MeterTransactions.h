#pragma once

#include <QByteArray>
#include <QtGlobal>

class CLinker;

// One request/reply exchange with the meter over the current link. Frames start with 0xAB and
// end with a CRC-16/MODBUS check value, low byte first, over every byte before it.
//
// Before each request the stale input is drained. A full drain waits for 50 ms without input;
// it is needed on the first transaction of a link and after a transaction that did not end with
// a complete reply that passed its check (only then can a late or surplus reply still be on its
// way). After a clean transaction the drain only discards what is already queued.
class MeterTransactions
{
public:
    explicit MeterTransactions(CLinker *link = nullptr);

    // The link the transactions run over; not owned. Setting a link starts it with a full drain.
    void setLink(CLinker *link);
    CLinker *link() const { return currentLink; }

    static quint16 crc16(const QByteArray &data, int length);

    // Drains, appends the check value to frame and writes it. Bytes written or -1.
    int sendCommand(QByteArray &frame, int timeoutMs);
    // Collects one reply. Its size when complete and checked; 0 or less on failure; -1 on a
    // failed check.
    int receiveReply(QByteArray &reply, int timeoutMs, int expectedLength, bool checkCrc);

    // Whether the next request is preceded by the 50 ms quiet-gap drain.
    bool quietDrainPending() const { return quietDrainDue; }
    // For a reply that passed its check but turned out not to answer the request: more input
    // may be on its way, so the next request drains fully.
    void requireQuietDrain() { quietDrainDue = true; }

private:
    CLinker *currentLink = nullptr;
    bool quietDrainDue = true;
};
