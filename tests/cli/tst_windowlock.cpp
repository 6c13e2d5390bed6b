// The window's side of the meter lock: a meter that the command line holds is refused with one
// message, and opened at the next device event once the command line has let it go.

#include "DeviceEvents.h"
#include "FirstPage.h"
#include "MainWindow.h"
#include "MeterImage.h"
#include "MeterLock.h"
#include "ScriptedUserDialogs.h"
#include "VirtualMeter.h"
#include "VirtualMeterTransport.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

namespace {

// Device events fed by the test.
class TestDeviceEvents : public DeviceEvents
{
public:
    using DeviceEvents::DeviceEvents;
    int start() override { return 0; }
    void arrive() { Q_EMIT deviceEvent(Arrival); }
};

} // namespace

class TestWindowLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanupTestCase() { MainWindow::destroyInstance(); }
    void meterHeldByCommandLineIsRefusedOnce();
};

void TestWindowLock::meterHeldByCommandLineIsRefusedOnce()
{
    MeterImage image;
    QString error;
    QVERIFY2(MeterImage::fromFile(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/kind1.json"), image, error),
             qPrintable(error));
    const auto meter = std::make_shared<VirtualMeter>(image);

    // The command line holds the meter when the window starts.
    MeterLock commandLine(0x2047, 0x0301, QStringLiteral("10010001"));
    QCOMPARE(commandLine.tryLock(), MeterLock::Locked);

    ScriptedUserDialogs dialogs;
    MainWindow *window = MainWindow::instance();
    auto events = std::make_unique<TestDeviceEvents>();
    TestDeviceEvents *source = events.get();
    window->setDeviceEvents(std::move(events));
    window->setTransportFactory([meter] { return std::make_unique<VirtualMeterTransport>(meter); });
    window->setUserDialogs(dialogs);

    const QStringList refusal{QStringLiteral("仪器正被其他程序使用，请先关闭该程序!")};
    QTRY_COMPARE(dialogs.informationTexts(), refusal);
    QCOMPARE(dialogs.shown().first().title, QStringLiteral("提示"));
    QVERIFY(!window->isLinkOpen());
    QCOMPARE(meter->requestsReceived(), 0);

    // Plugging in notifies several device classes; each retry is refused without a new box.
    source->arrive();
    source->arrive();
    QCOMPARE(dialogs.informationTexts(), refusal);
    QVERIFY(!window->isLinkOpen());
    QCOMPARE(meter->requestsReceived(), 0);

    // The command line is done: the next device event opens and identifies the meter.
    commandLine.unlock();
    source->arrive();
    QVERIFY(window->isLinkOpen());
    QCOMPARE(window->recordsPage()->findChild<QLineEdit *>(QStringLiteral("lineEdit_serialNo"))->text(),
             QStringLiteral("10010001"));
    QCOMPARE(dialogs.informationTexts(), refusal);

    // While the window holds the meter, the command line is the one refused.
    MeterLock again(0x2047, 0x0301, QStringLiteral("10010001"));
    QCOMPARE(again.tryLock(), MeterLock::HeldElsewhere);
    QCOMPARE(again.holderPid(), QCoreApplication::applicationPid());
}

QTEST_MAIN(TestWindowLock)
#include "tst_windowlock.moc"
