// SPDX-License-Identifier: GPL-3.0-or-later
// The window's side of the meter lock: a meter that the command line holds is refused with one
// message and tried again every retry interval: opened once the command line lets it go, no
// longer tried once it is unplugged.

#include "DeviceEvents.h"
#include "FirstPage.h"
#include "LumivaneResources.h"
#include "MainWindow.h"
#include "MeterImage.h"
#include "MeterLock.h"
#include "ScriptedUserDialogs.h"
#include "VirtualMeter.h"
#include "VirtualMeterTransport.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Device events fed by the test.
class TestDeviceEvents : public DeviceEvents
{
public:
    using DeviceEvents::DeviceEvents;
    int start() override { return 0; }
    void arrive() { Q_EMIT deviceEvent(Arrival); }
    void remove() { Q_EMIT deviceEvent(RemoveComplete); }
};

// Every debug line, to count what the link handling logged.
QStringList debugLog;
QtMessageHandler nextHandler = nullptr;
void recordDebug(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg)
        debugLog << message;
    nextHandler(type, context, message);
}

const QString openSuccess = QStringLiteral("hidDevice Open success!\n");
constexpr int retryMs = 50;

} // namespace

class TestWindowLock : public QObject
{
    Q_OBJECT

    enum Ending {
        Released,
        Removed,
        Vanished
    };

private Q_SLOTS:
    void initTestCase();
    void cleanup() { MainWindow::destroyInstance(); }
    void refusedMeterIsTriedAgain_data();
    void refusedMeterIsTriedAgain();

private:
    QTemporaryDir runtime; // the lock directory
};

void TestWindowLock::initTestCase()
{
    QVERIFY(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    nextHandler = qInstallMessageHandler(recordDebug);
}

void TestWindowLock::refusedMeterIsTriedAgain_data()
{
    QTest::addColumn<int>("ending");
    QTest::addColumn<int>("tries"); // open attempts after the ending
    QTest::newRow("the command line lets go: the next retry opens") << int(Released) << 1;
    QTest::newRow("unplugged: the removal event ends the retries") << int(Removed) << 0;
    QTest::newRow("unplugged without an event: the next retry ends them") << int(Vanished) << 1;
}

void TestWindowLock::refusedMeterIsTriedAgain()
{
    QFETCH(int, ending);
    QFETCH(int, tries);
    MeterImage image;
    QString error;
    QVERIFY2(MeterImage::fromFile(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/kind1.json"), image, error),
             qPrintable(error));
    image.faults.sharedDevice = true; // locked like a USB meter
    const auto meter = std::make_shared<VirtualMeter>(image);

    // The command line holds the meter when the window starts.
    MeterLock commandLine(0x2047, 0x0301, QStringLiteral("10010001"));
    QCOMPARE(commandLine.tryLock(), MeterLock::Locked);

    ScriptedUserDialogs dialogs;
    MainWindow *window = MainWindow::instance();
    auto events = std::make_unique<TestDeviceEvents>();
    TestDeviceEvents *source = events.get();
    window->setDeviceEvents(std::move(events));
    int transports = 0;
    window->setTransportFactory([meter, &transports] {
        ++transports;
        return std::make_unique<VirtualMeterTransport>(meter);
    });
    window->setUserDialogs(dialogs);
    window->setOpenRetryInterval(retryMs);
    debugLog.clear();

    const QStringList refusal{QStringLiteral("仪器正被其他程序使用，请先关闭该程序!")};
    QTRY_COMPARE(dialogs.informationTexts(), refusal);
    QCOMPARE(dialogs.shown().first().title, QStringLiteral("提示"));

    // Plugging in notifies several device classes, and the retries go on: each is refused
    // without a new box, before anything is sent, and without claiming the link.
    source->arrive();
    source->arrive();
    QTRY_VERIFY(transports >= 6);
    QCOMPARE(dialogs.informationTexts(), refusal);
    QVERIFY(!window->isLinkOpen());
    QCOMPARE(meter->requestsReceived(), 0);
    QCOMPARE(debugLog.count(openSuccess), 0);

    if (ending != Released)
        meter->unplug();
    if (ending == Removed)
        source->remove();
    const int made = transports;
    commandLine.unlock();
    QTRY_COMPARE(transports - made, tries);
    QTest::qWait(4 * retryMs); // and no more tries after that
    QCOMPARE(transports - made, tries);
    QCOMPARE(dialogs.informationTexts(), refusal);
    const bool opened = ending == Released;
    QCOMPARE(window->isLinkOpen(), opened);
    QCOMPARE(debugLog.count(openSuccess), opened ? 1 : 0);
    QCOMPARE(
        window->findChild<QLabel *>(QStringLiteral("LinkStatusLabel"))->pixmap().toImage(),
        QPixmap(QLatin1String(opened ? LumivaneResources::lampOnImage : LumivaneResources::lampOffImage)).toImage());
    if (!opened)
        return;
    QCOMPARE(window->recordsPage()->findChild<QLineEdit *>(QStringLiteral("lineEdit_serialNo"))->text(),
             QStringLiteral("10010001"));

    // While the window holds the meter, the command line is the one refused.
    MeterLock again(0x2047, 0x0301, QStringLiteral("10010001"));
    QCOMPARE(again.tryLock(), MeterLock::HeldElsewhere);
    QCOMPARE(again.holderPid(), QCoreApplication::applicationPid());
}

QTEST_MAIN(TestWindowLock)
#include "tst_windowlock.moc"
