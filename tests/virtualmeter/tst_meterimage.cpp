// SPDX-License-Identifier: GPL-3.0-or-later
// Loading meter images: the samples, and every kind of bad image with its key named.

#include "TestMeters.h"

#include <QDir>
#include <QtTest>

#include <sys/stat.h>

using namespace TestMeters;

namespace {

const char *unitSlotsJson()
{
    return "[5,5,5,5,18,0,15,16,0,0,0,19,20,1,3,24,24,24,24,24,24,24,24,24,24,24,24,24,24,24,24,"
           "24,24,24,24,24,24,24,24,24,24,24,24,24,24,24,0,0,22,22,22,22,22,22,22,22,1,1,0,0]";
}

// A minimal valid image with one extra member (JSON text "key": value) added.
QByteArray imageWith(const QByteArray &member)
{
    QByteArray json = QByteArray("{\"modelCode\": 1001, \"unitSlots\": ") + unitSlotsJson();
    if (!member.isEmpty())
        json += ", " + member;
    return json + "}";
}

QByteArray record(const QByteArray &firstWordHex)
{
    return firstWordHex + QByteArray(392 - firstWordHex.size(), '0');
}

} // namespace

class TestMeterImage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void samplesLoad_data();
    void samplesLoad();
    void defaults();
    void documentedExample();
    void fieldsRead();
    void badImages_data();
    void badImages();
    void imageFiles_data();
    void imageFiles();
};

void TestMeterImage::samplesLoad_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<quint32>("modelCode");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("names");

    QTest::newRow("kind 1") << "kind1.json" << 1001u << 0 << false;
    QTest::newRow("kind 1 PPFD") << "kind1-ppfd.json" << 1001u << 1 << false;
    QTest::newRow("kind 2") << "kind2.json" << 2001u << 0 << false;
    QTest::newRow("kind 3") << "kind3.json" << 3001u << 0 << false;
    QTest::newRow("kind 4") << "kind4.json" << 4001u << 0 << true;
    QTest::newRow("kind 4 PPFD") << "kind4-ppfd.json" << 4001u << 1 << true;
    QTest::newRow("kind 5") << "kind5.json" << 5001u << 0 << false;
    QTest::newRow("kind 6") << "kind6.json" << 6001u << 0 << true;
}

void TestMeterImage::samplesLoad()
{
    QFETCH(QString, file);
    QFETCH(quint32, modelCode);
    QFETCH(int, mode);
    QFETCH(bool, names);

    MeterImage image;
    QString error;
    QVERIFY2(MeterImage::fromFile(samplePath(file), image, error), qPrintable(error));
    QCOMPARE(image.modelCode, modelCode);
    QCOMPARE(int(image.mode), mode);
    QCOMPARE(image.unitSlots.size(), 60);
    QVERIFY(image.firmwareVersion >= 100);
    QVERIFY(image.recordCount > 0);
    QCOMPARE(image.recordMemory.size(), qsizetype(image.recordCount) * 196);
    QCOMPARE(!image.nameMemory.isEmpty(), names);
    QVERIFY(image.faults.isEmpty());
}

void TestMeterImage::defaults()
{
    MeterImage image;
    QString error;
    QVERIFY2(MeterImage::fromJson(imageWith({}), image, error), qPrintable(error));
    QCOMPARE(image.serialNo, 1u);
    QCOMPARE(image.firmwareVersion, quint16(100));
    QCOMPARE(image.date, QDate(2024, 1, 1));
    QCOMPARE(image.marker, quint8(0xA5));
    QCOMPARE(image.extraWord, quint16(0));
    QCOMPARE(image.mode, quint16(0));
    QCOMPARE(image.recordCount, 0u);
    QVERIFY(image.recordMemory.isEmpty());
    QVERIFY(image.nameMemory.isEmpty());
}

void TestMeterImage::documentedExample()
{
    const QByteArray json = QByteArray("{\"modelCode\": 1001, \"serialNo\": 12345, \"firmwareVersion\": 102, "
                                       "\"date\": \"2023-12-31\", \"unitSlots\": ")
                            + unitSlotsJson() + ", \"records\": [\"" + record("0000C842") + "\"]}";
    MeterImage image;
    QString error;
    QVERIFY2(MeterImage::fromJson(json, image, error), qPrintable(error));
    QCOMPARE(image.recordCount, 1u);
    QCOMPARE(image.recordMemory.left(4), hex("0000C842"));
    VirtualMeter meter(image);
    QCOMPARE(meter.memoryByte(0x80000003u), quint8(0x42));
    QCOMPARE(meter.memoryByte(0x800000C4u), quint8(0)); // past the last record
    QCOMPARE(meter.serialString(), QStringLiteral("12345"));
}

void TestMeterImage::fieldsRead()
{
    const QByteArray json = QByteArray("{\"modelCode\": 4294967295, \"unitSlots\": ") + unitSlotsJson()
                            + ", \"serialNo\": 0, \"marker\": 255, \"extraWord\": 65535, \"mode\": 1,"
                              " \"records\": [\""
                            + record("ab") + "\", \"" + record("CD")
                            + "\"],"
                              " \"names\": [\"4F6666696365206465736B20310000FF\"], \"recordCount\": 7,"
                              " \"faults\": {\"noReply\": [2, 5], \"keyInfoError\": true, \"sharedDevice\": true}}";
    MeterImage image;
    QString error;
    QVERIFY2(MeterImage::fromJson(json, image, error), qPrintable(error));
    QCOMPARE(image.modelCode, 4294967295u);
    QCOMPARE(image.serialNo, 0u);
    QCOMPARE(image.marker, quint8(255));
    QCOMPARE(image.recordCount, 7u); // the reported count, not the records stored
    QCOMPARE(image.recordMemory.size(), 392);
    QCOMPARE(quint8(image.recordMemory.at(196)), quint8(0xCD));
    QCOMPARE(image.nameMemory, hex("4F6666696365206465736B20310000FF"));
    QCOMPARE(image.faults.noReply, (QList<int>{2, 5}));
    QVERIFY(image.faults.keyInfoError);
    QVERIFY(image.faults.sharedDevice);
}

void TestMeterImage::badImages_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error");

    QTest::newRow("not JSON") << QByteArray("{\"modelCode\": ") << "not valid JSON";
    QTest::newRow("not an object") << QByteArray("[1, 2]") << "the image must be a JSON object";
    QTest::newRow("unknown key") << imageWith("\"modelcode\": 1") << "modelcode: unknown key";
    QTest::newRow("modelCode missing") << QByteArray("{\"unitSlots\": []}") << "modelCode: required key missing";
    QTest::newRow("unitSlots missing") << QByteArray("{\"modelCode\": 1}") << "unitSlots: required key missing";
    QTest::newRow("modelCode as text") << QByteArray("{\"modelCode\": \"1001\", \"unitSlots\": []}")
                                       << "modelCode: expected an integer";
    QTest::newRow("modelCode too large") << QByteArray("{\"modelCode\": 4294967296, \"unitSlots\": []}")
                                         << "modelCode: expected an integer from 0 to 4294967295";
    QTest::newRow("modelCode fraction") << QByteArray("{\"modelCode\": 1.5, \"unitSlots\": []}")
                                        << "modelCode: expected an integer";
    QTest::newRow("59 unit slots") << QByteArray("{\"modelCode\": 1, \"unitSlots\": [" + QByteArray("0,").repeated(58)
                                                 + "0]}")
                                   << "unitSlots: expected exactly 60 entries, found 59";
    QTest::newRow("unit slot out of range")
        << QByteArray("{\"modelCode\": 1, \"unitSlots\": [" + QByteArray("0,").repeated(10) + "65536"
                      + QByteArray(",0").repeated(49) + "]}")
        << "unitSlots[10]: expected an integer from 0 to 65535";
    QTest::newRow("negative serial") << imageWith("\"serialNo\": -1") << "serialNo: expected an integer";
    QTest::newRow("firmware too large") << imageWith("\"firmwareVersion\": 65536") << "firmwareVersion:";
    QTest::newRow("marker too large") << imageWith("\"marker\": 256") << "marker: expected an integer from 0 to 255";
    QTest::newRow("mode as bool") << imageWith("\"mode\": true") << "mode: expected an integer";
    QTest::newRow("extraWord too large") << imageWith("\"extraWord\": 70000") << "extraWord:";
    QTest::newRow("date format") << imageWith("\"date\": \"2024-1-5\"") << "date: expected a calendar date";
    QTest::newRow("date impossible") << imageWith("\"date\": \"2023-02-30\"") << "date: expected a calendar date";
    QTest::newRow("date as number") << imageWith("\"date\": 20240101") << "date:";
    QTest::newRow("records not an array") << imageWith("\"records\": \"00\"") << "records: expected an array";
    QTest::newRow("record too short") << imageWith("\"records\": [\"" + QByteArray(390, '0') + "\"]")
                                      << "records[0]: expected 392 hexadecimal digits, found 390";
    QTest::newRow("record bad hex") << imageWith("\"records\": [\"" + record("") + "\", \"00g0" + QByteArray(388, '0')
                                                 + "\"]")
                                    << "records[1]: not a hexadecimal digit at position 2";
    QTest::newRow("record as number") << imageWith("\"records\": [5]") << "records[0]: expected a string";
    QTest::newRow("name too long") << imageWith("\"names\": [\"" + QByteArray(34, 'A') + "\"]")
                                   << "names[0]: expected 32 hexadecimal digits, found 34";
    QTest::newRow("recordCount negative") << imageWith("\"recordCount\": -2") << "recordCount: expected an integer";
    QTest::newRow("faults not an object") << imageWith("\"faults\": []") << "faults: expected an object";
    QTest::newRow("unknown fault") << imageWith("\"faults\": {\"noreply\": [1]}") << "faults.noreply: unknown key";
    QTest::newRow("fault request zero") << imageWith("\"faults\": {\"noReply\": [0]}")
                                        << "faults.noReply[0]: expected an integer from 1";
    QTest::newRow("fault flag as number")
        << imageWith("\"faults\": {\"keyInfoError\": 1}") << "faults.keyInfoError: expected true or false";
    QTest::newRow("shared device as text")
        << imageWith("\"faults\": {\"sharedDevice\": \"yes\"}") << "faults.sharedDevice: expected true or false";
    QTest::newRow("split payload too large")
        << imageWith("\"faults\": {\"splitReply\": {\"requests\": [1], \"payloadPerReport\": 63}}")
        << "faults.splitReply.payloadPerReport: expected an integer from 1 to 62";
    QTest::newRow("stray bytes odd") << imageWith(
        "\"faults\": {\"strayBytes\": {\"requests\": [1], \"bytes\": \"001\"}}")
                                     << "faults.strayBytes.bytes:";
    QTest::newRow("stray without requests") << imageWith("\"faults\": {\"strayBytes\": {\"bytes\": \"00\"}}")
                                            << "faults.strayBytes.requests: required key missing";
    QTest::newRow("late reply extra key")
        << imageWith("\"faults\": {\"lateReply\": {\"requests\": [1], \"delayMs\": 5, \"after\": 1}}")
        << "faults.lateReply.after: unknown key";
    QTest::newRow("foreign report with our ID")
        << imageWith("\"faults\": {\"foreignReport\": {\"requests\": [1], \"reportId\": 63}}")
        << "faults.foreignReport.reportId:";
    QTest::newRow("unplug negative") << imageWith("\"faults\": {\"unplugAfterReports\": -1}")
                                     << "faults.unplugAfterReports: expected an integer";
    // An echoed key is cut to 64 characters and kept on one line.
    const QByteArray longKey = "colour" + QByteArray(100000, 'x');
    const QString longKeyShown = QString::fromLatin1(longKey.left(64)) + QChar(0x2026);
    QTest::newRow("long unknown key") << imageWith('"' + longKey + "\": 1") << longKeyShown + ": unknown key";
    QTest::newRow("long unknown fault") << imageWith("\"faults\": {\"" + longKey + "\": 1}")
                                        << "faults." + longKeyShown + ": unknown key";
    QTest::newRow("control characters in a key") << imageWith("\"a\\u001b[2Jb\\nc\": 1") << "a?[2Jb?c: unknown key";
}

void TestMeterImage::badImages()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    MeterImage image;
    QString message;
    QVERIFY(!MeterImage::fromJson(json, image, message));
    QVERIFY2(message.startsWith(error), qPrintable(QStringLiteral("got \"%1\", expected \"%2\"").arg(message, error)));
}

void TestMeterImage::imageFiles_data()
{
    QTest::addColumn<qint64>("size");   // -1: a directory, 0: a FIFO, else an image padded with spaces
    QTest::addColumn<QString>("error"); // after "<path>: "; empty when the image loads
    QTest::newRow("directory") << -1ll << "not a regular file";
    QTest::newRow("FIFO") << 0ll << "not a regular file";
    QTest::newRow("64 MiB") << MeterImage::MaxFileBytes << QString();
    QTest::newRow("64 MiB and one byte") << MeterImage::MaxFileBytes + 1
                                         << "larger than 64 MiB, the most an image may hold";
}

void TestMeterImage::imageFiles()
{
    QFETCH(qint64, size);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("image")));
    QVERIFY(size < 0    ? QDir().mkdir(file.fileName())
            : size == 0 ? ::mkfifo(QFile::encodeName(file.fileName()).constData(), 0600) == 0
                        : file.open(QIODevice::WriteOnly) && file.write(imageWith({}).leftJustified(size)) == size);
    file.close();
    MeterImage image;
    QString message;
    QCOMPARE(MeterImage::fromFile(file.fileName(), image, message), error.isEmpty());
    QCOMPARE(message, error.isEmpty() ? QString() : file.fileName() + QStringLiteral(": ") + error);
}

QTEST_GUILESS_MAIN(TestMeterImage)
#include "tst_meterimage.moc"
