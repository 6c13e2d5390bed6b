// SPDX-License-Identifier: GPL-3.0-or-later
// Report framing of libHidDevice against the virtual meter.

#include "../virtualmeter/TestMeters.h"

#include "MeterTransactions.h"
#include "libHidDevice.h"

#include <QtTest>

using namespace TestMeters;

namespace {

const QByteArray keyInfoRequest = withCheck(hex("AB2005001200"));
const QByteArray keyInfoReply = withCheck(hex("AB2005001200A500E7070C1F91BD9800E903000000006600"));

struct Device
{
    std::shared_ptr<VirtualMeter> meter;
    std::unique_ptr<libHidDevice> hid;
};

Device openDevice(const MeterImage &image)
{
    Device device;
    device.meter = std::make_shared<VirtualMeter>(image);
    device.hid = std::make_unique<libHidDevice>(std::make_unique<VirtualMeterTransport>(device.meter));
    if (device.hid->open(0x2047, 0x0301) != 0)
        qFatal("virtual meter did not open");
    return device;
}

int writeBytes(libHidDevice &hid, const QByteArray &bytes)
{
    return hid.write(reinterpret_cast<const quint8 *>(bytes.constData()), int(bytes.size()), 1000);
}

QByteArray readBytes(libHidDevice &hid, int length, HidReadResult *result = nullptr)
{
    QByteArray buffer(length, '\0');
    const HidReadResult got = hid.read(reinterpret_cast<quint8 *>(buffer.data()), length, 50);
    buffer.truncate(got.bytes);
    if (result)
        *result = got;
    return buffer;
}

} // namespace

class TestHidDevice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeReplyInOneReport();
    void surplusKeptPending();
    void writeCutsIntoReports_data();
    void writeCutsIntoReports();
    void foreignReportSkipped();
    void readOutcomes_data();
    void readOutcomes();
    void notOpened();
    void openFailures_data();
    void openFailures();
    void secondOpenKeepsDevice();
    void unplugged();
};

void TestHidDevice::wholeReplyInOneReport()
{
    Device device = openDevice(sample(QStringLiteral("kind1.json")));
    QCOMPARE(writeBytes(*device.hid, keyInfoRequest), 8);
    const QByteArray reply = readBytes(*device.hid, 26);
    QCOMPARE(reply.size(), 26);
    QCOMPARE(reply.left(8), hex("AB20050012 00A5 00"));
    QCOMPARE(device.meter->inputReportsDelivered(), 1);
    // Nothing is pending and nothing else arrives.
    QCOMPARE(readBytes(*device.hid, 1).size(), 0);
}

void TestHidDevice::surplusKeptPending()
{
    Device device = openDevice(sample(QStringLiteral("kind1.json")));
    writeBytes(*device.hid, keyInfoRequest);
    const QByteArray first = readBytes(*device.hid, 10);
    QCOMPARE(first.size(), 10);
    QCOMPARE(device.meter->inputReportsDelivered(), 1);
    const QByteArray rest = readBytes(*device.hid, 16);
    QCOMPARE(rest.size(), 16);
    // The 16 bytes came from the pending buffer, not from another report.
    QCOMPARE(device.meter->inputReportsDelivered(), 1);
    const QByteArray whole = first + rest;
    QCOMPARE(MeterTransactions::crc16(whole, 24), quint16(quint8(whole.at(24)) | quint8(whole.at(25)) << 8));
}

void TestHidDevice::writeCutsIntoReports_data()
{
    QTest::addColumn<int>("requests");
    QTest::addColumn<QList<int>>("payloads");

    QTest::newRow("one request, 10 bytes") << 1 << QList<int>{10};
    QTest::newRow("62 bytes exactly") << 0 << QList<int>{62};
    QTest::newRow("130 bytes") << 13 << QList<int>{62, 62, 6};
}

void TestHidDevice::writeCutsIntoReports()
{
    QFETCH(int, requests);
    QFETCH(QList<int>, payloads);

    Device device = openDevice(sample(QStringLiteral("kind1.json")));
    QByteArray bytes;
    if (requests == 0) {
        bytes = QByteArray(62, '\x55'); // no request start byte: the meter ignores them
    } else {
        // Memory reads of 2 bytes each, 10 bytes per request: requests straddle the report
        // boundaries, so every one answered proves the bytes arrived whole and in order.
        for (int i = 0; i < requests; ++i) {
            QByteArray request = hex("AB40000000800200");
            request[2] = char(2 * i);
            bytes += withCheck(request);
        }
    }
    QCOMPARE(writeBytes(*device.hid, bytes), int(bytes.size()));
    QCOMPARE(device.meter->recentOutputPayloads(), payloads);
    QCOMPARE(device.meter->requestsReceived(), requests);
    QCOMPARE(device.meter->repliesSent(), requests);
    const QByteArray replies = readBytes(*device.hid, 12 * requests);
    QCOMPARE(replies.size(), 12 * requests);
    const QByteArray memory = device.meter->image().recordMemory;
    for (int i = 0; i < requests; ++i)
        QCOMPARE(replies.mid(12 * i + 8, 2), memory.mid(2 * i, 2));
}

void TestHidDevice::foreignReportSkipped()
{
    Device device =
        openDevice(withFaults(QStringLiteral("kind1.json"), R"({"foreignReport": {"requests": [1], "reportId": 2}})"));
    writeBytes(*device.hid, keyInfoRequest);
    const QByteArray reply = readBytes(*device.hid, 26);
    QCOMPARE(reply.size(), 26);
    QCOMPARE(device.meter->inputReportsDelivered(), 2);
    QCOMPARE(quint8(reply.at(0)), quint8(0xAB));
    QCOMPARE(MeterTransactions::crc16(reply, 24), quint16(quint8(reply.at(24)) | quint8(reply.at(25)) << 8));
}

void TestHidDevice::readOutcomes_data()
{
    QTest::addColumn<QByteArray>("faults");
    QTest::addColumn<int>("firstRead"); // bytes of the reply read before the checked read
    QTest::addColumn<QString>("then");  // what happens to the meter before the checked read
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("bytes"); // the reply's bytes from firstRead on

    const QByteArray truncated = R"({"truncateReply": {"requests": [1], "bytes": 10}})";
    QTest::newRow("whole reply") << QByteArray("{}") << 0 << QString() << int(HidReadResult::Bytes) << 26;
    QTest::newRow("part of the reply, then quiet") << truncated << 0 << QString() << int(HidReadResult::Bytes) << 10;
    QTest::newRow("no reply") << QByteArray(R"({"noReply": [1]})") << 0 << QString() << int(HidReadResult::TimedOut)
                              << 0;
    QTest::newRow("quiet after the part") << truncated << 10 << QString() << int(HidReadResult::TimedOut) << 0;
    QTest::newRow("pending bytes of an unplugged meter")
        << QByteArray("{}") << 10 << QStringLiteral("unplug") << int(HidReadResult::Bytes) << 16;
    QTest::newRow("unplugged") << QByteArray("{}") << 0 << QStringLiteral("unplug") << int(HidReadResult::Failed) << 0;
    QTest::newRow("closed") << QByteArray("{}") << 10 << QStringLiteral("close") << int(HidReadResult::Failed) << 0;
}

void TestHidDevice::readOutcomes()
{
    QFETCH(QByteArray, faults);
    QFETCH(int, firstRead);
    QFETCH(QString, then);
    QFETCH(int, outcome);
    QFETCH(int, bytes);

    Device device = openDevice(withFaults(QStringLiteral("kind1.json"), faults));
    QCOMPARE(writeBytes(*device.hid, keyInfoRequest), 8);
    if (firstRead > 0)
        QCOMPARE(readBytes(*device.hid, firstRead), keyInfoReply.left(firstRead));
    if (then == QLatin1String("unplug"))
        device.meter->unplug();
    else if (then == QLatin1String("close"))
        device.hid->close();
    HidReadResult result;
    QCOMPARE(readBytes(*device.hid, 26, &result), keyInfoReply.mid(firstRead, bytes));
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.bytes, bytes);
}

void TestHidDevice::notOpened()
{
    libHidDevice hid(std::make_unique<VirtualMeterTransport>(sample(QStringLiteral("kind1.json"))));
    QVERIFY(!hid.isOpened());
    QCOMPARE(writeBytes(hid, keyInfoRequest), 0);
    QCOMPARE(readBytes(hid, 26).size(), 0);
    QVERIFY(hid.isDeviceGone());
}

void TestHidDevice::openFailures_data()
{
    QTest::addColumn<int>("openResult");
    QTest::addColumn<bool>("denied");

    QTest::newRow("busy") << int(HidOpenResult::Busy) << false;
    QTest::newRow("no access rights") << int(HidOpenResult::AccessDenied) << true;
    QTest::newRow("failed") << int(HidOpenResult::Failed) << false;
}

void TestHidDevice::openFailures()
{
    QFETCH(int, openResult);
    QFETCH(bool, denied);

    auto transport = std::make_unique<VirtualMeterTransport>(sample(QStringLiteral("kind1.json")));
    transport->setOpenResult(HidOpenResult(openResult));
    const QString path = transport->path();
    libHidDevice hid(std::move(transport));
    QCOMPARE(hid.open(0x2047, 0x0301), -1);
    QVERIFY(!hid.isOpened());
    QCOMPARE(hid.lastOpenAccessDenied(), denied);
    QCOMPARE(hid.lastOpenDeniedPath(), denied ? path : QString());
}

void TestHidDevice::secondOpenKeepsDevice()
{
    Device device = openDevice(sample(QStringLiteral("kind1.json")));
    QCOMPARE(device.hid->open(0x2047, 0x0301), -1);
    QVERIFY(device.hid->isOpened());
    QCOMPARE(writeBytes(*device.hid, keyInfoRequest), 8);
    QCOMPARE(readBytes(*device.hid, 26).size(), 26);
}

void TestHidDevice::unplugged()
{
    Device device = openDevice(withFaults(QStringLiteral("kind1.json"), R"({"unplugAfterReports": 1})"));
    QVERIFY(!device.hid->isDeviceGone());
    writeBytes(*device.hid, keyInfoRequest);
    QCOMPARE(readBytes(*device.hid, 26).size(), 26);
    QVERIFY(device.hid->isDeviceGone());
    QCOMPARE(writeBytes(*device.hid, keyInfoRequest), 0);
    QCOMPARE(readBytes(*device.hid, 26).size(), 0);
    // The device has gone: a new open finds nothing.
    device.hid->close();
    QCOMPARE(device.hid->open(0x2047, 0x0301), -1);
}

QTEST_GUILESS_MAIN(TestHidDevice)
#include "tst_hiddevice.moc"
