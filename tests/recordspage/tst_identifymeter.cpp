// SPDX-License-Identifier: GPL-3.0-or-later
#include "PageFixture.h"

#include "RecordsTableModel.h"

#include <QPushButton>
#include <QtTest>

class TestIdentifyMeter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyKind_data();
    void everyKind();
    void catalogRules_data();
    void catalogRules();
    void spectralButtonStaysHidden();
    void closedLinkDoesNothing();
};

void TestIdentifyMeter::everyKind_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("firmware");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("firstHeader");

    // Kinds 1 and 4 also read the mode: three requests instead of two.
    QTest::newRow("kind 1") << "kind1"
                            << "10010001"
                            << "1.02" << 1 << 0 << 3 << 14 << "照度\\n(Lux)";
    QTest::newRow("kind 1 ppfd") << "kind1-ppfd"
                                 << "10010002"
                                 << "1.02" << 1 << 1 << 3 << 13 << "PPFD\\n(μmol/㎡/s)";
    QTest::newRow("kind 2") << "kind2"
                            << "20010001"
                            << "1.01" << 2 << 0 << 2 << 6 << "照度\\n(Lux)";
    QTest::newRow("kind 3") << "kind3"
                            << "30010001"
                            << "1.00" << 3 << 0 << 2 << 9 << "亮度\\n(cd/㎡)";
    QTest::newRow("kind 4") << "kind4"
                            << "40010001"
                            << "1.05" << 4 << 0 << 3 << 15 << "名称";
    QTest::newRow("kind 4 ppfd") << "kind4-ppfd"
                                 << "40010002"
                                 << "1.05" << 4 << 1 << 3 << 14 << "名称";
    QTest::newRow("kind 5") << "kind5"
                            << "50010001"
                            << "1.03" << 5 << 0 << 2 << 9 << "照度\\n(Lux)";
    QTest::newRow("kind 6") << "kind6"
                            << "60010001"
                            << "1.10" << 6 << 0 << 2 << 10 << "名称";
}

void TestIdentifyMeter::everyKind()
{
    QFETCH(QString, image);
    QFETCH(QString, serial);
    QFETCH(QString, firmware);
    QFETCH(int, kind);
    QFETCH(int, mode);
    QFETCH(int, requests);
    QFETCH(int, columns);
    QFETCH(QString, firstHeader);

    PageFixture f;
    QVERIFY(f.plugIn(PageFixture::sample(image)));
    f.page.identifyMeter();

    QCOMPARE(f.dialogs.shown().size(), 0);
    QCOMPARE(f.lineText("lineEdit_serialNo"), serial);
    QCOMPARE(f.lineText("lineEdit_firmwareVersion"), firmware);
    QCOMPARE(f.page.meterKind(), kind);
    QCOMPARE(f.page.meterMode(), mode);
    QCOMPARE(f.page.unitSlotList().size(), 60);
    QCOMPARE(f.requestsReceived(), requests);
    QCOMPARE(f.model().columnCount(), columns);
    QCOMPARE(f.headers().first(), firstHeader);
    QCOMPARE(f.headers().last(), QStringLiteral("操作"));
    QCOMPARE(f.model().rowCount(), 0);
    QCOMPARE(f.button("pushButton_spectralData")->isHidden(), kind == 6);
    QCOMPARE(f.page.probes().isEmpty(), kind != 6);
}

void TestIdentifyMeter::catalogRules_data()
{
    QTest::addColumn<QByteArray>("meterno");
    QTest::addColumn<quint32>("modelCode");
    QTest::addColumn<int>("firmwareVersion");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("requests");

    const QByteArray twoRows = "[Device1]\nMeterNo=6001\nVersion=100\nUIIndex=5\n"
                               "[Device2]\nMeterNo=6001\nVersion=200\nUIIndex=6\n";
    // The first row with the model code decides; the second's kind and version play no part.
    QTest::newRow("first of two rows") << twoRows << 6001u << 110 << "" << 5 << 2;
    QTest::newRow("first of two rows, too old") << QByteArray("[Device1]\nMeterNo=6001\nVersion=111\nUIIndex=5\n"
                                                              "[Device2]\nMeterNo=6001\nVersion=100\nUIIndex=6\n")
                                                << 6001u << 110 << "仪器版本过低!" << 5 << 1;
    // The catalog's version is the lowest one accepted.
    QTest::newRow("version equal to the catalog's")
        << QByteArray("[Device1]\nMeterNo=6001\nVersion=110\nUIIndex=6\n") << 6001u << 110 << "" << 6 << 2;
    // Without any catalog row there is no check: the kind stays 1, so the mode is read.
    QTest::newRow("no catalog") << QByteArray() << 6001u << 110 << "" << 1 << 3;
    QTest::newRow("empty catalog") << QByteArray("") << 4242u << 1 << "" << 1 << 3;
    // A model code that is not a number only matches a meter reporting 0.
    QTest::newRow("text model code, meter 0")
        << QByteArray("[Device1]\nMeterNo=abc\nVersion=100\nUIIndex=3\n") << 0u << 110 << "" << 3 << 2;
    QTest::newRow("text model code, meter 6001") << QByteArray("[Device1]\nMeterNo=abc\nVersion=100\nUIIndex=3\n")
                                                 << 6001u << 110 << "仪器与软件不匹配!" << 1 << 1;
    // The serial number and the model code are compared as signed 32-bit numbers.
    QTest::newRow("model code with top bit")
        << QByteArray("[Device1]\nMeterNo=-1\nVersion=100\nUIIndex=2\n") << 0xFFFFFFFFu << 110 << "" << 2 << 2;
    QTest::newRow("uiIndex 7") << QByteArray("[Device1]\nMeterNo=6001\nVersion=100\nUIIndex=7\n") << 6001u << 110 << ""
                               << 7 << 2;
}

void TestIdentifyMeter::catalogRules()
{
    QFETCH(QByteArray, meterno);
    QFETCH(quint32, modelCode);
    QFETCH(int, firmwareVersion);
    QFETCH(QString, message);
    QFETCH(int, kind);
    QFETCH(int, requests);

    QTemporaryDir dir;
    PageFixture f(PageFixture::catalogDirectory(dir, meterno));
    MeterImage meter = PageFixture::sample(QStringLiteral("kind6"));
    meter.modelCode = modelCode;
    meter.firmwareVersion = quint16(firmwareVersion);
    QVERIFY(f.plugIn(meter));
    f.page.identifyMeter();

    QCOMPARE(f.dialogs.informationTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(f.page.meterKind(), kind);
    QCOMPARE(f.requestsReceived(), requests);
}

void TestIdentifyMeter::spectralButtonStaysHidden()
{
    PageFixture f;
    QVERIFY(f.plugIn(PageFixture::sample(QStringLiteral("kind1"))));
    f.page.identifyMeter();
    QVERIFY(!f.button("pushButton_spectralData")->isHidden());

    f.unplug();
    QVERIFY(f.plugIn(PageFixture::sample(QStringLiteral("kind6"))));
    f.page.identifyMeter();
    QVERIFY(f.button("pushButton_spectralData")->isHidden());
    QCOMPARE(f.page.probes().value(QStringLiteral("A000000F")), QStringLiteral("UV-A 365"));

    f.unplug();
    QVERIFY(f.lineText("lineEdit_serialNo").isEmpty());
    QVERIFY(f.plugIn(PageFixture::sample(QStringLiteral("kind1"))));
    f.page.identifyMeter();
    QCOMPARE(f.page.meterKind(), 1);
    QCOMPARE(f.lineText("lineEdit_serialNo"), QStringLiteral("10010001"));
    QVERIFY(f.button("pushButton_spectralData")->isHidden());
    QCOMPARE(f.dialogs.shown().size(), 0);
}

void TestIdentifyMeter::closedLinkDoesNothing()
{
    PageFixture f;
    f.page.identifyMeter();
    f.page.on_pushButton_readRecords_clicked();
    QCOMPARE(f.dialogs.shown().size(), 0);
    QCOMPARE(f.model().columnCount(), 0);
    QVERIFY(f.lineText("lineEdit_serialNo").isEmpty());

    // A meter that was plugged in and has gone: nothing is sent any more.
    QVERIFY(f.plugIn(PageFixture::sample(QStringLiteral("kind2"))));
    f.unplug();
    f.page.identifyMeter();
    QCOMPARE(f.requestsReceived(), 0);
    QCOMPARE(f.dialogs.shown().size(), 0);
}

QTEST_MAIN(TestIdentifyMeter)
#include "tst_identifymeter.moc"
