// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedUserDialogs.h"
#include "SingleInstanceGuard.h"
#include "StartUp.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <QUuid>
#include <QWidget>

// Two guards in one process stand for two copies of the program: the first takes the lock and
// serves the socket, the second finds the lock taken and sends its message over the socket.
class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    static QString uniqueKey()
    {
        return SingleInstanceGuard::keyFor(QStringLiteral("/test/") + QUuid::createUuid().toString(QUuid::Id128));
    }

private Q_SLOTS:
    void keysSeparateExecutablesAndUsers()
    {
        const QString key = SingleInstanceGuard::keyFor(QStringLiteral("/opt/a/lumivane"), QStringLiteral("1000"));
        QCOMPARE(SingleInstanceGuard::keyFor(QStringLiteral("/opt/a/lumivane"), QStringLiteral("1000")), key);
        QVERIFY(SingleInstanceGuard::keyFor(QStringLiteral("/opt/b/lumivane"), QStringLiteral("1000")) != key);
        QVERIFY(SingleInstanceGuard::keyFor(QStringLiteral("/opt/a/lumivane"), QStringLiteral("1001")) != key);
        QVERIFY(!key.contains(QLatin1Char('/')));
    }

    void secondCopyReachesTheFirst()
    {
        const QString key = uniqueKey();
        SingleInstanceGuard first(key);
        QVERIFY(!first.isRunning());
        QSignalSpy received(&first, &SingleInstanceGuard::messageReceived);

        SingleInstanceGuard second(key);
        QVERIFY(second.isRunning());
        QVERIFY(second.sendMessage(QStringLiteral("active!!!!!"), 5000));
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("active!!!!!"));

        // A third copy is turned away as well, and its message arrives too.
        SingleInstanceGuard third(key);
        QVERIFY(third.isRunning());
        QVERIFY(third.sendMessage(QString::fromUtf8("第二条"), 5000));
        QTRY_COMPARE(received.count(), 2);
        QCOMPARE(received.at(1).at(0).toString(), QString::fromUtf8("第二条"));
    }

    void secondCopyWarnsAndEndsWithZero()
    {
        const QString key = uniqueKey();
        SingleInstanceGuard first(key);
        QVERIFY(!first.isRunning());
        QSignalSpy received(&first, &SingleInstanceGuard::messageReceived);

        SingleInstanceGuard second(key);
        QVERIFY(second.isRunning());
        ScriptedUserDialogs dialogs;
        QCOMPARE(StartUp::runSecondCopy(second, dialogs), 0);
        QCOMPARE(dialogs.shown().size(), 1);
        const ScriptedUserDialogs::Shown &box = dialogs.shown().first();
        QCOMPARE(box.kind, ScriptedUserDialogs::Shown::Information);
        QCOMPARE(box.title, QStringLiteral("Warn"));
        QCOMPARE(box.text, QStringLiteral("Device already opened!"));
        QCOMPARE(box.parent, nullptr);
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("active!!!!!"));
    }

    // Nobody listening: the second copy still warns and ends, after the message time-out at most.
    void messageToNobodyFailsWithinTheTimeout()
    {
        SingleInstanceGuard lonely(uniqueKey());
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!lonely.sendMessage(QStringLiteral("active!!!!!"), 300));
        QVERIFY(timer.elapsed() < 3000);
    }

    void messageBringsTheWindowBack()
    {
        const QString key = uniqueKey();
        QWidget window;
        window.showMinimized();
        SingleInstanceGuard first(key);
        QVERIFY(!first.isRunning());
        first.setActivationWindow(&window, true);

        SingleInstanceGuard second(key);
        QVERIFY(second.isRunning());
        QVERIFY(second.sendMessage(QStringLiteral("active!!!!!"), 5000));
        QTRY_VERIFY(!(window.windowState() & Qt::WindowMinimized));
        QVERIFY(window.isVisible());
    }

    void lockIsReleasedWhenTheFirstCopyEnds()
    {
        const QString key = uniqueKey();
        {
            SingleInstanceGuard first(key);
            QVERIFY(!first.isRunning());
        }
        SingleInstanceGuard next(key);
        QVERIFY(!next.isRunning());
        QSignalSpy received(&next, &SingleInstanceGuard::messageReceived);
        SingleInstanceGuard second(key);
        QVERIFY(second.isRunning());
        QVERIFY(second.sendMessage(QStringLiteral("active!!!!!"), 5000));
        QTRY_COMPARE(received.count(), 1);
    }

    // A copy that has run for a long time still keeps later copies out.
    void oldLockStillHolds()
    {
        const QString key = uniqueKey();
        SingleInstanceGuard first(key);
        QVERIFY(!first.isRunning());
        QFile lock(first.lockFilePath());
        QVERIFY(lock.open(QIODevice::ReadOnly));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTimeUtc().addDays(-2), QFileDevice::FileModificationTime));
        lock.close();

        SingleInstanceGuard second(key);
        QVERIFY(second.isRunning());
    }

    // Anyone can connect to the socket; what is not a whole message of ours is dropped.
    void garbageIsIgnored()
    {
        const QString key = uniqueKey();
        SingleInstanceGuard first(key);
        QVERIFY(!first.isRunning());
        QSignalSpy received(&first, &SingleInstanceGuard::messageReceived);
        {
            QLocalSocket socket;
            socket.connectToServer(first.serverName());
            QVERIFY(socket.waitForConnected(2000));
            socket.write(QByteArray::fromHex("ffffffff") + QByteArray(64, 'x'));
            QVERIFY(socket.waitForBytesWritten(2000));
            QLocalSocket partial;
            partial.connectToServer(first.serverName());
            QVERIFY(partial.waitForConnected(2000));
            partial.write(QByteArray::fromHex("00000010") + "short");
            QVERIFY(partial.waitForBytesWritten(2000));
            QTest::qWait(100);
        }
        QTest::qWait(100);
        QCOMPARE(received.count(), 0);

        SingleInstanceGuard second(key);
        QVERIFY(second.sendMessage(QStringLiteral("active!!!!!"), 5000));
        QTRY_COMPARE(received.count(), 1);
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
