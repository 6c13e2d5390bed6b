// SPDX-License-Identifier: GPL-3.0-or-later
// What a second copy sends the running one, as fuzz input: the bytes go over a real local socket
// to a SingleInstanceGuard that holds the lock (the message parsing is private to the guard and
// runs on its socket's signals). Byte 0 sets how many bytes each write carries (1 to 256), so that
// a message also arrives in pieces; the rest is what the socket carries.
//
// A message is a 32-bit big-endian byte count and that many bytes of UTF-8: the guard reports it
// once, exactly when the count is at most 64 KiB and the bytes arrived, and reports nothing else.

#include "FuzzSupport.h"
#include "SingleInstanceGuard.h"

#include <QElapsedTimer>
#include <QLocalSocket>

namespace {

SingleInstanceGuard *guard = nullptr;
QStringList received;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::start(argc, argv);
    // A key of its own for each process; the guard goes (with its socket and lock file) at exit.
    static SingleInstanceGuard running(SingleInstanceGuard::keyFor(
        QCoreApplication::applicationFilePath(), QString::number(QCoreApplication::applicationPid())));
    guard = &running;
    FUZZ_CHECK(!guard->isRunning());
    QObject::connect(guard, &SingleInstanceGuard::messageReceived,
                     [](const QString &message) { received.append(message); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Reader input(data, size);
    const int piece = input.byte() + 1;
    const QByteArray bytes = input.rest();
    received.clear();

    QLocalSocket socket;
    socket.connectToServer(guard->serverName());
    FUZZ_CHECK(socket.waitForConnected(1000));
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        socket.write(bytes.mid(at, piece));
        socket.flush();
        QCoreApplication::processEvents();
    }
    socket.disconnectFromServer();
    // Until the guard has let go of its end of the connection.
    QElapsedTimer clock;
    clock.start();
    while (socket.state() != QLocalSocket::UnconnectedState || !guard->findChildren<QLocalSocket *>().isEmpty()) {
        FUZZ_CHECK(!clock.hasExpired(5000));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    const quint32 count = bytes.size() >= 4 ? quint32(quint8(bytes[0])) << 24 | quint32(quint8(bytes[1])) << 16
                                                  | quint32(quint8(bytes[2])) << 8 | quint8(bytes[3])
                                            : 0;
    const bool complete = bytes.size() >= 4 && count <= 64 * 1024 && bytes.size() >= 4 + qsizetype(count);
    FUZZ_CHECK(received.size() == (complete ? 1 : 0));
    if (complete)
        FUZZ_CHECK(received.first() == QString::fromUtf8(bytes.mid(4, count)));
    return 0;
}
