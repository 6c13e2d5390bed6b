// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterImage.h"
#include "MeterLock.h"
#include "MeterSession.h"
#include "VirtualMeterTransport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A sample meter; shared, it is locked as a USB meter is.
MeterImage sampleImage(const QString &name, quint32 serial, bool shared = true)
{
    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/") + name, image, error))
        qFatal("sample %s: %s", qPrintable(name), qPrintable(error));
    image.serialNo = serial;
    image.faults.sharedDevice = shared;
    return image;
}

// Points the lock directory at dir for the life of the object.
class RuntimeDir
{
public:
    explicit RuntimeDir(const QString &dir) : saved(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("XDG_RUNTIME_DIR", dir.toLocal8Bit());
    }
    ~RuntimeDir() { qputenv("XDG_RUNTIME_DIR", saved); }

private:
    QByteArray saved;
};

} // namespace

class TestMeterLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fileNameIsSafeForAnySerial_data();
    void fileNameIsSafeForAnySerial();
    void directoryFollowsRuntimeDirectory();
    void secondHolderIsRefusedUntilTheFirstLets();
    void lockOfEndedProcessIsTakenOver();
    void lockNeverGoesStaleByAge();
    void sessionRefusesMeterHeldElsewhere();
    void sessionsThatDoNotBlock_data();
    void sessionsThatDoNotBlock();
};

void TestMeterLock::fileNameIsSafeForAnySerial_data()
{
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("expected");
    QTest::newRow("digits") << "10010001"
                            << "lumivane-meter-2047-0301-10010001.lock";
    QTest::newRow("letters and marks") << "Ab-9_x.y"
                                       << "lumivane-meter-2047-0301-Ab-9_x.y.lock";
    QTest::newRow("slash cannot leave the folder") << "../a/b"
                                                   << "lumivane-meter-2047-0301-%2E.%2Fa%2Fb.lock";
    QTest::newRow("space and percent") << "A 1%"
                                       << "lumivane-meter-2047-0301-A%201%25.lock";
    QTest::newRow("non-ASCII as UTF-8 bytes") << QString::fromUtf8("仪") << "lumivane-meter-2047-0301-%E4%BB%AA.lock";
    QTest::newRow("device path") << "/dev/hidraw3"
                                 << "lumivane-meter-2047-0301-%2Fdev%2Fhidraw3.lock";
}

void TestMeterLock::fileNameIsSafeForAnySerial()
{
    QFETCH(QString, serial);
    QFETCH(QString, expected);
    QCOMPARE(MeterLock::fileName(0x2047, 0x0301, serial), expected);
}

void TestMeterLock::directoryFollowsRuntimeDirectory()
{
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    {
        RuntimeDir env(runtime.path());
        QCOMPARE(QDir(MeterLock::directory()).canonicalPath(), QDir(runtime.path()).canonicalPath());
        MeterLock lock(0x2047, 0x0301, QStringLiteral("7"));
        QCOMPARE(QFileInfo(lock.filePath()).dir().canonicalPath(), QDir(runtime.path()).canonicalPath());
    }
    {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(MeterLock::directory(), QStringLiteral("/tmp"));
        qputenv("XDG_RUNTIME_DIR", saved);
    }
    {
        // Not a directory at all.
        QFile plain(runtime.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        RuntimeDir env(plain.fileName());
        QCOMPARE(MeterLock::directory(), QStringLiteral("/tmp"));
    }
}

void TestMeterLock::secondHolderIsRefusedUntilTheFirstLets()
{
    QTemporaryDir runtime;
    RuntimeDir env(runtime.path());
    MeterLock first(0x2047, 0x0301, QStringLiteral("123"));
    MeterLock second(0x2047, 0x0301, QStringLiteral("123"));
    QCOMPARE(first.tryLock(), MeterLock::Locked);
    QVERIFY(first.isLocked());
    QVERIFY(QFile::exists(first.filePath()));
    QCOMPARE(first.tryLock(), MeterLock::Locked); // taking it again keeps it

    QCOMPARE(second.tryLock(), MeterLock::HeldElsewhere);
    QVERIFY(!second.isLocked());
    QCOMPARE(second.holderPid(), QCoreApplication::applicationPid());

    first.unlock();
    QVERIFY(!QFile::exists(first.filePath()));
    QCOMPARE(second.tryLock(), MeterLock::Locked);
}

void TestMeterLock::lockOfEndedProcessIsTakenOver()
{
    QTemporaryDir runtime;
    RuntimeDir env(runtime.path());
    // A process that has ended leaves its lock file behind (a crash, a kill -9).
    QProcess ended;
    ended.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("echo $$")});
    QVERIFY(ended.waitForFinished());
    const QByteArray deadPid = ended.readAllStandardOutput().trimmed();
    QVERIFY(deadPid.toLongLong() > 0);

    MeterLock lock(0x2047, 0x0301, QStringLiteral("55"));
    QFile stale(lock.filePath());
    QVERIFY(stale.open(QIODevice::WriteOnly));
    stale.write(deadPid + "\nsh\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    QCOMPARE(lock.tryLock(), MeterLock::Locked);
}

void TestMeterLock::lockNeverGoesStaleByAge()
{
    QTemporaryDir runtime;
    RuntimeDir env(runtime.path());
    MeterLock window(0x2047, 0x0301, QStringLiteral("77"));
    QCOMPARE(window.tryLock(), MeterLock::Locked);
    // The window has held its meter for a day.
    QFile file(window.filePath());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
    file.close();
    MeterLock cli(0x2047, 0x0301, QStringLiteral("77"));
    QCOMPARE(cli.tryLock(), MeterLock::HeldElsewhere);
}

void TestMeterLock::sessionRefusesMeterHeldElsewhere()
{
    QTemporaryDir runtime;
    RuntimeDir env(runtime.path());
    const MeterImage image = sampleImage(QStringLiteral("kind1.json"), 4242);

    MeterSession holder;
    QVERIFY(holder.openUsb(std::make_unique<VirtualMeterTransport>(image)));
    QVERIFY(!holder.lastOpenHeldElsewhere());

    // A second program finds the same meter: it is refused before it sends a single request.
    auto transport = std::make_unique<VirtualMeterTransport>(image);
    const std::shared_ptr<VirtualMeter> meter = transport->meter();
    MeterSession second;
    QVERIFY(!second.openUsb(std::move(transport)));
    QVERIFY(second.lastOpenHeldElsewhere());
    QVERIFY(!second.lastOpenAccessDenied());
    QVERIFY(!second.isLinkOpen());
    QCOMPARE(meter->outputReportsReceived(), 0);

    // The holder still talks to its meter.
    KeyInfo info;
    QCOMPARE(holder.protocol().readKeyInfo(info), int(MeterProtocol::Ok));
    QCOMPARE(info.serialNo, 4242u);

    holder.close();
    QVERIFY(second.openUsb(std::make_unique<VirtualMeterTransport>(image)));
    QVERIFY(!second.lastOpenHeldElsewhere());
    second.close();
    // Closing lets the lock file go.
    QVERIFY(QDir(runtime.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

void TestMeterLock::sessionsThatDoNotBlock_data()
{
    QTest::addColumn<quint32>("secondSerial");
    QTest::addColumn<bool>("shared");
    QTest::addColumn<int>("lockFiles");
    QTest::newRow("different meters") << 2u << true << 2;
    // Each demo program has a virtual meter of its own, even when both play one image.
    QTest::newRow("virtual meters of one image") << 1u << false << 0;
}

void TestMeterLock::sessionsThatDoNotBlock()
{
    QFETCH(quint32, secondSerial);
    QFETCH(bool, shared);
    QFETCH(int, lockFiles);
    QTemporaryDir runtime;
    RuntimeDir env(runtime.path());
    MeterSession a, b;
    const QString kind1 = QStringLiteral("kind1.json");
    QVERIFY(a.openUsb(std::make_unique<VirtualMeterTransport>(sampleImage(kind1, 1, shared))));
    QVERIFY(b.openUsb(std::make_unique<VirtualMeterTransport>(sampleImage(kind1, secondSerial, shared))));
    QCOMPARE(QDir(runtime.path()).entryList(QDir::Files | QDir::Hidden).size(), lockFiles);
}

QTEST_GUILESS_MAIN(TestMeterLock)
#include "tst_meterlock.moc"
