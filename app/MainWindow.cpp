// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindow.h"

#include "ButtonKeys.h"
#include "CatalogLoader.h"
#include "FirstPage.h"
#include "HidapiTransport.h"
#include "LibudevDeviceEvents.h"
#include "LumivaneResources.h"
#include "TextCatalogue.h"
#include "WindowArchive.h"
#include "ui_MainWindow.h"

#include <QDebug>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>

#include <utility>

namespace {

// The fixed texts of the link handling's debug log, written exactly (a trailing space included).
void logText(const QString &text)
{
    qDebug().nospace().noquote() << text;
}

std::unique_ptr<MainWindow> &windowHolder()
{
    static std::unique_ptr<MainWindow> window;
    return window;
}

} // namespace

MainWindow *MainWindow::instance()
{
    std::unique_ptr<MainWindow> &window = windowHolder();
    if (!window)
        window.reset(new MainWindow);
    return window.get();
}

void MainWindow::destroyInstance()
{
    // A download on its way into the archive is finished first: the window's end is the program's.
    WindowArchive::waitForArchiving();
    windowHolder().reset();
    // The pages hand their tables' last edits to the archive as they close.
    WindowArchive::waitForArchiving();
}

MainWindow::MainWindow()
    : QDialog(nullptr),
      ui(std::make_unique<Ui::MainWindow>()),
      transportFactory([] { return std::make_unique<HidapiTransport>(); })
{
    ui->setupUi(this);
    initForm();
    on_btnLanguageZh_clicked(); // the program starts in Chinese
    openRetry.setInterval(1000);
    connect(&openRetry, &QTimer::timeout, this, &MainWindow::OpenUSB);
    heldEventsTimer.setSingleShot(true);
    heldEventsTimer.setInterval(50);
    connect(&heldEventsTimer, &QTimer::timeout, this, &MainWindow::handleHeldEvents);
    showAccessStatus({});
    QTimer::singleShot(10, this, &MainWindow::initusbport);
    QTimer::singleShot(0, this, &MainWindow::tellSettingProblems);
}

void MainWindow::tellSettingProblems()
{
    const bool chinese = page->isChinese();
    if (const std::optional<QString> problem = WindowArchive::settingProblem(chinese))
        dialogs->information(this, TextCatalogue::text(Text::Tip, chinese), *problem);
}

MainWindow::~MainWindow() = default;

QString MainWindow::windowStyle()
{
    QStringList parts;
    parts << QStringLiteral("QComboBox::drop-down,QDateEdit::drop-down,QTimeEdit::drop-down,QDateTimeEdit::drop-down"
                            "{width:%1px;}")
                 .arg(20);
    parts << QStringLiteral("QComboBox::down-arrow,QDateEdit[calendarPopup=\"true\"]::down-arrow,"
                            "QTimeEdit[calendarPopup=\"true\"]::down-arrow,"
                            "QDateTimeEdit[calendarPopup=\"true\"]::down-arrow{width:%1px;height:%1px;right:2px;}")
                 .arg(10);
    parts << QStringLiteral("QRadioButton::indicator{width:%1px;height:%1px;}").arg(15);
    parts << QStringLiteral("QCheckBox::indicator,QGroupBox::indicator,QTreeWidget::indicator,"
                            "QListWidget::indicator{width:%1px;height:%1px;}")
                 .arg(13);
    parts << QStringLiteral("QScrollBar:horizontal{min-height:%1px;border-radius:%2px;}"
                            "QScrollBar::handle:horizontal{border-radius:%2px;}"
                            "QScrollBar:vertical{min-width:%1px;border-radius:%2px;}"
                            "QScrollBar::handle:vertical{border-radius:%2px;}")
                 .arg(12)
                 .arg(6);
    parts << QStringLiteral("QWidget#widget_top>QToolButton:pressed,QWidget#widget_top>QToolButton:hover,"
                            "QWidget#widget_top>QToolButton:checked,QWidget#widget_top>QLabel:hover"
                            "{border-width:0px 0px %1px 0px;}")
                 .arg(3);
    parts << QStringLiteral("QWidget#widgetleft>QPushButton:checked,QWidget#widgetleft>QToolButton:checked,"
                            "QWidget#widgetleft>QPushButton:pressed,QWidget#widgetleft>QToolButton:pressed"
                            "{border-width:0px 0px 0px %1px;}")
                 .arg(3);
    return parts.join(QString());
}

void MainWindow::initForm()
{
    if (!page) {
        page = new FirstPage(session, qtDialogs, CatalogLoader::defaultDirectory(), this);
        ui->stackedWidget->addWidget(page);
        ui->stackedWidget->setCurrentWidget(page);
        connect(this, &MainWindow::languageChanged, page, [this](bool languageFlag) {
            page->setLanguageFlag(languageFlag);
            page->languageChange();
        });
    }
    setWindowFlags(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    setStyleSheet(windowStyle());
    // Enter in the window must not start a download: no button answers it.
    ButtonKeys::removeDefaultButtons(this);
    setTabOrder(ui->btnLanguageEn, ui->btnLanguageZh);
}

void MainWindow::initusbport()
{
    showLamp(LumivaneResources::lampOffImage);
    if (!deviceEvents)
        deviceEvents = std::make_unique<LibudevDeviceEvents>();
    connect(deviceEvents.get(), &DeviceEvents::deviceEvent, this, &MainWindow::deviceEvent, Qt::UniqueConnection);
    // A class that cannot be registered is only logged: the start-up attempt below and the
    // classes that did register still open the meter.
    const int failed = deviceEvents->start();
    for (int i = 0; i < failed; ++i)
        logText(QStringLiteral("注册失败"));
    OpenUSB();
}

void MainWindow::setTransportFactory(TransportFactory factory)
{
    transportFactory = std::move(factory);
}

void MainWindow::setDeviceEvents(std::unique_ptr<DeviceEvents> events)
{
    deviceEvents = std::move(events);
}

void MainWindow::setUserDialogs(UserDialogs &userDialogs)
{
    dialogs = &userDialogs;
    page->setUserDialogs(userDialogs);
}

void MainWindow::setUdevRule(const UdevRule &rule)
{
    udevRule = rule;
    showAccessStatus(accessStatus);
}

bool MainWindow::isLinkOpen() const
{
    return session.isLinkOpen();
}

void MainWindow::showLamp(const char *image)
{
    ui->LinkStatusLabel->setPixmap(QPixmap(QLatin1String(image)));
    ui->LinkStatusLabel->setAlignment(Qt::AlignCenter);
}

void MainWindow::showAccessStatus(const MeterAccessStatus &status)
{
    accessStatus = status;
    const bool chinese = page->isChinese();
    const QString tip = accessStatus.toolTip(chinese, udevRule);
    const QString line = accessStatus.statusLine(chinese, udevRule);
    // The log keeps what the window told, once per change: the retries while another program
    // holds the meter show the same line again.
    if (!line.isEmpty() && line != ui->accessStatusLabel->text())
        logText(QStringLiteral("access status: ") + line);
    ui->LinkStatusLabel->setToolTip(tip);
    ui->accessStatusLabel->setText(line);
    ui->accessStatusLabel->setToolTip(tip);
    ui->accessStatusLabel->setVisible(accessStatus.cause != MeterAccessStatus::None);
}

bool MainWindow::OpenUSB()
{
    if (session.hasLink())
        return true;
    // The open is watched through its own transport, so that a refusal can name the node and its
    // cause without opening anything a second time.
    const auto attempts = std::make_shared<OpenAttempts>();
    std::unique_ptr<HidReportTransport> transport = transportFactory ? transportFactory() : nullptr;
    if (transport)
        transport = std::make_unique<OpenRecordingTransport>(std::move(transport), attempts);
    if (!session.openUsb(std::move(transport))) {
        // Another program (the command line) holds the meter. It may end, or crash and leave a
        // lock that MeterLock takes over, without any device event, so the open is tried again
        // on the timer until the meter opens or is gone; device events try as well. The message
        // is shown once until the meter is opened or gone.
        const bool held = session.lastOpenHeldElsewhere();
        const bool tell = held && !heldElsewhereShown;
        heldElsewhereShown = held;
        if (!held)
            openRetry.stop();
        else if (!openRetry.isActive())
            openRetry.start();
        // Any other failed open leaves no trace on the screen. Missing access rights to the meter's
        // node would hide behind "no meter", so the log says what is wrong.
        if (session.lastOpenAccessDenied())
            qWarning().noquote() << QStringLiteral(
                                        "Cannot open the meter at %1: access denied. Install the udev rule "
                                        "70-lumivane.rules (KERNEL==\"hidraw*\", ATTRS{idVendor}==\"2047\", "
                                        "ATTRS{idProduct}==\"0301\", TAG+=\"uaccess\") and plug the meter in again.")
                                        .arg(session.lastOpenDeniedPath());
        showAccessStatus(MeterAccessStatus::afterFailedOpen(*attempts, held));
        // The message box comes last: its event loop may run further attempts (the timer, device
        // events), which find the state above already settled.
        if (tell) {
            const bool chinese = page->isChinese();
            dialogs->information(this, TextCatalogue::text(Text::Tip, chinese),
                                 TextCatalogue::text(Text::MeterHeldElsewhere, chinese));
        }
        return false;
    }
    openRetry.stop();
    heldElsewhereShown = false;
    showAccessStatus({});
    showLamp(LumivaneResources::lampOnImage);
    page->identifyMeter();
    return true;
}

bool MainWindow::meterPresent() const
{
    const std::unique_ptr<HidReportTransport> probe = transportFactory ? transportFactory() : nullptr;
    return probe && !probe->enumerate(MeterFacts::VendorId, MeterFacts::ProductId).isEmpty();
}

void MainWindow::CloseUSB()
{
    if (!session.hasLink())
        return;
    session.close();
    showLamp(LumivaneResources::lampOffImage);
    page->resetPage();
}

void MainWindow::deviceEvent(DeviceEvents::Event event)
{
    // A download lets events through while it waits for the meter (its progress dialog paints and
    // takes Cancel). Closing the link under it, or opening another meter and identifying it in the
    // middle of it, would mix two conversations; so its events wait until it returned, in their
    // order. A meter that went away fails the download with its usual message meanwhile.
    if (session.transactions().hasWhileWaiting()) {
        heldEvents.append(event);
        heldEventsTimer.start();
        return;
    }
    logText(QStringLiteral("收到事件 "));
    switch (event) {
    case DeviceEvents::Arrival:
        // Any USB device, disk, HID device or network interface that arrives while no meter is
        // connected starts an open attempt.
        if (session.hasLink())
            return;
        OpenUSB();
        logText(QStringLiteral("USB_设备打开"));
        logText(QStringLiteral("DBT_DEVICEARRIVAL"));
        return;
    case DeviceEvents::RemoveComplete:
        // Another device going away leaves the link open: only a meter that no longer answers
        // closes it.
        if (session.hasLink() && session.isDeviceGone()) {
            CloseUSB();
            logText(QStringLiteral("USB_设备移除"));
        }
        // A refused meter that has gone is not tried again, and its status goes with it; plugged
        // in again, it is a new refusal.
        if ((openRetry.isActive() || accessStatus.cause != MeterAccessStatus::None) && !meterPresent()) {
            openRetry.stop();
            heldElsewhereShown = false;
            showAccessStatus({});
        }
        logText(QStringLiteral("DBT_DEVICEREMOVECOMPLETE"));
        return;
    case DeviceEvents::TypeSpecific:
        logText(QStringLiteral("DBT_DEVICETYPESPECIFIC "));
        return;
    case DeviceEvents::Other:
        return;
    }
}

void MainWindow::handleHeldEvents()
{
    if (session.transactions().hasWhileWaiting()) {
        heldEventsTimer.start();
        return;
    }
    const QList<DeviceEvents::Event> events = std::exchange(heldEvents, {});
    for (const DeviceEvents::Event event : events)
        deviceEvent(event);
}

void MainWindow::on_btnLanguageEn_clicked()
{
    switchLanguage(QStringLiteral("Lumivane_en"), false);
}

void MainWindow::on_btnLanguageZh_clicked()
{
    switchLanguage(QStringLiteral("Lumivane_zh"), true);
}

void MainWindow::switchLanguage(const QString &baseName, bool languageFlag)
{
    // A translation that cannot be found changes nothing: the page keeps its language. Qt's own
    // dialogs and buttons speak Chinese with the Chinese texts and English otherwise.
    if (languages.switchTo(baseName, languageFlag ? QStringLiteral("qtbase_zh_CN") : QString())) {
        Q_EMIT languageChanged(languageFlag);
        showAccessStatus(accessStatus);
    }
}

void MainWindow::handleAppMessage(const QString &message)
{
    qDebug().noquote() << "handleAppMessage" << message;
    show();
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape would reject the dialog, hiding the program's only window and ending the program
    // with whatever the tables hold. The main window ignores it.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}
