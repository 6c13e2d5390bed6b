// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>

class CLinker;

// One request/reply exchange with the meter over the current link. Frames start with 0xAB and
// end with a CRC-16/MODBUS check value, low byte first, over every byte before it.
//
// Before each request the stale input is drained. A full drain waits for 50 ms without input;
// it is needed on the first transaction of a link and after a transaction that did not end with
// a complete reply that passed its check (only then can a late or surplus reply still be on its
// way). After a clean transaction the drain only discards what is already queued.
//
// A reply may take seconds. Whoever runs a flow that must keep a window responsive meanwhile sets
// a while-waiting hook for the flow's duration: the wait for a reply is then cut into slices of
// WaitSliceMs (each at least one report wait of the link) and the hook runs between them, never
// re-entered. The link may be closed or replaced while the hook runs; the reply is then given up
// as missing and the old link is not touched again.
class MeterTransactions
{
public:
    using WhileWaiting = std::function<void()>;
    static constexpr int WaitSliceMs = 30;

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

    // Sets the while-waiting hook; an empty one makes every wait one blocking read again.
    void setWhileWaiting(WhileWaiting hook) { whileWaiting = std::move(hook); }
    bool hasWhileWaiting() const { return bool(whileWaiting); }

private:
    // The wait of receiveReply in slices with the hook between them; what one read of the whole
    // time-out would have returned, or 0 when the link went while the hook ran.
    int readInSlices(QByteArray &reply, int timeoutMs, int expectedLength);

    CLinker *currentLink = nullptr;
    quint64 linkGeneration = 0; // counts setLink calls: a link replaced while waiting is noticed
    bool quietDrainDue = true;
    WhileWaiting whileWaiting;
    bool hookRunning = false;
};
