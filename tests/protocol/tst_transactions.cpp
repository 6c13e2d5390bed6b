// SPDX-License-Identifier: GPL-3.0-or-later
// Transactions over the real link and the virtual meter: check value, drains, late replies.

#include "../virtualmeter/TestMeters.h"

#include "CLinker.h"
#include "MeterProtocol.h"
#include "MeterTransactions.h"

#include <QtTest>

#include <thread>

using namespace TestMeters;

class TestTransactions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void checkValue_data();
    void checkValue();
    void checkValueOverPrefix();
    void requestGoesOutWithCheckValue_data();
    void requestGoesOutWithCheckValue();
    void noOpenLink();
    void failedCheckKeepsReply();
    void uncheckedReplyReturnsCount();
    void staleInputNeverTakenForReply_data();
    void staleInputNeverTakenForReply();
    void quietDrainOnlyWhenNeeded();
    void lateReplyBeforeNextRequest();
    void lateReplyDuringNextTransaction();
};

void TestTransactions::checkValue_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("expected");

    QTest::newRow("123456789") << QByteArray("123456789") << 0x4B37;
    QTest::newRow("abc") << QByteArray("abc") << 0x5749;
    QTest::newRow("key information request") << hex("AB2005001200") << 0x6B94;
    QTest::newRow("record count request") << hex("AB200F000400") << 0xD399;
    QTest::newRow("empty") << QByteArray() << 0xFFFF;
}

void TestTransactions::checkValue()
{
    QFETCH(QByteArray, data);
    QFETCH(int, expected);
    QCOMPARE(MeterTransactions::crc16(data, int(data.size())), quint16(expected));
}

void TestTransactions::checkValueOverPrefix()
{
    // Only the first length bytes count; a length past the end is cut to the data.
    QCOMPARE(MeterTransactions::crc16(QByteArray("123456789xyz"), 9), quint16(0x4B37));
    QCOMPARE(MeterTransactions::crc16(QByteArray("abc"), 10), quint16(0x5749));
}

void TestTransactions::requestGoesOutWithCheckValue_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("key information") << hex("AB2005001200") << hex("AB2005001200946B");
    QTest::newRow("record count") << hex("AB200F000400") << hex("AB200F00040099D3");
}

void TestTransactions::requestGoesOutWithCheckValue()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, sent);

    MeterSession session;
    auto meter = open(session, sample(QStringLiteral("kind1.json")));
    QCOMPARE(session.transactions().sendCommand(request, 1000), 8);
    QCOMPARE(request, sent);
    // The meter took it as one request with a good check value: it answered.
    QCOMPARE(meter->requestsReceived(), 1);
    QCOMPARE(meter->repliesSent(), 1);
    QCOMPARE(meter->recentOutputPayloads(), QList<int>{8});
}

void TestTransactions::noOpenLink()
{
    MeterTransactions transactions;
    QByteArray frame = hex("AB2005001200");
    QByteArray reply;
    QCOMPARE(transactions.sendCommand(frame, 1000), -1);
    QCOMPARE(frame, hex("AB2005001200"));
    QCOMPARE(transactions.receiveReply(reply, 1000, 26, true), -1);

    CLinker closed;
    transactions.setLink(&closed);
    QCOMPARE(transactions.sendCommand(frame, 1000), -1);
    QCOMPARE(frame, hex("AB2005001200"));
}

void TestTransactions::failedCheckKeepsReply()
{
    MeterSession session;
    open(session, withFaults(QStringLiteral("kind1.json"), R"({"badCheck": [1]})"));
    QByteArray request = hex("AB2005001200");
    QCOMPARE(session.transactions().sendCommand(request, 1000), 8);
    QByteArray reply;
    QCOMPARE(session.transactions().receiveReply(reply, 1000, 26, true), -1);
    QCOMPARE(reply.size(), 26);
    QCOMPARE(reply.left(6), hex("AB2005001200"));
    QVERIFY(session.transactions().quietDrainPending());
}

void TestTransactions::uncheckedReplyReturnsCount()
{
    MeterSession session;
    open(session, withFaults(QStringLiteral("kind1.json"), R"({"badCheck": [1]})"));
    QByteArray request = hex("AB200F000400");
    session.transactions().sendCommand(request, 1000);
    QByteArray reply;
    QCOMPARE(session.transactions().receiveReply(reply, 1000, 12, false), 12);
    // Without the check nothing vouches for the reply: the next request drains fully.
    QVERIFY(session.transactions().quietDrainPending());
}

void TestTransactions::staleInputNeverTakenForReply_data()
{
    QTest::addColumn<bool>("afterCleanTransaction");
    QTest::newRow("first transaction of the link") << false;
    QTest::newRow("after a clean transaction") << true;
}

void TestTransactions::staleInputNeverTakenForReply()
{
    QFETCH(bool, afterCleanTransaction);
    MeterSession session;
    const MeterImage image = sample(QStringLiteral("kind1.json"));
    open(session, image);
    if (afterCleanTransaction) {
        KeyInfo info;
        QCOMPARE(session.protocol().readKeyInfo(info), 1);
        QVERIFY(!session.transactions().quietDrainPending());
    }
    // The meter sends a unit table nobody asked for (its request bypasses the transactions).
    QByteArray unasked = withCheck(hex("AB2061007800"));
    QCOMPARE(session.link()->write(unasked, 1000), 8);

    quint32 count = 0;
    QCOMPARE(session.protocol().readRecordCount(count), 1);
    QCOMPARE(count, image.recordCount);
}

void TestTransactions::quietDrainOnlyWhenNeeded()
{
    MeterSession session;
    open(session, withFaults(QStringLiteral("kind1.json"),
                             R"({"badCheck": [2], "headerBytes": {"requests": [3], "bytes": "01"}})"));
    MeterTransactions &transactions = session.transactions();
    QVERIFY(transactions.quietDrainPending());
    quint32 count = 0;
    QCOMPARE(session.protocol().readRecordCount(count), 1);
    QVERIFY(!transactions.quietDrainPending());
    QCOMPARE(session.protocol().readRecordCount(count), -2);
    QVERIFY(transactions.quietDrainPending());
    // A memory reply for another address passed its check but did not answer the request.
    QByteArray memory;
    QCOMPARE(session.protocol().readMemoryBlock(0x80000000u, memory, 16, 0x40), -3);
    QVERIFY(memory.isEmpty());
    QVERIFY(transactions.quietDrainPending());
    QCOMPARE(session.protocol().readMemoryBlock(0x80000000u, memory, 16, 0x40), 1);
    QVERIFY(!transactions.quietDrainPending());
    // A new link starts with the full drain again.
    transactions.setLink(session.link());
    QVERIFY(transactions.quietDrainPending());
}

void TestTransactions::lateReplyBeforeNextRequest()
{
    // The key information comes 1600 ms late: after its 1000 ms wait ended, before the next
    // request. The next request's drain must discard it.
    MeterSession session;
    const MeterImage image =
        withFaults(QStringLiteral("kind1.json"), R"({"lateReply": {"requests": [1], "delayMs": 1600}})");
    auto meter = open(session, image);
    KeyInfo info;
    QCOMPARE(session.protocol().readKeyInfo(info), -2);
    QVERIFY(session.transactions().quietDrainPending());
    const qint64 due = meter->nextInputDueUs();
    QVERIFY(due > 0);
    while (meter->nowUs() < due + 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));

    QList<int> units;
    QCOMPARE(session.protocol().readUnitNumbers(units), 1);
    QCOMPARE(units.size(), 60);
    for (int slot = 0; slot < 60; ++slot)
        QCOMPARE(units.at(slot), int(image.unitSlots.at(slot)));
}

void TestTransactions::lateReplyDuringNextTransaction()
{
    // The key information (26 bytes) comes 2200 ms late, after the next request (a 16-byte
    // memory read, whose reply is also 26 bytes) went out. It must not be taken for the
    // memory data, and the transaction after that reads the right bytes.
    MeterSession session;
    const MeterImage image =
        withFaults(QStringLiteral("kind1.json"), R"({"lateReply": {"requests": [1], "delayMs": 2200}})");
    auto meter = open(session, image);
    KeyInfo info;
    QCOMPARE(session.protocol().readKeyInfo(info), -2);
    QVERIFY(meter->nowUs() < meter->nextInputDueUs());

    QByteArray memory;
    QCOMPARE(session.protocol().readMemoryBlock(0x80000010u, memory, 16, 0x40), -3);
    QVERIFY(memory.isEmpty());
    QCOMPARE(session.protocol().readMemoryBlock(0x80000010u, memory, 16, 0x40), 1);
    QCOMPARE(memory, image.recordMemory.mid(16, 16));
}

QTEST_GUILESS_MAIN(TestTransactions)
#include "tst_transactions.moc"
