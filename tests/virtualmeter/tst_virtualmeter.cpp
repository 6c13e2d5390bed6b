// SPDX-License-Identifier: GPL-3.0-or-later
// The firmware model and its transport on their own: request handling, framing, timing, unplug.

#include "TestMeters.h"

#include "MeterTransactions.h"

#include <QtTest>

using namespace TestMeters;

namespace {

// One output report carrying the request with its check value.
QByteArray outputReport(const QByteArray &request, bool goodCheck = true)
{
    QByteArray frame = withCheck(request);
    if (!goodCheck)
        frame.back() = char(frame.back() ^ 0x01);
    QByteArray report(64, '\0');
    report[0] = 0x3F;
    report[1] = char(frame.size());
    report.replace(2, frame.size(), frame);
    return report;
}

// The payload bytes of the given input reports, in order.
QByteArray payload(const QList<QByteArray> &reports)
{
    QByteArray bytes;
    for (const QByteArray &report : reports)
        bytes += report.mid(2, quint8(report.at(1)));
    return bytes;
}

} // namespace

class TestVirtualMeter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersRequests_data();
    void answersRequests();
    void wrongCheckValueGetsNoReply();
    void requestSplitOverReports();
    void garbageBeforeRequestSkipped();
    void repliesFramedIn62ByteReports();
    void faultsByRequestNumber();
    void fullSpeedTiming();
    void unplugAfterReports();
    void transportEnumeration();
};

void TestVirtualMeter::answersRequests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("replyStart");
    QTest::addColumn<int>("replyLength");

    QTest::newRow("key information") << hex("AB2005001200") << hex("AB2005001200A500E7070C1F91BD9800E9030000") << 26;
    QTest::newRow("record count") << hex("AB200F000400") << hex("AB200F00040006000000") << 12;
    QTest::newRow("unit slots") << hex("AB2061007800") << hex("AB20610078000500050005000500") << 128;
    QTest::newRow("mode, kind 1 form") << hex("AB4038000000 0400") << hex("AB40380000000400 00000000") << 14;
    QTest::newRow("mode, kind 4 form") << hex("AB4140000000 0400") << hex("AB41400000000400 00000000") << 14;
    QTest::newRow("unknown short address reads zero") << hex("AB2020000200") << hex("AB20200002000000") << 10;
    QTest::newRow("low memory reads zero") << hex("AB4000010000 0400") << hex("AB40000100000400 00000000") << 14;
    QTest::newRow("record memory") << hex("AB4000000080 0400") << hex("AB40000000800400 00000044") << 14;
}

void TestVirtualMeter::answersRequests()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, replyStart);
    QFETCH(int, replyLength);

    VirtualMeter meter(sample(QStringLiteral("kind1.json")));
    meter.receiveOutputReport(outputReport(request));
    const QByteArray reply = payload(meter.takeInputReports());
    QCOMPARE(reply.size(), replyLength);
    QCOMPARE(reply.left(replyStart.size()), replyStart);
    QCOMPARE(quint16(quint8(reply.at(replyLength - 2)) | quint8(reply.at(replyLength - 1)) << 8),
             MeterTransactions::crc16(reply, replyLength - 2));
}

void TestVirtualMeter::wrongCheckValueGetsNoReply()
{
    VirtualMeter meter(sample(QStringLiteral("kind1.json")));
    meter.receiveOutputReport(outputReport(hex("AB2005001200"), false));
    QCOMPARE(meter.requestsReceived(), 1);
    QVERIFY(meter.takeInputReports().isEmpty());
    // The next good request is answered as usual.
    meter.receiveOutputReport(outputReport(hex("AB200F000400")));
    QCOMPARE(payload(meter.takeInputReports()).size(), 12);
}

void TestVirtualMeter::requestSplitOverReports()
{
    VirtualMeter meter(sample(QStringLiteral("kind1.json")));
    const QByteArray whole = outputReport(hex("AB200F000400"));
    for (int i = 0; i < 8; ++i) {
        QByteArray report(64, '\0');
        report[0] = 0x3F;
        report[1] = 1;
        report[2] = whole.at(2 + i);
        meter.receiveOutputReport(report);
        QCOMPARE(meter.takeInputReports().isEmpty(), i < 7);
    }
}

void TestVirtualMeter::garbageBeforeRequestSkipped()
{
    VirtualMeter meter(sample(QStringLiteral("kind1.json")));
    QByteArray report = outputReport(hex("AB200F000400"));
    report.insert(2, hex("0012AB77"));
    report[1] = 12;
    report.truncate(64);
    meter.receiveOutputReport(report);
    QCOMPARE(payload(meter.takeInputReports()).left(6), hex("AB200F000400"));
    // Reports with another report ID are not for the meter.
    QByteArray foreign = outputReport(hex("AB200F000400"));
    foreign[0] = 0x01;
    meter.receiveOutputReport(foreign);
    QCOMPARE(meter.outputReportsReceived(), 1);
    QVERIFY(meter.takeInputReports().isEmpty());
}

void TestVirtualMeter::repliesFramedIn62ByteReports()
{
    VirtualMeter meter(sample(QStringLiteral("kind1.json")));
    meter.receiveOutputReport(outputReport(hex("AB4000000080 0001"))); // 256 bytes: 266-byte reply
    const QList<QByteArray> reports = meter.takeInputReports();
    QCOMPARE(reports.size(), 5);
    for (int i = 0; i < reports.size(); ++i) {
        QCOMPARE(reports.at(i).size(), 64);
        QCOMPARE(quint8(reports.at(i).at(0)), quint8(0x3F));
        QCOMPARE(int(quint8(reports.at(i).at(1))), i < 4 ? 62 : 18);
    }
    QCOMPARE(reports.last().mid(20), QByteArray(44, '\0')); // zero padding
    QCOMPARE(payload(reports).mid(8, 256), meter.image().recordMemory.left(256));
}

void TestVirtualMeter::faultsByRequestNumber()
{
    VirtualMeter meter(withFaults(QStringLiteral("kind1.json"),
                                  R"({"noReply": [2], "badCheck": [3], "keyInfoError": true,
                                      "strayBytes": {"requests": [4], "bytes": "0012"},
                                      "splitReply": {"requests": [4], "payloadPerReport": 5}})"));
    const QByteArray count = outputReport(hex("AB200F000400"));
    meter.receiveOutputReport(outputReport(hex("AB2005001200")));
    const QByteArray error = payload(meter.takeInputReports());
    QCOMPARE(error.left(3), hex("ABA004"));
    QCOMPARE(error.size(), 5);
    meter.receiveOutputReport(count);
    QVERIFY(meter.takeInputReports().isEmpty());
    meter.receiveOutputReport(count);
    const QByteArray bad = payload(meter.takeInputReports());
    QCOMPARE(bad.size(), 12);
    QVERIFY(MeterTransactions::crc16(bad, 10) != quint16(quint8(bad.at(10)) | quint8(bad.at(11)) << 8));
    meter.receiveOutputReport(count);
    const QList<QByteArray> split = meter.takeInputReports();
    QCOMPARE(split.size(), 3); // 2 stray + 12 reply bytes in reports of 5
    QCOMPARE(payload(split).left(3), hex("0012AB"));
    QCOMPARE(meter.repliesSent(), 3);
}

void TestVirtualMeter::fullSpeedTiming()
{
    VirtualMeterTransport transport(sample(QStringLiteral("kind1.json")), VirtualTiming::usbFullSpeed(2000));
    const std::shared_ptr<VirtualMeter> &meter = transport.meter();
    QCOMPARE(transport.open(transport.path()), HidOpenResult::Opened);
    const QByteArray report = outputReport(hex("AB4000000080 0001"));
    // Only lower bounds on the clock: a loaded machine may make every step later, never earlier.
    const qint64 before = meter->nowUs();
    QCOMPARE(transport.writeReport(reinterpret_cast<const quint8 *>(report.constData()), 64, 1000), 64);
    QVERIFY(meter->nowUs() - before >= 1000); // one frame for the output report
    // The reply's five reports follow the 2 ms turnaround, one per frame.
    const qint64 firstDue = meter->nextInputDueUs();
    QVERIFY(firstDue >= before + 1000 + 2000 + 1000);
    quint8 buffer[64];
    for (int i = 0; i < 5; ++i) {
        const qint64 due = meter->nextInputDueUs();
        QCOMPARE(due, firstDue + i * 1000);
        // Without a wait a report is handed over only once it is due.
        const int early = transport.readReport(buffer, 64, 0);
        if (early == 0)
            QCOMPARE(transport.readReport(buffer, 64, 50), 64);
        else
            QCOMPARE(early, 64);
        QVERIFY(meter->nowUs() >= due);
    }
    QCOMPARE(meter->linkBoundUs(), qint64(1 + 5) * 1000 + 2000);
}

void TestVirtualMeter::unplugAfterReports()
{
    VirtualMeterTransport transport(withFaults(QStringLiteral("kind1.json"), R"({"unplugAfterReports": 3})"));
    QCOMPARE(transport.open(transport.path()), HidOpenResult::Opened);
    const QByteArray report = outputReport(hex("AB4000000080 0001"));
    QCOMPARE(transport.writeReport(reinterpret_cast<const quint8 *>(report.constData()), 64, 1000), 64);
    quint8 buffer[64];
    for (int i = 0; i < 3; ++i)
        QCOMPARE(transport.readReport(buffer, 64, 0), 64);
    QVERIFY(transport.isDeviceGone());
    QCOMPARE(transport.readReport(buffer, 64, 0), -1);
    QCOMPARE(transport.writeReport(reinterpret_cast<const quint8 *>(report.constData()), 64, 1000), -1);
    QVERIFY(transport.enumerate(0x2047, 0x0301).isEmpty());
    QCOMPARE(transport.open(transport.path()), HidOpenResult::Failed);
}

void TestVirtualMeter::transportEnumeration()
{
    VirtualMeterTransport transport(sample(QStringLiteral("kind3.json")));
    const QList<HidInterfaceInfo> list = transport.enumerate(0x2047, 0x0301);
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.at(0).path, QStringLiteral("virtual:30010001"));
    QCOMPARE(list.at(0).serial, QStringLiteral("30010001"));
    QVERIFY(transport.enumerate(0x2047, 0x0302).isEmpty());
    QVERIFY(transport.isDeviceGone()); // nothing open yet
    QCOMPARE(transport.open(QStringLiteral("virtual:1")), HidOpenResult::Failed);
    QCOMPARE(transport.open(list.at(0).path), HidOpenResult::Opened);
    QVERIFY(!transport.isDeviceGone());
}

QTEST_GUILESS_MAIN(TestVirtualMeter)
#include "tst_virtualmeter.moc"
