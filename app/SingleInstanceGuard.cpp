// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstanceGuard.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#include <unistd.h>

namespace {

// A message travels as a 32-bit big-endian byte count followed by that many bytes of UTF-8.
constexpr int headerSize = 4;
// Messages are short words; anything longer is not from a copy of this program.
constexpr quint32 maximumMessageSize = 64 * 1024;

QByteArray frame(const QString &message)
{
    const QByteArray text = message.toUtf8();
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << quint32(text.size());
    bytes.append(text);
    return bytes;
}

int remaining(const QElapsedTimer &timer, int timeoutMs)
{
    return int(qMax<qint64>(0, timeoutMs - timer.elapsed()));
}

} // namespace

SingleInstanceGuard::SingleInstanceGuard(const QString &key, QObject *parent)
    : QObject(parent),
      key(key),
      lockFile(lockFilePath()) // key is set by then
{
    // A copy may run for days: only a dead owner makes the lock stale, never its age.
    lockFile.setStaleLockTime(0);
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    if (server)
        server->close();
}

QString SingleInstanceGuard::keyFor(const QString &executablePath)
{
    return keyFor(executablePath, QString::number(::getuid()));
}

QString SingleInstanceGuard::keyFor(const QString &executablePath, const QString &userId)
{
    const QByteArray identity = QFileInfo(executablePath).absoluteFilePath().toUtf8() + '\0' + userId.toUtf8();
    const QByteArray digest = QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(24);
    return QStringLiteral("lumivane-") + QString::fromLatin1(digest);
}

QString SingleInstanceGuard::lockFilePath() const
{
    return QDir(QDir::tempPath()).filePath(key + QStringLiteral(".lock"));
}

bool SingleInstanceGuard::isRunning()
{
    if (server)
        return false;
    if (!lockFile.tryLock(0)) {
        if (lockFile.error() == QLockFile::LockFailedError)
            return true;
        // The lock cannot be made at all (no writable temporary directory): rather than refuse
        // to start, run without the guard.
        qWarning() << "single instance lock unusable:" << lockFilePath();
        return false;
    }
    // Holding the lock, any socket of that name is left over from a copy that crashed.
    QLocalServer::removeServer(key);
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &SingleInstanceGuard::acceptConnections);
    if (!server->listen(key))
        qWarning() << "single instance socket unusable:" << server->errorString();
    return false;
}

bool SingleInstanceGuard::sendMessage(const QString &message, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QLocalSocket socket;
    // The running copy may hold the lock a moment before it listens: try again until the time is up.
    for (;;) {
        socket.connectToServer(key);
        if (socket.waitForConnected(remaining(timer, timeoutMs)))
            break;
        if (remaining(timer, timeoutMs) == 0)
            return false;
        QThread::msleep(qMin(100, remaining(timer, timeoutMs)));
    }
    socket.write(frame(message));
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(remaining(timer, timeoutMs))) {
    }
    const bool written = socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(remaining(timer, timeoutMs));
    return written;
}

void SingleInstanceGuard::setActivationWindow(QWidget *window, bool activate)
{
    activationWindow = window;
    activateOnMessage = activate;
}

void SingleInstanceGuard::acceptConnections()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readMessage(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            readMessage(socket);
            socket->deleteLater();
        });
        readMessage(socket);
    }
}

void SingleInstanceGuard::readMessage(QLocalSocket *socket)
{
    if (socket->property("done").toBool() || socket->bytesAvailable() < headerSize)
        return;
    QDataStream stream(socket->peek(headerSize));
    quint32 size = 0;
    stream >> size;
    if (size > maximumMessageSize) {
        socket->setProperty("done", true);
        socket->abort();
        return;
    }
    if (socket->bytesAvailable() < qint64(headerSize + size))
        return;
    socket->read(headerSize);
    const QString message = QString::fromUtf8(socket->read(size));
    socket->setProperty("done", true);
    socket->disconnectFromServer();
    if (activateOnMessage)
        activateWindow();
    Q_EMIT messageReceived(message);
}

void SingleInstanceGuard::activateWindow()
{
    if (!activationWindow)
        return;
    activationWindow->setWindowState(activationWindow->windowState() & ~Qt::WindowMinimized);
    activationWindow->show();
    activationWindow->raise();
    activationWindow->activateWindow();
}
