// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixedNotation.h"
#include "MeterKind.h"
#include "RecordDecoder.h"
#include "RecordRowTexts.h"
#include "SpectralValues.h"
#include "ValueMarkers.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <cstring>

namespace {

QByteArray wordBytes(float value)
{
    quint32 word;
    std::memcpy(&word, &value, sizeof word);
    QByteArray bytes(4, '\0');
    qToLittleEndian(word, bytes.data());
    return bytes;
}

// A record whose word k holds the float k + 0.3, so that every field shows where it came from.
QByteArray numberedRecord()
{
    QByteArray record;
    for (int k = 0; k < 49; ++k)
        record += wordBytes(float(k) + 0.3f);
    return record;
}

QByteArray recordOfWords(const QByteArray &word)
{
    QByteArray record;
    for (int k = 0; k < 49; ++k)
        record += word;
    return record;
}

QByteArray nameSlot(const QByteArray &bytes)
{
    QByteArray slot = bytes.left(16);
    slot.append(QByteArray(16 - slot.size(), '\0'));
    return slot;
}

} // namespace

class TestRecordDecoding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void markers_data();
    void markers();
    void markersInEveryColumn_data();
    void markersInEveryColumn();
    void fieldsInColumnOrder_data();
    void fieldsInColumnOrder();
    void unknownKind();
    void names_data();
    void names();
    void probeField_data();
    void probeField();
    void cellTexts_data();
    void cellTexts();
    void fixedNotationAsQtWritesIt_data();
    void fixedNotationAsQtWritesIt();
    void fixedNotationOfFloatsAsQtWritesIt();
    void neverReadsPastReceivedBytes();
    void spectralValues_data();
    void spectralValues();
};

void TestRecordDecoding::markers_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("languageFlag");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("no flicker zh") << QByteArray::fromHex("AB181B6E") << true << 0.0f << "无频闪";
    QTest::newRow("no flicker en") << QByteArray::fromHex("AB181B6E") << false << 0.0f << "No";
    QTest::newRow("invalid 1.1e28") << QByteArray::fromHex("F22B0E6E") << true << 0.0f << "----";
    QTest::newRow("invalid 1.3e28") << QByteArray::fromHex("6405286E") << false << 0.0f << "----";
    QTest::newRow("100") << QByteArray::fromHex("0000C842") << true << 100.0f << "";
    // One bit off, or the bytes in the other order, is a number like any other.
    QTest::newRow("near no flicker") << QByteArray::fromHex("AA181B6E") << true
                                     << qFromLittleEndian<float>(QByteArray::fromHex("AA181B6E").constData()) << "";
    QTest::newRow("reversed marker") << QByteArray::fromHex("6E1B18AB") << true
                                     << qFromLittleEndian<float>(QByteArray::fromHex("6E1B18AB").constData()) << "";
    QTest::newRow("negative") << wordBytes(-2.5f) << false << -2.5f << "";
}

void TestRecordDecoding::markers()
{
    QFETCH(QByteArray, stored);
    QFETCH(bool, languageFlag);
    QFETCH(float, value);
    QFETCH(QString, text);

    const RecordField field = ValueMarkers::decodeWord(reinterpret_cast<const uchar *>(stored.constData()));
    QCOMPARE(field.value, value);
    QCOMPARE(field.marker == ValueMarker::None, text.isEmpty());
    if (!text.isEmpty())
        QCOMPARE(RecordRowTexts::fieldText(field, 2, languageFlag), text);
}

void TestRecordDecoding::markersInEveryColumn_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<QString>("text");

    const QByteArray noFlicker = QByteArray::fromHex("AB181B6E");
    const QByteArray invalid = QByteArray::fromHex("6405286E");
    for (int kind = 1; kind <= 5; ++kind) {
        for (int mode = 0; mode <= 1; ++mode) {
            const QByteArray tag = QByteArray::number(kind) + "/" + QByteArray::number(mode);
            QTest::newRow(tag + " no flicker") << kind << mode << noFlicker << "No";
            QTest::newRow(tag + " invalid") << kind << mode << invalid << "----";
        }
    }
}

void TestRecordDecoding::markersInEveryColumn()
{
    QFETCH(int, uiIndex);
    QFETCH(int, mode);
    QFETCH(QByteArray, word);
    QFETCH(QString, text);

    const QMap<QString, QString> probes;
    const MeterKind *kind = MeterKind::find(uiIndex);
    QVERIFY(kind);
    const RecordDecoder decoder(*kind, mode, probes);
    DecodedRecord record;
    QVERIFY(decoder.decode(recordOfWords(word), QByteArray(16, 'n'), 0, record));
    QCOMPARE(qsizetype(record.fields.size()), kind->columns(mode).size());
    for (const RecordField &field : record.fields) {
        QCOMPARE(RecordRowTexts::fieldText(field, 3, false), text);
        QCOMPARE(field.value, 0.0f);
    }
}

void TestRecordDecoding::fieldsInColumnOrder_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("nameColumn");
    QTest::addColumn<QList<int>>("words");

    const QList<int> standard{0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14};
    const QList<int> ppfd{31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42};
    QTest::newRow("1 mode 0") << 1 << 0 << false << standard;
    QTest::newRow("1 mode 2") << 1 << 2 << false << standard;
    QTest::newRow("1 mode 1") << 1 << 1 << false << ppfd;
    QTest::newRow("2 mode 1") << 2 << 1 << false << QList<int>{0, 1, 46, 47, 4};
    QTest::newRow("3") << 3 << 0 << false << QList<int>{0, 1, 2, 3, 4, 6, 7, 10};
    QTest::newRow("4 mode 0") << 4 << 0 << true << standard;
    QTest::newRow("4 mode 1") << 4 << 1 << true << ppfd;
    QTest::newRow("5 mode 1") << 5 << 1 << false << QList<int>{0, 1, 2, 3, 4, 10, 13, 14};
    QTest::newRow("6 mode 1") << 6 << 1 << true << QList<int>{1, 2, 3, 4, 5, 6, 7};
}

void TestRecordDecoding::fieldsInColumnOrder()
{
    QFETCH(int, uiIndex);
    QFETCH(int, mode);
    QFETCH(bool, nameColumn);
    QFETCH(QList<int>, words);

    const MeterKind *kind = MeterKind::find(uiIndex);
    QVERIFY(kind);
    QCOMPARE(kind->nameColumn, nameColumn);

    const QMap<QString, QString> probes;
    const RecordDecoder decoder(*kind, mode, probes);
    DecodedRecord record;
    QVERIFY(decoder.decode(numberedRecord(), nameSlot("abc"), 0, record));
    QCOMPARE(record.name, nameColumn ? QStringLiteral("abc") : QString());

    QList<float> values;
    for (const RecordField &field : record.fields)
        values << field.value;
    QList<float> expected;
    if (uiIndex == 6)
        expected << 0.0f; // the probe field
    for (const int w : words)
        expected << float(w) + 0.3f;
    QCOMPARE(values, expected);
}

void TestRecordDecoding::unknownKind()
{
    QVERIFY(!MeterKind::find(0));
    QVERIFY(!MeterKind::find(7));
    QVERIFY(!MeterKind::find(-1));
}

void TestRecordDecoding::names_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<QString>("name");

    QTest::newRow("13 bytes of 16") << QByteArray("ABCDEFGHIJKLMNOP") << "ABCDEFGHIJKLM";
    QTest::newRow("13 bytes then zero") << nameSlot("Room 12 north") << "Room 12 north";
    QTest::newRow("first byte zero") << nameSlot(QByteArray("\0XYZ", 4)) << "";
    QTest::newRow("zero in the middle") << nameSlot(QByteArray("desk\0lamp", 9)) << "desk";
    QTest::newRow("utf-8") << nameSlot("灯具A") << "灯具A";
    // A slot cut inside a character drops that character.
    QTest::newRow("utf-8 cut after one byte of a character") << nameSlot("灯具灯具灯") << "灯具灯具";
    QTest::newRow("utf-8 cut after two bytes of a character") << nameSlot("ABCDEFGHIJK灯") << "ABCDEFGHIJK";
    // Names the meter keeps in GBK, GB18030's two-byte part: "会议室" is BB E1, D2 E9, CA D2.
    QTest::newRow("gbk") << nameSlot("\xBB\xE1\xD2\xE9\xCA\xD2") << "会议室";
    QTest::newRow("gbk after ascii") << nameSlot("Lab \xBB\xE1\xD2\xE9\xCA\xD2") << "Lab 会议室";
    QTest::newRow("gbk cut inside a character")
        << nameSlot("ABCDEFGH\xBB\xE1\xD2\xE9\xCA\xD2") << "ABCDEFGH会议";
    // GB18030's four-byte characters: U+1F600 is 94 39 FC 36.
    QTest::newRow("gb18030 four bytes") << nameSlot("ABC\x94\x39\xFC\x36") << "ABC\U0001F600";
    QTest::newRow("gb18030 cut inside four bytes") << nameSlot("ABCDEFGHIJ\x94\x39\xFC\x36") << "ABCDEFGHIJ";
}

void TestRecordDecoding::names()
{
    QFETCH(QByteArray, slot);
    QFETCH(QString, name);

    const QByteArray memory = nameSlot("first") + slot;
    QCOMPARE(RecordDecoder::recordName(memory, 1), name);
    QCOMPARE(RecordDecoder::recordName(memory, 0), QStringLiteral("first"));
    QCOMPARE(RecordDecoder::recordName(memory, 2), QString());
    QCOMPARE(RecordDecoder::recordName(memory.left(31), 1), QString());
}

void TestRecordDecoding::probeField_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("text");

    QTest::newRow("known") << QByteArray::fromHex("0F0000A0") << "A000000F"
                           << "UV-A probe";
    QTest::newRow("leading zeros") << QByteArray::fromHex("01000000") << "00000001"
                                   << "Silicon 1";
    QTest::newRow("unknown") << QByteArray::fromHex("12345678") << "78563412"
                             << "";
}

void TestRecordDecoding::probeField()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, number);
    QFETCH(QString, text);

    const QMap<QString, QString> probes{{"A000000F", "UV-A probe"}, {"00000001", "Silicon 1"}};
    QCOMPARE(RecordDecoder::probeNumberText(reinterpret_cast<const uchar *>(stored.constData())), number);

    // A marker in the power words of a probe record is a plain, very large number.
    QByteArray record = stored + recordOfWords(QByteArray::fromHex("AB181B6E")).mid(4);
    const RecordDecoder decoder(*MeterKind::find(6), 0, probes);
    DecodedRecord decoded;
    QVERIFY(decoder.decode(record, nameSlot("p"), 0, decoded));
    QCOMPARE(decoded.fields.size(), size_t(8));
    QCOMPARE(decoded.probeName, text);
    QCOMPARE(decoded.fields.at(0).marker, ValueMarker::Probe);
    QCOMPARE(RecordRowTexts::fieldText(decoded.fields.at(0), 1, true, decoded.probeName),
             text.isEmpty() ? QStringLiteral("0.0") : text);
    QCOMPARE(decoded.fields.at(1).marker, ValueMarker::None);
    QVERIFY(decoded.fields.at(1).value > 1e28f);
    QCOMPARE(probes.size(), 2);
}

void TestRecordDecoding::cellTexts_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("decimals");
    QTest::addColumn<bool>("added");
    QTest::addColumn<QStringList>("expected");

    // Word k holds k + 0.3; kind 2 shows w0, w1, w46, w47, w4.
    QTest::newRow("kind 2") << 2 << 0 << QList<int>{0, 1, 2, 3, 0} << true
                            << QStringList{"0", "1.3", "46.30", "47.300", "4"};
    QTest::newRow("decimals list too short") << 2 << 0 << QList<int>{0, 1, 2, 3} << false << QStringList{};
    QTest::newRow("longer decimals list")
        << 2 << 0 << QList<int>{1, 1, 1, 1, 1, 9} << true << QStringList{"0.3", "1.3", "46.3", "47.3", "4.3"};
    // Layout 1A needs 13 entries, 1B only 12.
    QTest::newRow("12 decimals, 1A") << 1 << 0 << QList<int>(12, 1) << false << QStringList{};
    QTest::newRow("12 decimals, 1B") << 1 << 1 << QList<int>(12, 0) << true
                                     << QStringList{"31", "32", "33", "34", "35", "36",
                                                    "37", "38", "39", "40", "41", "42"};
    // Nonsense decimal counts from a hand-edited catalog still give a plain number.
    QTest::newRow("negative decimals") << 2 << 0 << QList<int>{-3, 0, 0, 0, 0} << true
                                       << QStringList{"0", "1", "46", "47", "4"};
    QTest::newRow("kind 6, unknown probe") << 6 << 0 << QList<int>{2, 0, 0, 0, 0, 0, 0, 1} << true
                                           << QStringList{"nm", "0.00", "1", "2", "3", "4", "5", "6", "7.3"};
}

void TestRecordDecoding::cellTexts()
{
    QFETCH(int, uiIndex);
    QFETCH(int, mode);
    QFETCH(QList<int>, decimals);
    QFETCH(bool, added);
    QFETCH(QStringList, expected);

    const QMap<QString, QString> probes;
    const MeterKind &kind = *MeterKind::find(uiIndex);
    const RecordDecoder decoder(kind, mode, probes);
    DecodedRecord record;
    QVERIFY(decoder.decode(numberedRecord(), nameSlot("nm"), 0, record));
    QCOMPARE(RecordRowTexts::fits(kind, mode, record, decimals), added);
    if (added)
        QCOMPARE(RecordRowTexts::cells(kind, record, decimals, true), expected);
}

// Fixed notation written without Qt's formatting, for speed, must still be Qt's text to the digit.
void TestRecordDecoding::fixedNotationAsQtWritesIt_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::newRow("carry into the whole part") << 9.996 << 2;
    QTest::newRow("tie away from zero") << -2.5 << 0;
    QTest::newRow("negative rounding to zero") << -0.0004 << 3;
    QTest::newRow("negative zero") << -0.0 << 1;
    QTest::newRow("double just below a tie") << 1.005 << 2;
    QTest::newRow("beyond nine digits") << 123456789012.0 << 2;
    QTest::newRow("not a number") << qQNaN() << 2;
}

void TestRecordDecoding::fixedNotationAsQtWritesIt()
{
    QFETCH(double, value);
    QFETCH(int, decimals);
    QCOMPARE(FixedNotation::text(value, decimals), QString::number(value, 'f', decimals));
}

// Floats of every size and decimal count, a quarter of them at or next to a tie.
void TestRecordDecoding::fixedNotationOfFloatsAsQtWritesIt()
{
    QRandomGenerator random(27);
    for (int k = 0; k < 200000; ++k) {
        const int decimals = int(random.bounded(10));
        const double unit = std::pow(10.0, -decimals);
        auto value = float((random.generateDouble() - 0.3) * std::pow(10.0, random.bounded(14.0) - 6));
        if (k % 4 == 0)
            value = float((std::round(value / unit) + 0.5) * unit);
        if (FixedNotation::text(value, decimals) != QString::number(value, 'f', decimals))
            QFAIL(qPrintable(QStringLiteral("%1 with %2 decimals").arg(double(value), 0, 'g', 17).arg(decimals)));
    }
}

void TestRecordDecoding::neverReadsPastReceivedBytes()
{
    const QMap<QString, QString> probes;
    const RecordDecoder kind1(*MeterKind::find(1), 0, probes);
    const RecordDecoder kind4(*MeterKind::find(4), 0, probes);
    const QByteArray threeRecords = numberedRecord() + numberedRecord() + numberedRecord();
    const QByteArray twoNames = nameSlot("a") + nameSlot("b");

    QCOMPARE(kind1.availableRecords(threeRecords, QByteArray()), 3);
    QCOMPARE(kind1.availableRecords(threeRecords.left(3 * 196 - 1), QByteArray()), 2);
    QCOMPARE(kind4.availableRecords(threeRecords, twoNames), 2);
    QCOMPARE(kind4.availableRecords(threeRecords, twoNames + QByteArray(15, 'x')), 2);

    DecodedRecord record;
    record.name = "kept";
    QVERIFY(!kind1.decode(threeRecords.left(3 * 196 - 1), QByteArray(), 2, record));
    QVERIFY(!kind1.decode(threeRecords, QByteArray(), -1, record));
    QVERIFY(!kind4.decode(threeRecords, twoNames, 2, record));
    QCOMPARE(record.name, QStringLiteral("kept"));
    QVERIFY(kind4.decode(threeRecords, twoNames, 1, record));
    QCOMPARE(record.name, QStringLiteral("b"));

    SpectralValues::Values values{};
    QVERIFY(!SpectralValues::extract(threeRecords.left(195), 0, *MeterKind::find(1), 0, values));
}

void TestRecordDecoding::spectralValues_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("firstWord");

    QTest::newRow("1 ppfd") << 1 << 1 << 0;
    QTest::newRow("4 ppfd") << 4 << 1 << 0;
    QTest::newRow("1 standard") << 1 << 0 << 15;
    QTest::newRow("4 mode 2") << 4 << 2 << 15;
    QTest::newRow("2 mode 1") << 2 << 1 << 15;
    QTest::newRow("3 mode 1") << 3 << 1 << 15;
    QTest::newRow("5") << 5 << 0 << 15;
}

void TestRecordDecoding::spectralValues()
{
    QFETCH(int, uiIndex);
    QFETCH(int, mode);
    QFETCH(int, firstWord);

    const QByteArray memory = QByteArray(196, '\0') + numberedRecord();
    SpectralValues::Values values{};
    const MeterKind &kind = *MeterKind::find(uiIndex);
    QVERIFY(SpectralValues::extract(memory, 1, kind, mode, values));
    for (size_t i = 0; i < values.size(); ++i)
        QCOMPARE(values[i], float(firstWord + int(i)) + 0.3f);
    QVERIFY(!SpectralValues::extract(memory, 2, kind, mode, values));
}

QTEST_GUILESS_MAIN(TestRecordDecoding)
#include "tst_recorddecoding.moc"
