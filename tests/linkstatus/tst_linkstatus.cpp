// SPDX-License-Identifier: GPL-3.0-or-later
#include "FirstPage.h"
#include "LumivaneResources.h"
#include "MainWindow.h"
#include "MeterImage.h"
#include "RecordsTableModel.h"
#include "ScriptedUserDialogs.h"
#include "VirtualMeter.h"
#include "VirtualMeterTransport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

namespace {

// Device events the test sends by hand, through the same seam the libudev monitor uses.
class ScriptedDeviceEvents final : public DeviceEvents
{
public:
    int start() override
    {
        ++starts;
        return failingClasses;
    }
    void send(Event event) { Q_EMIT deviceEvent(event); }

    int starts = 0;
    int failingClasses = 0;
};

MeterImage sample(const char *name)
{
    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/") + QLatin1String(name)
                                  + QStringLiteral(".json"),
                              image, error))
        qFatal("sample %s: %s", name, qPrintable(error));
    return image;
}

} // namespace

// One window for the whole run, as in the program: the cases follow one another like a user's
// session (plugged in at start, other devices come and go, the meter is unplugged and comes back).
class TestLinkStatus : public QObject
{
    Q_OBJECT

private:
    MainWindow *window = nullptr;
    ScriptedDeviceEvents *events = nullptr;
    ScriptedUserDialogs dialogs;
    // The meter behind the USB port; null while none is plugged in.
    std::shared_ptr<VirtualMeter> plugged;
    HidOpenResult openResult = HidOpenResult::Opened;

    void plugIn(const MeterImage &image) { plugged = std::make_shared<VirtualMeter>(image); }
    void pullOut()
    {
        if (plugged)
            plugged->unplug();
        plugged.reset();
    }
    template <typename T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    bool lampIsOn() const
    {
        return child<QLabel>("LinkStatusLabel")->pixmap().toImage()
               == QPixmap(QLatin1String(LumivaneResources::lampOnImage)).toImage();
    }
    bool lampIsOff() const
    {
        return child<QLabel>("LinkStatusLabel")->pixmap().toImage()
               == QPixmap(QLatin1String(LumivaneResources::lampOffImage)).toImage();
    }
    QString serial() const { return child<QLineEdit>("lineEdit_serialNo")->text(); }
    const RecordsTableModel *table() const { return &window->recordsPage()->recordsModel(); }

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { MainWindow::destroyInstance(); }
    void meterPluggedInAtStart();
    void secondArrivalDoesNothing();
    void otherDeviceRemovedKeepsTheLink();
    void unplugDuringDownloadThenRemoval();
    void arrivalWithoutMeter();
    void meterComesBack();
    void languageFollowsTheButtons();
    void otherEventsOnlyLogged();
    void failedRegistrationIsLogged();
    void accessDeniedIsNamed();
};

void TestLinkStatus::initTestCase()
{
    plugIn(sample("kind1"));
    // Everything is set before the event loop runs: the first link set-up comes 10 ms later.
    window = MainWindow::instance();
    window->setTransportFactory([this]() -> std::unique_ptr<HidReportTransport> {
        if (!plugged)
            return nullptr;
        auto transport = std::make_unique<VirtualMeterTransport>(plugged);
        transport->setOpenResult(openResult);
        return transport;
    });
    auto scripted = std::make_unique<ScriptedDeviceEvents>();
    events = scripted.get();
    window->setDeviceEvents(std::move(scripted));
    window->setUserDialogs(dialogs);
    QVERIFY(window->recordsPage());
    QCOMPARE(window->findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->currentWidget(),
             static_cast<QWidget *>(window->recordsPage()));
}

void TestLinkStatus::meterPluggedInAtStart()
{
    QVERIFY(!window->isLinkOpen());
    QTRY_VERIFY_WITH_TIMEOUT(window->isLinkOpen(), 20000); // the 10 ms timer, the open and the identification
    QVERIFY(lampIsOn());
    QCOMPARE(child<QLabel>("LinkStatusLabel")->alignment(), Qt::AlignCenter);
    QCOMPARE(events->starts, 1);
    // The identification ran on the fresh link.
    QCOMPARE(serial(), QStringLiteral("10010001"));
    QCOMPARE(child<QLineEdit>("lineEdit_firmwareVersion")->text(), QStringLiteral("1.02"));
    QCOMPARE(table()->columnCount(), 14);
    QCOMPARE(dialogs.shown().size(), 0);
    QCOMPARE(plugged->requestsReceived(), 3);
}

void TestLinkStatus::secondArrivalDoesNothing()
{
    const CLinker *link = window->meterSession().link();
    QTest::ignoreMessage(QtDebugMsg, "收到事件 ");
    events->send(DeviceEvents::Arrival);
    QCOMPARE(window->meterSession().link(), link);
    QCOMPARE(plugged->requestsReceived(), 3);
    QVERIFY(lampIsOn());
}

void TestLinkStatus::otherDeviceRemovedKeepsTheLink()
{
    window->recordsPage()->on_pushButton_readRecords_clicked();
    QCOMPARE(table()->rowCount(), 6);

    QTest::ignoreMessage(QtDebugMsg, "收到事件 ");
    QTest::ignoreMessage(QtDebugMsg, "DBT_DEVICEREMOVECOMPLETE");
    events->send(DeviceEvents::RemoveComplete);
    QVERIFY(window->isLinkOpen());
    QVERIFY(lampIsOn());
    QCOMPARE(serial(), QStringLiteral("10010001"));
    QCOMPARE(table()->rowCount(), 6);
}

void TestLinkStatus::unplugDuringDownloadThenRemoval()
{
    // A kind-4 meter that disappears while its second record chunk (request 8, after
    // identification 3 and the download's unit numbers, mode and count) is answered late.
    MeterImage meter = sample("kind4");
    meter.faults.lateRequests = {8};
    meter.faults.lateDelayMs = 1500;
    pullOut();
    QTest::ignoreMessage(QtDebugMsg, "收到事件 ");
    QTest::ignoreMessage(QtDebugMsg, "USB_设备移除");
    QTest::ignoreMessage(QtDebugMsg, "DBT_DEVICEREMOVECOMPLETE");
    events->send(DeviceEvents::RemoveComplete);
    QVERIFY(!window->isLinkOpen());

    plugIn(meter);
    QTest::ignoreMessage(QtDebugMsg, "收到事件 ");
    QTest::ignoreMessage(QtDebugMsg, "USB_设备打开");
    QTest::ignoreMessage(QtDebugMsg, "DBT_DEVICEARRIVAL");
    events->send(DeviceEvents::Arrival);
    QVERIFY(window->isLinkOpen());
    QCOMPARE(window->recordsPage()->meterKind(), 4);

    dialogs.clear();
    // The system tells while the download waits: the window holds the removal until it returned.
    bool told = false;
    QTimer::singleShot(300, events, [this, &told] {
        plugged->unplug();
        events->send(DeviceEvents::RemoveComplete);
        told = true;
    });
    window->recordsPage()->on_pushButton_readRecords_clicked();
    QVERIFY(told);
    QCOMPARE(dialogs.informationTexts(), QStringList{QStringLiteral("读取记录数据失败!")});
    QCOMPARE(table()->rowCount(), 0);
    QCOMPARE(dialogs.progressLogs().size(), 1);
    QCOMPARE(dialogs.progressLogs().first()->values, QList<int>{0});
    QVERIFY(dialogs.progressLogs().first()->destroyed);
    QVERIFY(lampIsOn()); // the removal is still held

    QTest::ignoreMessage(QtDebugMsg, "收到事件 ");
    QTest::ignoreMessage(QtDebugMsg, "USB_设备移除");
    QTest::ignoreMessage(QtDebugMsg, "DBT_DEVICEREMOVECOMPLETE");
    QTRY_VERIFY(!window->isLinkOpen());
    QVERIFY(window->meterSession().link() == nullptr);
    QVERIFY(lampIsOff());
    QCOMPARE(serial(), QString());
    QCOMPARE(child<QLineEdit>("lineEdit_firmwareVersion")->text(), QString());
    QCOMPARE(table()->columnCount(), 15); // the columns stay
    plugged.reset();
}

void TestLinkStatus::arrivalWithoutMeter()
{
    QTest::ignoreMessage(QtDebugMsg, "收到事件 ");
    QTest::ignoreMessage(QtDebugMsg, "USB_设备打开");
    QTest::ignoreMessage(QtDebugMsg, "DBT_DEVICEARRIVAL");
    events->send(DeviceEvents::Arrival); // a disk, say
    QVERIFY(!window->isLinkOpen());
    QVERIFY(lampIsOff());
    QCOMPARE(serial(), QString());
}

void TestLinkStatus::meterComesBack()
{
    plugIn(sample("kind6"));
    events->send(DeviceEvents::Arrival);
    QVERIFY(window->isLinkOpen());
    QVERIFY(lampIsOn());
    QCOMPARE(serial(), QStringLiteral("60010001"));
    QCOMPARE(window->recordsPage()->meterKind(), 6);
    QVERIFY(child<QPushButton>("pushButton_spectralData")->isHidden());
    dialogs.clear();
    window->recordsPage()->on_pushButton_readRecords_clicked();
    QCOMPARE(dialogs.informationTexts(), QStringList());
    QCOMPARE(table()->rowCount(), 5);
}

void TestLinkStatus::languageFollowsTheButtons()
{
    QTest::mouseClick(child<QPushButton>("btnLanguageEn"), Qt::LeftButton);
    QVERIFY(!window->recordsPage()->isChinese());
    QCOMPARE(table()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Test Name"));
    QCOMPARE(table()->index(0, 9).data().toString(), QStringLiteral("Delete"));
    QCOMPARE(child<QPushButton>("pushButton_readRecords")->text(), QStringLiteral("Read Records"));

    QTest::mouseClick(child<QPushButton>("btnLanguageZh"), Qt::LeftButton);
    QVERIFY(window->recordsPage()->isChinese());
    QCOMPARE(table()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("名称"));
    QCOMPARE(table()->index(0, 9).data().toString(), QStringLiteral("删除"));
    QCOMPARE(child<QPushButton>("pushButton_readRecords")->text(), QStringLiteral("读取测量记录"));
}

void TestLinkStatus::otherEventsOnlyLogged()
{
    QTest::ignoreMessage(QtDebugMsg, "收到事件 ");
    QTest::ignoreMessage(QtDebugMsg, "DBT_DEVICETYPESPECIFIC ");
    events->send(DeviceEvents::TypeSpecific);
    QTest::ignoreMessage(QtDebugMsg, "收到事件 ");
    events->send(DeviceEvents::Other);
    QVERIFY(window->isLinkOpen());
    QCOMPARE(table()->rowCount(), 5);
}

void TestLinkStatus::failedRegistrationIsLogged()
{
    // The link set-up once more, now with two classes the system refuses: each is logged, and
    // the open attempt still runs (the link is already there, so nothing changes).
    events->failingClasses = 2;
    QTest::ignoreMessage(QtDebugMsg, "注册失败");
    QTest::ignoreMessage(QtDebugMsg, "注册失败");
    QVERIFY(QMetaObject::invokeMethod(window, "initusbport"));
    QCOMPARE(events->starts, 2);
    QVERIFY(window->isLinkOpen());
    QVERIFY(lampIsOff()); // the set-up starts with the lamp off, as at start-up
    // One arrival still reaches the window exactly once.
    const int requests = plugged->requestsReceived();
    QTest::ignoreMessage(QtDebugMsg, "收到事件 ");
    events->send(DeviceEvents::Arrival);
    QCOMPARE(plugged->requestsReceived(), requests);
}

void TestLinkStatus::accessDeniedIsNamed()
{
    QVERIFY(QMetaObject::invokeMethod(window, "CloseUSB"));
    QVERIFY(lampIsOff());
    openResult = HidOpenResult::AccessDenied;
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("virtual:60010001.*70-lumivane\\.rules.*idVendor.*2047")));
    bool opened = true;
    QVERIFY(QMetaObject::invokeMethod(window, "OpenUSB", Q_RETURN_ARG(bool, opened)));
    QVERIFY(!opened);
    QVERIFY(!window->isLinkOpen());
    QVERIFY(lampIsOff());
    QCOMPARE(dialogs.informationTexts(), QStringList());

    openResult = HidOpenResult::Opened;
    QVERIFY(QMetaObject::invokeMethod(window, "OpenUSB", Q_RETURN_ARG(bool, opened)));
    QVERIFY(opened);
    QVERIFY(lampIsOn());
}

QTEST_MAIN(TestLinkStatus)
#include "tst_linkstatus.moc"
