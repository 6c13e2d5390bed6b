// SPDX-License-Identifier: GPL-3.0-or-later
// The command set against the virtual meter: decoding of every command and its failure codes.

#include "../virtualmeter/TestMeters.h"

#include "MeterProtocol.h"

#include <QtTest>

using namespace TestMeters;

namespace {

enum Command {
    KeyInformation,
    RecordCount,
    UnitNumbers,
    Mode,
    MemoryBlock
};

// Runs one command on a fresh meter and returns its result; out receives what was decoded,
// for checking that failures leave it alone.
int runCommand(MeterSession &session, Command command, QByteArray &memory, QList<int> &units, int &value, KeyInfo &info)
{
    MeterProtocol &protocol = session.protocol();
    switch (command) {
    case KeyInformation:
        return protocol.readKeyInfo(info);
    case RecordCount: {
        quint32 count = quint32(value);
        const int result = protocol.readRecordCount(count);
        value = int(count);
        return result;
    }
    case UnitNumbers:
        return protocol.readUnitNumbers(units);
    case Mode:
        return protocol.readMode(value, 1);
    case MemoryBlock:
        return protocol.readMemoryBlock(0x80000000u, memory, 256, 0x40);
    }
    return 0;
}

} // namespace

class TestMeterProtocol : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesSample_data();
    void decodesSample();
    void keyInfoBytes();
    void keyInfoHeaderTest_data();
    void keyInfoHeaderTest();
    void failureCodes_data();
    void failureCodes();
    void modeOnlyForKinds1And4_data();
    void modeOnlyForKinds1And4();
    void memoryBlockLengths_data();
    void memoryBlockLengths();
    void noLink();
    void reverseHexBytes_data();
    void reverseHexBytes();
};

void TestMeterProtocol::decodesSample_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("uiIndex");
    for (const auto &[file, kind] : {std::pair{"kind1.json", 1},
                                     {"kind1-ppfd.json", 1},
                                     {"kind2.json", 2},
                                     {"kind3.json", 3},
                                     {"kind4.json", 4},
                                     {"kind4-ppfd.json", 4},
                                     {"kind5.json", 5},
                                     {"kind6.json", 6}})
        QTest::newRow(file) << QString::fromLatin1(file) << kind;
}

void TestMeterProtocol::decodesSample()
{
    QFETCH(QString, file);
    QFETCH(int, uiIndex);
    const MeterImage image = sample(file);
    MeterSession session;
    open(session, image);
    MeterProtocol &protocol = session.protocol();

    KeyInfo info;
    QCOMPARE(protocol.readKeyInfo(info), 1);
    QCOMPARE(info.marker, image.marker);
    QCOMPARE(info.date, image.date);
    QCOMPARE(info.serialNo, image.serialNo);
    QCOMPARE(info.modelCode, image.modelCode);
    QCOMPARE(info.extraWord, image.extraWord);
    QCOMPARE(info.firmwareVersion, image.firmwareVersion);

    quint32 count = 0;
    QCOMPARE(protocol.readRecordCount(count), 1);
    QCOMPARE(count, image.recordCount);

    QList<int> units{-7};
    QCOMPARE(protocol.readUnitNumbers(units), 1);
    QCOMPARE(units.size(), 61); // appended after what was there
    for (int slot = 0; slot < 60; ++slot)
        QCOMPARE(units.at(slot + 1), int(image.unitSlots.at(slot)));

    int mode = -1;
    if (uiIndex == 1 || uiIndex == 4) {
        QCOMPARE(protocol.readMode(mode, uiIndex), 1);
        QCOMPARE(mode, int(image.mode));
    }

    const quint8 command = (uiIndex == 4 || uiIndex == 6) ? 0x41 : 0x40;
    QByteArray records;
    for (int offset = 0; offset < image.recordMemory.size(); offset += 256) {
        const int length = qMin(256, int(image.recordMemory.size()) - offset);
        QCOMPARE(protocol.readMemoryBlock(0x80000000u + quint32(offset), records, length, command), 1);
    }
    QCOMPARE(records, image.recordMemory);
    if (!image.nameMemory.isEmpty()) {
        QByteArray names;
        QCOMPARE(protocol.readMemoryBlock(0xC0000000u, names, int(image.nameMemory.size()), 0x41), 1);
        QCOMPARE(names, image.nameMemory);
    }
}

void TestMeterProtocol::keyInfoBytes()
{
    // Year bytes E7 07, month 0C, day 1F, firmware 66 00.
    const MeterImage image = sample(QStringLiteral("kind1.json"));
    MeterSession session;
    open(session, image);
    KeyInfo info;
    QCOMPARE(session.protocol().readKeyInfo(info), 1);
    QCOMPARE(info.date, QDate(2023, 12, 31));
    QCOMPARE(info.firmwareVersion, quint16(102));
    QCOMPARE(info.marker, quint8(0xA5));
    QCOMPARE(info.serialNo, quint32(10010001));
    QCOMPARE(info.modelCode, quint32(1001));
}

void TestMeterProtocol::keyInfoHeaderTest_data()
{
    QTest::addColumn<int>("marker");
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<int>("expected");

    QTest::newRow("address 05, marker A5") << 0xA5 << QByteArray() << 1;
    QTest::newRow("address 05, another marker") << 0x5A << QByteArray() << 1;
    QTest::newRow("other address, marker A5") << 0xA5 << QByteArray("0700") << 1;
    QTest::newRow("other address, another marker") << 0x5A << QByteArray("0700") << -3;
}

void TestMeterProtocol::keyInfoHeaderTest()
{
    QFETCH(int, marker);
    QFETCH(QByteArray, header);
    QFETCH(int, expected);

    MeterImage image = header.isEmpty()
                           ? sample(QStringLiteral("kind1.json"))
                           : withFaults(QStringLiteral("kind1.json"),
                                        R"({"headerBytes": {"requests": [1], "bytes": ")" + header + R"("}})");
    image.marker = quint8(marker);
    MeterSession session;
    open(session, image);
    KeyInfo info;
    info.serialNo = 77;
    QCOMPARE(session.protocol().readKeyInfo(info), expected);
    QCOMPARE(info.serialNo, expected == 1 ? image.serialNo : 77u);
    if (expected == 1)
        QCOMPARE(info.marker, quint8(marker));
}

void TestMeterProtocol::failureCodes_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("faults");
    QTest::addColumn<int>("expected");

    QTest::newRow("key info: error reply AB A0 04")
        << int(KeyInformation) << QByteArray(R"({"keyInfoError": true})") << -5;
    QTest::newRow("key info: wrong check value") << int(KeyInformation) << QByteArray(R"({"badCheck": [1]})") << -2;
    QTest::newRow("key info: no reply") << int(KeyInformation) << QByteArray(R"({"noReply": [1]})") << -2;
    QTest::newRow("key info: part of a reply")
        << int(KeyInformation) << QByteArray(R"({"truncateReply": {"requests": [1], "bytes": 20}})") << -2;
    QTest::newRow("key info: unplugged after the first report")
        << int(KeyInformation)
        << QByteArray(R"({"unplugAfterReports": 1, "splitReply": {"requests": [1], "payloadPerReport": 13}})") << -2;
    QTest::newRow("count: wrong check value") << int(RecordCount) << QByteArray(R"({"badCheck": [1]})") << -2;
    QTest::newRow("count: header") << int(RecordCount)
                                   << QByteArray(R"({"headerBytes": {"requests": [1], "bytes": "000000"}})") << -3;
    QTest::newRow("count: byte 4 alone passes")
        << int(RecordCount) << QByteArray(R"({"headerBytes": {"requests": [1], "bytes": "00"}})") << 1;
    QTest::newRow("units: wrong check value") << int(UnitNumbers) << QByteArray(R"({"badCheck": [1]})") << -2;
    QTest::newRow("units: header") << int(UnitNumbers)
                                   << QByteArray(R"({"headerBytes": {"requests": [1], "bytes": "000000"}})") << -3;
    QTest::newRow("mode: wrong check value") << int(Mode) << QByteArray(R"({"badCheck": [1]})") << -2;
    QTest::newRow("mode: length byte") << int(Mode)
                                       << QByteArray(R"({"headerBytes": {"requests": [1], "bytes": "3800000000"}})")
                                       << -3;
    QTest::newRow("memory: wrong check value") << int(MemoryBlock) << QByteArray(R"({"badCheck": [1]})") << -2;
    QTest::newRow("memory: reply for another address")
        << int(MemoryBlock) << QByteArray(R"({"headerBytes": {"requests": [1], "bytes": "0001"}})") << -3;
    QTest::newRow("memory: stray bytes ahead")
        << int(MemoryBlock) << QByteArray(R"({"strayBytes": {"requests": [1], "bytes": "0012"}})") << 1;
    QTest::newRow("memory: split reply") << int(MemoryBlock)
                                         << QByteArray(R"({"splitReply": {"requests": [1], "payloadPerReport": 5}})")
                                         << 1;
    QTest::newRow("memory: foreign report ahead")
        << int(MemoryBlock) << QByteArray(R"({"foreignReport": {"requests": [1], "reportId": 9}})") << 1;
    QTest::newRow("memory: unplugged in the middle")
        << int(MemoryBlock) << QByteArray(R"({"unplugAfterReports": 2})") << -2;
}

void TestMeterProtocol::failureCodes()
{
    QFETCH(int, command);
    QFETCH(QByteArray, faults);
    QFETCH(int, expected);

    const MeterImage image = withFaults(QStringLiteral("kind4.json"), faults);
    MeterSession session;
    open(session, image);
    QByteArray memory("keep");
    QList<int> units{42};
    int value = -9;
    KeyInfo info;
    info.modelCode = 5;
    QCOMPARE(runCommand(session, Command(command), memory, units, value, info), expected);
    if (expected < 0) {
        // Output arguments are left alone on failure.
        QCOMPARE(memory, QByteArray("keep"));
        QCOMPARE(units, QList<int>{42});
        QCOMPARE(value, -9);
        QCOMPARE(info.modelCode, 5u);
    } else if (command == MemoryBlock) {
        QCOMPARE(memory, QByteArray("keep") + image.recordMemory.left(256));
    } else if (command == RecordCount) {
        QCOMPARE(value, int(image.recordCount));
    }
}

void TestMeterProtocol::modeOnlyForKinds1And4_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("requests");
    for (int kind = 0; kind <= 7; ++kind)
        QTest::addRow("kind %d", kind) << kind << ((kind == 1 || kind == 4) ? 1 : -1)
                                       << ((kind == 1 || kind == 4) ? 1 : 0);
}

void TestMeterProtocol::modeOnlyForKinds1And4()
{
    QFETCH(int, uiIndex);
    QFETCH(int, expected);
    QFETCH(int, requests);
    MeterSession session;
    auto meter = open(session, sample(QStringLiteral("kind4-ppfd.json")));
    int mode = -1;
    QCOMPARE(session.protocol().readMode(mode, uiIndex), expected);
    QCOMPARE(mode, expected == 1 ? 1 : -1);
    QCOMPARE(meter->requestsReceived(), requests);
}

void TestMeterProtocol::memoryBlockLengths_data()
{
    QTest::addColumn<quint32>("address");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("expected");

    QTest::newRow("256 bytes") << 0x80000000u << 256 << 1;
    QTest::newRow("last short chunk") << 0x80000200u << 76 << 1;
    QTest::newRow("one byte") << 0x80000003u << 1 << 1;
    QTest::newRow("name area") << 0xC0000000u << 48 << 1;
    QTest::newRow("past the stored records") << 0x80100000u << 64 << 1;
    QTest::newRow("zero length") << 0x80000000u << 0 << -1;
    QTest::newRow("longer than the length field") << 0x80000000u << 65536 << -1;
}

void TestMeterProtocol::memoryBlockLengths()
{
    QFETCH(quint32, address);
    QFETCH(int, length);
    QFETCH(int, expected);
    MeterSession session;
    auto meter = open(session, sample(QStringLiteral("kind4.json")));
    QByteArray out;
    QCOMPARE(session.protocol().readMemoryBlock(address, out, length, 0x41), expected);
    if (expected != 1) {
        QVERIFY(out.isEmpty());
        QCOMPARE(meter->requestsReceived(), 0);
        return;
    }
    QCOMPARE(out.size(), length);
    for (int i = 0; i < length; ++i)
        QCOMPARE(quint8(out.at(i)), meter->memoryByte(address + quint32(i)));
}

void TestMeterProtocol::noLink()
{
    MeterSession session;
    QVERIFY(!session.isLinkOpen());
    KeyInfo info;
    int value = 0;
    quint32 count = 0;
    QList<int> units;
    QByteArray out;
    QCOMPARE(session.protocol().readKeyInfo(info), -1);
    QCOMPARE(session.protocol().readRecordCount(count), -1);
    QCOMPARE(session.protocol().readUnitNumbers(units), -1);
    QCOMPARE(session.protocol().readMode(value, 1), -1);
    QCOMPARE(session.protocol().readMemoryBlock(0x80000000u, out, 256, 0x40), -1);

    // After the link was closed, too.
    open(session, sample(QStringLiteral("kind1.json")));
    QVERIFY(session.isLinkOpen());
    session.close();
    QVERIFY(!session.isLinkOpen());
    QVERIFY(session.isDeviceGone());
    QCOMPARE(session.protocol().readRecordCount(count), -1);
}

void TestMeterProtocol::reverseHexBytes_data()
{
    QTest::addColumn<QByteArray>("hex");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("warning");

    const QString odd = QStringLiteral("错误：十六进制字符串长度为奇数，无法解析！");
    const QString illegal = QStringLiteral("错误：十六进制字符串解析失败，含非法字符！");
    QTest::newRow("three bytes") << QByteArray("0a1b2c") << QByteArray("2C1B0A") << QString();
    QTest::newRow("probe number") << QByteArray("0F0000A0") << QByteArray("A000000F") << QString();
    QTest::newRow("one byte") << QByteArray("ff") << QByteArray("FF") << QString();
    QTest::newRow("odd length") << QByteArray("abc") << QByteArray() << odd;
    QTest::newRow("empty") << QByteArray() << QByteArray() << odd;
    QTest::newRow("no hex digit") << QByteArray("zz") << QByteArray() << illegal;
}

void TestMeterProtocol::reverseHexBytes()
{
    QFETCH(QByteArray, hex);
    QFETCH(QByteArray, expected);
    QFETCH(QString, warning);
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, warning.toUtf8().constData());
    QCOMPARE(MeterProtocol::reverseHexBytes(hex), expected);
}

QTEST_GUILESS_MAIN(TestMeterProtocol)
#include "tst_meterprotocol.moc"
