// SPDX-License-Identifier: GPL-3.0-or-later
// The link layer over the virtual meter: reply sync, collection, drains and failures.

#include "../virtualmeter/TestMeters.h"

#include "CLinkerUSB.h"
#include "MeterTransactions.h"

#include <QtTest>

using namespace TestMeters;

namespace {

struct Link
{
    std::shared_ptr<VirtualMeter> meter;
    std::unique_ptr<CLinkerUSB> usb;
};

Link openLink(const MeterImage &image)
{
    Link link;
    link.meter = std::make_shared<VirtualMeter>(image);
    link.usb = std::make_unique<CLinkerUSB>(std::make_unique<VirtualMeterTransport>(link.meter));
    if (link.usb->open(0x2047, 0x0301) != 0)
        qFatal("virtual meter did not open");
    return link;
}

// Key information reply of the kind-1 sample (serial 10010001, model 1001, firmware 102,
// 2023-12-31), 26 bytes.
QByteArray kind1KeyInfo()
{
    return withCheck(hex("AB2005001200"
                         "A500"
                         "E7070C1F"
                         "91BD9800"
                         "E9030000"
                         "0000"
                         "6600"));
}

} // namespace

class TestLinker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void baseLinkNeverTransfers();
    void openReportsOnDebug_data();
    void openReportsOnDebug();
    void replyCollected_data();
    void replyCollected();
    void timeOutReturnsLastStep();
    void drainTakesEverythingUntilQuiet();
    void readAvailableDoesNotWait();
    void unpluggedWriteFails();
    void unpluggedReadStopsWaiting();
};

void TestLinker::baseLinkNeverTransfers()
{
    CLinker base;
    QByteArray bytes("abc");
    QVERIFY(!base.isOpen());
    QVERIFY(base.isDeviceGone());
    QCOMPARE(base.read(bytes, 100, 3), 0);
    QCOMPARE(base.write(bytes, 100), 0);
    QCOMPARE(base.readAvailable(bytes), 0);
    QCOMPARE(bytes, QByteArray("abc"));
}

void TestLinker::openReportsOnDebug_data()
{
    QTest::addColumn<bool>("present");
    QTest::newRow("present") << true;
    QTest::newRow("absent") << false;
}

void TestLinker::openReportsOnDebug()
{
    QFETCH(bool, present);
    auto meter = std::make_shared<VirtualMeter>(sample(QStringLiteral("kind2.json")));
    if (!present)
        meter->unplug();
    CLinkerUSB link(std::make_unique<VirtualMeterTransport>(meter));
    // Only a failure is logged here; success is the session's to log, once it keeps the link.
    if (!present)
        QTest::ignoreMessage(QtDebugMsg, "hidDevice Open error!\n");
    QCOMPARE(link.open(0x2047, 0x0301), present ? 0 : -1);
    QCOMPARE(link.isOpen(), present);
    QCOMPARE(link.isDeviceGone(), !present);
}

void TestLinker::replyCollected_data()
{
    QTest::addColumn<QByteArray>("faults");

    QTest::newRow("plain") << QByteArray("{}");
    QTest::newRow("stray 00 12 ahead") << QByteArray(R"({"strayBytes": {"requests": [1], "bytes": "0012"}})");
    QTest::newRow("a whole report of stray bytes")
        << QByteArray(R"({"strayBytes": {"requests": [1], "bytes": ")" + QByteArray(124, '0') + R"("}})");
    QTest::newRow("split into 1-byte reports")
        << QByteArray(R"({"splitReply": {"requests": [1], "payloadPerReport": 1}})");
    QTest::newRow("split into 7-byte reports behind stray bytes")
        << QByteArray(R"({"splitReply": {"requests": [1], "payloadPerReport": 7},
                          "strayBytes": {"requests": [1], "bytes": "FF00FF"}})");
    QTest::newRow("foreign report ahead") << QByteArray(R"({"foreignReport": {"requests": [1], "reportId": 1}})");
}

void TestLinker::replyCollected()
{
    QFETCH(QByteArray, faults);
    Link link = openLink(withFaults(QStringLiteral("kind1.json"), faults));
    QByteArray request = withCheck(hex("AB2005001200"));
    QCOMPARE(link.usb->write(request, 1000), 8);
    QByteArray reply;
    QCOMPARE(link.usb->read(reply, 1000, 26), 26);
    QCOMPARE(reply, kind1KeyInfo());
}

void TestLinker::timeOutReturnsLastStep()
{
    Link link =
        openLink(withFaults(QStringLiteral("kind1.json"), R"({"truncateReply": {"requests": [1], "bytes": 20}})"));
    QByteArray request = withCheck(hex("AB2005001200"));
    link.usb->write(request, 1000);
    QByteArray reply;
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("hidDevice ReadMessage error!"));
    // The reply stops after 20 bytes: the last step returned nothing.
    const int result = link.usb->read(reply, 1000, 26);
    QCOMPARE(result, 0);
    QCOMPARE(reply, kind1KeyInfo().left(20));
}

void TestLinker::drainTakesEverythingUntilQuiet()
{
    Link link = openLink(sample(QStringLiteral("kind1.json")));
    // Two requests whose replies nobody collected.
    QByteArray requests = withCheck(hex("AB2005001200")) + withCheck(hex("AB200F000400"));
    link.usb->write(requests, 1000);
    QByteArray stale("x");
    QCOMPARE(link.usb->read(stale, 0, 0), 1 + 26 + 12);
    QCOMPARE(stale.mid(1, 26), kind1KeyInfo());
    QCOMPARE(link.meter->inputReportsDelivered(), 2);
    QByteArray none;
    QCOMPARE(link.usb->read(none, 0, 0), 0);
    QVERIFY(none.isEmpty());
}

void TestLinker::readAvailableDoesNotWait()
{
    // The second reply is due long after the test ends, however slow the machine.
    Link link =
        openLink(withFaults(QStringLiteral("kind1.json"), R"({"lateReply": {"requests": [2], "delayMs": 600000}})"));
    QByteArray requests = withCheck(hex("AB2005001200")) + withCheck(hex("AB200F000400"));
    link.usb->write(requests, 1000);
    QByteArray queued;
    // Only the first reply is there; the late one is not waited for.
    QCOMPARE(link.usb->readAvailable(queued), 26);
    QCOMPARE(queued, kind1KeyInfo());
    QCOMPARE(link.meter->inputReportsDelivered(), 1);
    QVERIFY(link.meter->nextInputDueUs() > link.meter->nowUs());
}

void TestLinker::unpluggedWriteFails()
{
    Link link = openLink(sample(QStringLiteral("kind1.json")));
    link.meter->unplug();
    QVERIFY(link.usb->isDeviceGone());
    QByteArray request = withCheck(hex("AB2005001200"));
    QTest::ignoreMessage(QtDebugMsg, "hidDevice WriteMessage error! ret = 0\n");
    QCOMPARE(link.usb->write(request, 1000), -1);
    // The link stays open until someone closes it.
    QVERIFY(link.usb->isOpen());
    link.usb->close();
    QVERIFY(!link.usb->isOpen());
    // A closed link is not waited on for a reply.
    QByteArray reply;
    QElapsedTimer clock;
    clock.start();
    QTest::ignoreMessage(QtDebugMsg, "hidDevice ReadMessage error!\n");
    QCOMPARE(link.usb->read(reply, 6000, 26), 0);
    QVERIFY2(clock.elapsed() < 3000, "a closed device is not waited for");
}

void TestLinker::unpluggedReadStopsWaiting()
{
    // The meter goes away after the first report of a 128-byte reply.
    Link link = openLink(withFaults(QStringLiteral("kind1.json"), R"({"unplugAfterReports": 1})"));
    QByteArray request = withCheck(hex("AB2061007800"));
    link.usb->write(request, 1000);
    QByteArray reply;
    QElapsedTimer clock;
    clock.start();
    QTest::ignoreMessage(QtDebugMsg, "hidDevice ReadMessage error!\n");
    QCOMPARE(link.usb->read(reply, 6000, 128), 0);
    QCOMPARE(reply.size(), 62);
    QVERIFY2(clock.elapsed() < 3000, "a gone device is not waited for");
    QVERIFY(link.usb->isDeviceGone());
}

QTEST_GUILESS_MAIN(TestLinker)
#include "tst_linker.moc"
