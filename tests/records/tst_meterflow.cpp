// SPDX-License-Identifier: GPL-3.0-or-later
#include "DownloadProgress.h"
#include "MeterFlow.h"
#include "MeterImage.h"
#include "MeterSession.h"
#include "VirtualMeter.h"
#include "VirtualMeterTransport.h"

#include <QtTest>

namespace {

MeterImage sample(const QString &name)
{
    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/") + name + QStringLiteral(".json"), image,
                              error))
        qFatal("sample %s: %s", qPrintable(name), qPrintable(error));
    return image;
}

// Writes down what the flow reports, in order.
class StepLog : public DownloadProgress
{
public:
    explicit StepLog(QStringList &steps) : steps(steps) {}
    void start(int chunks) override { steps << QStringLiteral("start %1").arg(chunks); }
    void chunkRead(int counter) override { steps << QString::number(counter); }

private:
    QStringList &steps;
};

} // namespace

// The download sequence without any window, as the command line runs it.
class TestMeterFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void purposes_data();
    void purposes();
    void keyInfoTexts_data();
    void keyInfoTexts();
};

void TestMeterFlow::purposes_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<int>("purpose");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("recordBytes");
    QTest::addColumn<int>("nameBytes");
    QTest::addColumn<QStringList>("steps");

    const int records = MeterFlow::Records;
    const int spectra = MeterFlow::Spectra;
    QTest::newRow("kind 1 records") << "kind1" << 1 << records << int(MeterFlow::Done) << 6 * 196 << 0
                                    << QStringList{"slots", "start 5", "0", "1", "2", "3", "4"};
    QTest::newRow("kind 4 spectra, with names") << "kind4" << 4 << spectra << int(MeterFlow::Done) << 6 * 196 << 6 * 16
                                                << QStringList{"slots", "start 6", "0", "1", "2", "3", "4", "5"};
    QTest::newRow("kind 6 records, with names") << "kind6" << 6 << records << int(MeterFlow::Done) << 5 * 196 << 5 * 16
                                                << QStringList{"slots", "start 5", "0", "1", "2", "3", "4"};
    // Probe meters have no spectra: the count is read, nothing else.
    QTest::newRow("kind 6 spectra") << "kind6" << 6 << spectra << int(MeterFlow::UnsupportedKind) << 0 << 0
                                    << QStringList{"slots"};
    QTest::newRow("kind 7 records") << "kind2" << 7 << records << int(MeterFlow::UnsupportedKind) << 0 << 0
                                    << QStringList{"slots"};
    QTest::newRow("kind 0 spectra") << "kind2" << 0 << spectra << int(MeterFlow::UnsupportedKind) << 0 << 0
                                    << QStringList{"slots"};
}

void TestMeterFlow::purposes()
{
    QFETCH(QString, image);
    QFETCH(int, uiIndex);
    QFETCH(int, purpose);
    QFETCH(int, result);
    QFETCH(int, recordBytes);
    QFETCH(int, nameBytes);
    QFETCH(QStringList, steps);

    MeterSession session;
    auto transport = std::make_unique<VirtualMeterTransport>(sample(image));
    const std::shared_ptr<VirtualMeter> meter = transport->meter();
    QVERIFY(session.openUsb(std::move(transport)));

    QStringList seen;
    StepLog log(seen);
    MeterState state{uiIndex, 7, {1, 2, 3}};
    MeterFlow flow(session.protocol(), state);
    MeterFlow::Download download;
    QCOMPARE(int(flow.download(MeterFlow::Purpose(purpose), download, &log, [&] { seen << QStringLiteral("slots"); })),
             result);

    QCOMPARE(seen, steps);
    QCOMPARE(state.unitSlots.size(), 60);
    // Only kinds 1 and 4 read the mode.
    QCOMPARE(state.mode, (uiIndex == 1 || uiIndex == 4) ? int(meter->image().mode) : 7);
    QCOMPARE(download.records.size(), recordBytes);
    QCOMPARE(download.names.size(), nameBytes);
    QCOMPARE(download.records, meter->image().recordMemory.left(recordBytes));
    QCOMPARE(download.names, meter->image().nameMemory.left(nameBytes));
    QCOMPARE(MeterFlow::message(MeterFlow::Result(result)).has_value(), false);
}

void TestMeterFlow::keyInfoTexts_data()
{
    QTest::addColumn<quint32>("serialNo");
    QTest::addColumn<int>("firmware");
    QTest::addColumn<QString>("serialText");
    QTest::addColumn<QString>("firmwareText");

    QTest::newRow("plain") << 12345u << 102 << "12345"
                           << "1.02";
    QTest::newRow("whole version") << 0u << 1000 << "0"
                                   << "10.00";
    QTest::newRow("hundredths") << 7u << 5 << "7"
                                << "0.05";
    // The serial number is shown as a signed 32-bit number.
    QTest::newRow("top bit set") << 0xFFFFFFFFu << 65535 << "-1"
                                 << "655.35";
    QTest::newRow("largest positive") << 0x7FFFFFFFu << 0 << "2147483647"
                                      << "0.00";
}

void TestMeterFlow::keyInfoTexts()
{
    QFETCH(quint32, serialNo);
    QFETCH(int, firmware);
    QFETCH(QString, serialText);
    QFETCH(QString, firmwareText);

    KeyInfo info;
    info.serialNo = serialNo;
    info.firmwareVersion = quint16(firmware);
    QCOMPARE(MeterFlow::serialText(info), serialText);
    QCOMPARE(MeterFlow::firmwareText(info), firmwareText);
}

QTEST_GUILESS_MAIN(TestMeterFlow)
#include "tst_meterflow.moc"
