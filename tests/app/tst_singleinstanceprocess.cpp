// SPDX-License-Identifier: GPL-3.0-or-later
#include "SingleInstanceGuard.h"

#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

// The real program started as separate processes. Each case plays one copy in the test process
// with a guard keyed like the program, so that the test sees what that copy sees.
class TestSingleInstanceProcess : public QObject
{
    Q_OBJECT

private:
    QString program;
    QString key;

    // True once a copy of the program serves its socket.
    bool programListens() const
    {
        QLocalSocket socket;
        socket.connectToServer(key);
        return socket.waitForConnected(200);
    }

    // Skips the case when a copy of this build's program is already running on this machine.
    bool noCopyRunning() const
    {
        SingleInstanceGuard probe(key);
        return !probe.isRunning();
    }

private Q_SLOTS:
    void initTestCase()
    {
        program = QFileInfo(QStringLiteral(LUMIVANE_BINARY_DIR "/bin/lumivane")).canonicalFilePath();
        QVERIFY2(!program.isEmpty(), "the lumivane executable is built before this test");
        key = SingleInstanceGuard::keyFor(program);
    }

    // The real first copy gets the message of a second one; after it is killed, its lock and socket
    // are left behind, and the next copy takes both over.
    void realFirstCopyReceivesTheMessage()
    {
        if (!noCopyRunning())
            QSKIP("a copy of this build's lumivane is running");
        QProcess first;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        first.setProcessEnvironment(env);
        first.setProcessChannelMode(QProcess::MergedChannels);
        QByteArray output;
        connect(&first, &QProcess::readyRead, this, [&] { output += first.readAll(); });
        first.start(program, {});
        QVERIFY(first.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(programListens(), 20000);

        {
            SingleInstanceGuard second(key);
            QVERIFY(second.isRunning());
            QVERIFY(second.sendMessage(QStringLiteral("active!!!!!"), 5000));
        }
        QTRY_VERIFY2_WITH_TIMEOUT(output.contains("handleAppMessage active!!!!!"), output.constData(), 10000);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        QVERIFY(first.waitForFinished(5000));

        SingleInstanceGuard next(key);
        QVERIFY(!next.isRunning());
        QSignalSpy received(&next, &SingleInstanceGuard::messageReceived);
        SingleInstanceGuard later(key);
        QVERIFY(later.isRunning());
        QVERIFY(later.sendMessage(QStringLiteral("active!!!!!"), 5000));
        QTRY_COMPARE(received.count(), 1);
    }

    // The real second copy, on a virtual X display: it sends its message, shows its box, and once
    // the box is closed with the keyboard it ends with 0.
    void realSecondCopyEndsWithZero()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xvfb.isEmpty() || xdotool.isEmpty()) {
            // The test script installs both, so a build server without them has a broken set-up;
            // a skip there would pass unnoticed.
            if (qEnvironmentVariableIsSet("CI"))
                QFAIL("Xvfb or xdotool missing on the build server (scripts/install-deps.sh installs them)");
            QSKIP("needs Xvfb and xdotool (scripts/install-deps.sh installs them)");
        }
        if (!noCopyRunning())
            QSKIP("a copy of this build's lumivane is running");

        QProcess server;
        server.start(xvfb,
                     {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                      QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(server.waitForStarted(5000));
        QByteArray displayNumber;
        QTRY_VERIFY_WITH_TIMEOUT((displayNumber += server.readAllStandardOutput()).contains('\n'), 15000);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), QLatin1Char(':') + QString::fromLatin1(displayNumber.trimmed()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));

        SingleInstanceGuard first(key);
        QVERIFY(!first.isRunning());
        QSignalSpy received(&first, &SingleInstanceGuard::messageReceived);

        QProcess second;
        second.setProcessEnvironment(env);
        second.setProcessChannelMode(QProcess::ForwardedChannels);
        second.start(program, {});
        QVERIFY(second.waitForStarted(5000));
        QTRY_COMPARE_WITH_TIMEOUT(received.count(), 1, 20000);
        QCOMPARE(received.at(0).at(0).toString(), QStringLiteral("active!!!!!"));

        QProcess find;
        find.setProcessEnvironment(env);
        find.start(xdotool, {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--name"),
                             QStringLiteral("^Warn$")});
        const bool found = find.waitForFinished(20000);
        if (!found)
            find.kill();
        QVERIFY2(found, "no box titled \"Warn\" appeared");
        const QString box = QString::fromLatin1(find.readAllStandardOutput()).split(QLatin1Char('\n')).first();
        QVERIFY(!box.isEmpty());
        QCOMPARE(second.state(), QProcess::Running); // the box keeps the copy open

        // Keyboard input through the X test extension, as a user pressing Enter on the box.
        QProcess press;
        press.setProcessEnvironment(env);
        press.start(xdotool, {QStringLiteral("windowfocus"), QStringLiteral("--sync"), box, QStringLiteral("key"),
                              QStringLiteral("Return")});
        QVERIFY(press.waitForFinished(10000));

        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);

        server.terminate();
        QVERIFY(server.waitForFinished(5000));
    }
};

QTEST_MAIN(TestSingleInstanceProcess)
#include "tst_singleinstanceprocess.moc"
