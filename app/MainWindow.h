// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DeviceEvents.h"
#include "LanguageSwitcher.h"
#include "MeterAccessStatus.h"
#include "MeterSession.h"
#include "QtUserDialogs.h"
#include "TransportFactory.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class FirstPage;

namespace Ui {
class MainWindow;
}

// The program's one top-level window: the link status lamp, the two language buttons and a stack
// holding the records page.
class MainWindow : public QDialog
{
    Q_OBJECT

public:
    // The one window, created without a parent on the first call.
    static MainWindow *instance();
    // Destroys the window while the application object still exists (main() calls this after the
    // event loop; tests call it before the application goes).
    static void destroyInstance();

    ~MainWindow() override;

    // The window's own style additions, set by initForm on top of the application style sheet.
    static QString windowStyle();

    // Link set-up, to be changed before the first link set-up runs (10 ms after construction):
    // where transports for opening the meter come from (hidapi by default), and the source of
    // device events (a libudev monitor by default).
    void setTransportFactory(TransportFactory factory);
    void setDeviceEvents(std::unique_ptr<DeviceEvents> events);
    // How often an open refused because another program holds the meter is tried again, until
    // the meter opens or is gone (1 s by default).
    void setOpenRetryInterval(int ms) { openRetry.setInterval(ms); }
    // Where the pages' messages, questions and progress dialogs go (Qt's dialogs by default).
    void setUserDialogs(UserDialogs &dialogs);

    // The udev rule the window's access status refers to (the standard directories and the rule
    // this build ships by default).
    void setUdevRule(const UdevRule &rule);
    // Why the meter present could not be opened, as the window shows it beside the lamp; None
    // while the meter is open or no meter is present.
    const MeterAccessStatus &meterAccess() const { return accessStatus; }

    // True only when a link exists and it is open.
    bool isLinkOpen() const;
    FirstPage *recordsPage() const { return page; }
    MeterSession &meterSession() { return session; }

    // The transaction routines over the current link.
    static quint16 crc16(const QByteArray &data, int length) { return MeterTransactions::crc16(data, length); }
    int sendCommand(QByteArray &frame, int timeoutMs) { return session.transactions().sendCommand(frame, timeoutMs); }
    int receiveReply(QByteArray &reply, int timeoutMs, int expectedLength, bool checkCrc)
    {
        return session.transactions().receiveReply(reply, timeoutMs, expectedLength, checkCrc);
    }

Q_SIGNALS:
    // A language switch succeeded: true for Chinese, false for English. The records page takes its
    // languageFlag from here and re-labels itself.
    void languageChanged(bool languageFlag);

private Q_SLOTS:
    void initForm();
    void initusbport();
    void on_btnLanguageEn_clicked();
    void on_btnLanguageZh_clicked();
    void handleAppMessage(const QString &message);
    bool OpenUSB();
    void CloseUSB();
    // The reactions to device events: an arrival opens the meter while none is connected, a
    // removal closes the link once its meter is gone. Events that come while a download runs are
    // held and handled once it returned.
    void deviceEvent(DeviceEvents::Event event);
    void handleHeldEvents();
    // Tells the user once, after start, about a setting that is not understood.
    void tellSettingProblems();

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    MainWindow();
    void switchLanguage(const QString &baseName, bool languageFlag);

    void showLamp(const char *image);
    // Sets the access status and shows it in the window's language: the lamp's tooltip and the
    // status line under the lamp, hidden while there is nothing to tell.
    void showAccessStatus(const MeterAccessStatus &status);
    // Whether a meter is plugged in, asked of a fresh transport without opening anything.
    bool meterPresent() const;

    std::unique_ptr<Ui::MainWindow> ui;
    MeterSession session; // the current link; none while no meter is connected
    QtUserDialogs qtDialogs;
    UserDialogs *dialogs = &qtDialogs;
    FirstPage *page = nullptr;       // the records page, a child of the window
    bool heldElsewhereShown = false; // the meter-in-use message was shown for the current refusal
    QTimer openRetry;                // runs while another program holds the meter: tries the open again
    MeterAccessStatus accessStatus;  // why the present meter did not open, until it opens or goes
    UdevRule udevRule = UdevRule::standard();
    LanguageSwitcher languages;
    TransportFactory transportFactory;
    std::unique_ptr<DeviceEvents> deviceEvents;
    // Device events that came while a download ran, in their order, and the timer that looks
    // whether the download has returned.
    QList<DeviceEvents::Event> heldEvents;
    QTimer heldEventsTimer;
};
