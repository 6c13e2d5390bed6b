// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QLocalSocket;
class QWidget;

// Lets only one copy of the program run per executable and user. The first copy holds a lock file
// and serves a local socket that only its user can open; a later copy finds the lock taken and can
// send the running copy a text message over that socket.
//
// The lock decides which copy is first, so a socket left behind by a crashed copy cannot fool a
// new one; a lock left behind by a crashed copy is recognised by its dead process and taken over.
class SingleInstanceGuard : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstanceGuard(const QString &key, QObject *parent = nullptr);
    ~SingleInstanceGuard() override;

    // The key of an executable for the current user.
    static QString keyFor(const QString &executablePath);
    // The key of an executable for the given user id.
    static QString keyFor(const QString &executablePath, const QString &userId);

    // True when another copy with the same key holds the lock. Otherwise this copy takes the lock
    // and starts serving messages. Ask once, right after construction.
    bool isRunning();

    // Sends a message to the running copy, waiting at most timeoutMs in all. True when the whole
    // message was handed to the running copy's socket.
    bool sendMessage(const QString &message, int timeoutMs);

    // The window to bring to the front when a message arrives.
    void setActivationWindow(QWidget *window, bool activateOnMessage = true);

    QString lockFilePath() const;
    QString serverName() const { return key; }

Q_SIGNALS:
    void messageReceived(const QString &message);

private:
    void acceptConnections();
    void readMessage(QLocalSocket *socket);
    void activateWindow();

    const QString key;
    QLockFile lockFile;
    QLocalServer *server = nullptr;
    QPointer<QWidget> activationWindow;
    bool activateOnMessage = false;
};
