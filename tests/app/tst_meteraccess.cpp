// SPDX-License-Identifier: GPL-3.0-or-later
// The window's account of a meter it cannot open: the lamp's tooltip and the status line under
// the lamp name the node, the cause and the fix, in the window's language, until the meter opens
// or goes.

#include "MainWindow.h"
#include "MeterImage.h"
#include "MeterLock.h"
#include "ScriptedUserDialogs.h"
#include "TextCatalogue.h"
#include "VirtualMeter.h"
#include "VirtualMeterTransport.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

class ScriptedDeviceEvents final : public DeviceEvents
{
public:
    int start() override { return 0; }
    void send(Event event) { Q_EMIT deviceEvent(event); }
};

const QString node = QStringLiteral("virtual:10010001");
const QString reload =
    QStringLiteral("sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=hidraw");

} // namespace

class TestMeterAccess : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase() { MainWindow::destroyInstance(); }
    void refusalIsExplained_data();
    void refusalIsExplained();
    void installCommandQuotesItsPath_data();
    void installCommandQuotesItsPath();

private:
    template <typename T>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    bool openUsb()
    {
        bool opened = false;
        QMetaObject::invokeMethod(window, "OpenUSB", Q_RETURN_ARG(bool, opened));
        return opened;
    }
    // The status line, and the two tooltips when they agree (the status line's and the lamp's).
    QString shownStatus() const { return child<QLabel>("accessStatusLabel")->text(); }
    QString shownTip() const
    {
        const QString lampTip = child<QLabel>("LinkStatusLabel")->toolTip();
        return lampTip == child<QLabel>("accessStatusLabel")->toolTip() ? lampTip : QStringLiteral("<tooltips differ>");
    }

    MainWindow *window = nullptr;
    ScriptedDeviceEvents *events = nullptr;
    ScriptedUserDialogs dialogs;
    MeterImage image;
    std::shared_ptr<VirtualMeter> plugged;
    HidOpenResult openResult = HidOpenResult::Opened;
    QTemporaryDir rules;
};

void TestMeterAccess::initTestCase()
{
    QString error;
    QVERIFY2(MeterImage::fromFile(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/kind1.json"), image, error),
             qPrintable(error));
    image.faults.sharedDevice = true; // locked like a USB meter
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
    window->setOpenRetryInterval(600000); // no retries of their own during a row
    // Nothing is plugged in at start: nothing to tell.
    QTest::qWait(50);
    QCOMPARE(window->meterAccess().cause, MeterAccessStatus::None);
    QVERIFY(child<QLabel>("accessStatusLabel")->isHidden());
    QVERIFY(rules.isValid());
}

void TestMeterAccess::refusalIsExplained_data()
{
    QTest::addColumn<int>("openResult");
    QTest::addColumn<bool>("lockHeld");
    QTest::addColumn<bool>("ruleInstalled");
    QTest::addColumn<QString>("statusZh");
    QTest::addColumn<QString>("statusEn");
    QTest::addColumn<QString>("tipEn"); // %1: the shipped rule

    const QString permissionEn = QStringLiteral("Cannot open the meter at virtual:10010001: permission denied. ");
    const QString heldZh =
        QStringLiteral("无法打开仪器 virtual:10010001: 正被其他程序使用。请关闭正在使用仪器的其他程序。");
    const QString heldEn = QStringLiteral(
        "Cannot open the meter at virtual:10010001: held by another program. Close the other program that uses the "
        "meter.");
    QTest::newRow("permission denied, rule not installed")
        << int(HidOpenResult::AccessDenied) << false << false
        << QStringLiteral("无法打开仪器 virtual:10010001: 没有访问权限。请安装 udev 规则, 然后重新插入仪器。")
        << permissionEn + QStringLiteral("Install the udev rule, then plug the meter in again.")
        << permissionEn
               + QStringLiteral("Install the udev rule, then plug the meter in again.\n"
                                "sudo install -m 644 %1 /etc/udev/rules.d/70-lumivane.rules && ")
               + reload;
    QTest::newRow("permission denied, rule installed")
        << int(HidOpenResult::AccessDenied) << false << true
        << QStringLiteral(
               "无法打开仪器 virtual:10010001: 没有访问权限。udev 规则已安装: 请重新加载规则或重新插入仪器。")
        << permissionEn + QStringLiteral("The udev rule is installed: reload the rules or plug the meter in again.")
        << permissionEn + QStringLiteral("The udev rule is installed: reload the rules or plug the meter in again.\n")
               + reload;
    QTest::newRow("held elsewhere: the meter lock")
        << int(HidOpenResult::Opened) << true << false << heldZh << heldEn << heldEn;
    QTest::newRow("held elsewhere: the node is busy")
        << int(HidOpenResult::Busy) << false << false << heldZh << heldEn << heldEn;
    QTest::newRow("gone: no such device")
        << int(HidOpenResult::Failed) << false << false
        << QStringLiteral("无法打开仪器 virtual:10010001: 设备不存在。请重新插入仪器。")
        << QStringLiteral("Cannot open the meter at virtual:10010001: no such device. Plug the meter in again.")
        << QStringLiteral("Cannot open the meter at virtual:10010001: no such device. Plug the meter in again.");
    QTest::newRow("opened: cleared") << int(HidOpenResult::Opened) << false << false << QString() << QString()
                                     << QString();
}

void TestMeterAccess::refusalIsExplained()
{
    QFETCH(int, openResult);
    QFETCH(bool, lockHeld);
    QFETCH(bool, ruleInstalled);
    QFETCH(QString, statusZh);
    QFETCH(QString, statusEn);
    QFETCH(QString, tipEn);

    // The rule ships as a file that exists; where udev reads rules holds it only when installed.
    QTemporaryDir dir;
    const QString shipped = dir.filePath(QStringLiteral("70-lumivane.rules"));
    QFile(shipped).open(QIODevice::WriteOnly);
    const QString installed = dir.filePath(QStringLiteral("etc-70-lumivane.rules"));
    if (ruleInstalled)
        QFile(installed).open(QIODevice::WriteOnly);
    UdevRule rule;
    rule.installedPaths = {dir.filePath(QStringLiteral("lib-70-lumivane.rules")), installed};
    rule.sourcePaths = {dir.filePath(QStringLiteral("no-prefix-copy.rules")), shipped};
    window->setUdevRule(rule);
    QTest::mouseClick(child<QPushButton>("btnLanguageZh"), Qt::LeftButton);
    plugged = std::make_shared<VirtualMeter>(image);
    dialogs.clear();

    // Every row starts from an earlier refusal, so that an open that succeeds is seen to clear it.
    this->openResult = HidOpenResult::Failed;
    QVERIFY(!openUsb());
    QCOMPARE(window->meterAccess().cause, MeterAccessStatus::NoSuchDevice);

    this->openResult = HidOpenResult(openResult);
    MeterLock other(0x2047, 0x0301, QStringLiteral("10010001"));
    if (lockHeld)
        QCOMPARE(other.tryLock(), MeterLock::Locked);
    // The debug log keeps its own text about missing access rights.
    if (openResult == int(HidOpenResult::AccessDenied))
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("virtual:10010001.*70-lumivane\\.rules")));
    const bool opened = openUsb();
    QCOMPARE(opened, statusZh.isEmpty());
    QCOMPARE(window->isLinkOpen(), opened);
    QCOMPARE(dialogs.informationTexts(),
             lockHeld ? QStringList{TextCatalogue::chinese(Text::MeterHeldElsewhere)} : QStringList());

    QCOMPARE(shownStatus(), statusZh);
    QCOMPARE(child<QLabel>("accessStatusLabel")->isHidden(), opened);
    QTest::mouseClick(child<QPushButton>("btnLanguageEn"), Qt::LeftButton);
    QCOMPARE(shownStatus(), statusEn);
    QCOMPARE(shownTip(), tipEn.contains(QLatin1String("%1")) ? tipEn.arg(shipped) : tipEn);
    QTest::mouseClick(child<QPushButton>("btnLanguageZh"), Qt::LeftButton);
    QCOMPARE(shownStatus(), statusZh);
    QVERIFY(shownTip().startsWith(statusZh));

    // The meter goes: the status goes with it.
    plugged->unplug();
    plugged.reset();
    events->send(DeviceEvents::RemoveComplete);
    QCOMPARE(window->meterAccess().cause, MeterAccessStatus::None);
    QCOMPARE(shownStatus(), QString());
    QCOMPARE(shownTip(), QString());
    QVERIFY(child<QLabel>("accessStatusLabel")->isHidden());
    QVERIFY(!window->isLinkOpen());
}

void TestMeterAccess::installCommandQuotesItsPath_data()
{
    QTest::addColumn<QString>("folder"); // where the shipped rule lies, inside a temporary folder
    QTest::addColumn<bool>("asIs");      // the path needs no quotes
    QTest::newRow("plain") << "rules" << true;
    for (const char *folder : {"my rules", "it's", "$(touch x)", "a`touch y`;c", "规则"})
        QTest::addRow("%s", folder) << QString::fromUtf8(folder) << false;
}

void TestMeterAccess::installCommandQuotesItsPath()
{
    QFETCH(QString, folder);
    QFETCH(bool, asIs);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(folder));
    const QString shipped = dir.filePath(folder + QStringLiteral("/70-lumivane.rules"));
    QVERIFY(QFile(shipped).open(QIODevice::WriteOnly));
    UdevRule rule;
    rule.sourcePaths = {shipped};
    const QString command = rule.installCommand();
    const QString start = QStringLiteral("sudo install -m 644 ");
    QVERIFY2(command.startsWith(start), qPrintable(command));
    const QString word = command.mid(start.size()).section(QStringLiteral(" /etc/udev/rules.d/70-lumivane.rules && "), 0, 0);
    QCOMPARE(word == shipped, asIs);
    // A shell reads the word back as the path, and runs nothing of it.
    QProcess shell;
    shell.setWorkingDirectory(dir.path());
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("printf %s ") + word});
    QVERIFY(shell.waitForFinished());
    QCOMPARE(QString::fromUtf8(shell.readAllStandardOutput()), shipped);
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x"))) && !QFile::exists(dir.filePath(QStringLiteral("y"))));
}

QTEST_MAIN(TestMeterAccess)
#include "tst_meteraccess.moc"
