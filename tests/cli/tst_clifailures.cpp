// SPDX-License-Identifier: GPL-3.0-or-later
// lumivane-cli run as a process where the meter side goes wrong: a failing meter (injected
// faults), an unreadable image, the catalog checks, a kind without a table, and a meter held by
// another program. No output file is left behind and an existing one is kept.

#include "CliTestSupport.h"
#include "MeterLock.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtTest>

using namespace CliTest;

namespace {

const QByteArray oldContent = "an earlier download\n";

} // namespace

class TestCliFailures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void failingMeter_data();
    void failingMeter();
    void recordCounts_data();
    void recordCounts();
    void unreadableImage_data();
    void unreadableImage();
    void catalogChecks_data();
    void catalogChecks();
    void kindWithoutLayout_data();
    void kindWithoutLayout();
    void meterHeldByAnotherProgram_data();
    void meterHeldByAnotherProgram();
    void lockHeldWhileDownloading();
    void listMeters_data();
    void listMeters();

private:
    QTemporaryDir runtime;
};

void TestCliFailures::initTestCase()
{
    QVERIFY(runtime.isValid());
    QVERIFY2(QFileInfo(program()).isExecutable(), qPrintable(program()));
}

void TestCliFailures::failingMeter_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QByteArray>("faults");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");

    const QString keyInfo = QStringLiteral("读取关键信息失败!"),
                  keyInfoEn = QStringLiteral("Failed to read key infomation!");
    const QString units = QStringLiteral("读取单位编号失败!"), unitsEn = QStringLiteral("Failed to read unit no!");
    const QString mode = QStringLiteral("读取模式失败!"), modeEn = QStringLiteral("Failed to read mode!");
    const QString count = QStringLiteral("读取记录数量失败!"),
                  countEn = QStringLiteral("Failed to Read Record Number！");
    const QString data = QStringLiteral("读取记录数据失败!"), dataEn = QStringLiteral("Failed to Read Record Data！");
    const QString name = QStringLiteral("读取记录名称失败!"), nameEn = QStringLiteral("Failed to Read Record Name！");

    // Requests are numbered from 1. Identification: key information, unit slots, mode (kinds 1
    // and 4). The records download then reads the unit slots, the mode, the record count and the
    // memory; the spectral page reads slots and mode when it opens, then downloads the same way.
    // kind1: 6 records = 5 record chunks; kind4: 6 records = 5 record chunks + 1 name chunk.
    for (const char *command : {"identify", "records", "spectra"}) {
        QTest::addRow("key information error reply, %s", command)
            << "kind1" << QByteArray(R"({"keyInfoError": true})") << command << keyInfo << keyInfoEn;
        QTest::addRow("no key information, %s", command)
            << "kind1" << QByteArray(R"({"badCheck": [1]})") << command << keyInfo << keyInfoEn;
        QTest::addRow("identification unit slots, %s", command)
            << "kind2" << QByteArray(R"({"badCheck": [2]})") << command << units << unitsEn;
        QTest::addRow("identification mode, %s", command)
            << "kind1" << QByteArray(R"({"badCheck": [3]})") << command << mode << modeEn;
    }
    QTest::newRow("identify record count")
        << "kind2" << QByteArray(R"({"badCheck": [3]})") << "identify" << count << countEn;
    QTest::newRow("meter unplugged") << "kind1" << QByteArray(R"({"unplugAfterReports": 0})") << "records"
                                     << QStringLiteral("未找到仪器! 请检查USB连接。")
                                     << QStringLiteral("No meter found! Check the USB connection.");

    QTest::newRow("records: unit slots") << "kind1" << QByteArray(R"({"badCheck": [4]})") << "records" << units
                                         << unitsEn;
    QTest::newRow("records: mode") << "kind4" << QByteArray(R"({"badCheck": [5]})") << "records" << mode << modeEn;
    QTest::newRow("records: count") << "kind1" << QByteArray(R"({"badCheck": [6]})") << "records" << count << countEn;
    QTest::newRow("records: count too large for memory")
        << "kind5" << QByteArray(R"({})") << "records big" << count << countEn;
    QTest::newRow("records: first chunk")
        << "kind1" << QByteArray(R"({"badCheck": [7]})") << "records" << data << dataEn;
    QTest::newRow("records: last chunk") << "kind1"
                                         << QByteArray(R"({"headerBytes": {"requests": [11], "bytes": "0000"}})")
                                         << "records" << data << dataEn;
    QTest::newRow("records: name chunk") << "kind4" << QByteArray(R"({"badCheck": [12]})") << "records" << name
                                         << nameEn;
    QTest::newRow("records: probe names")
        << "kind6" << QByteArray(R"({"badCheck": [9]})") << "records" << name << nameEn;

    QTest::newRow("spectra: page unit slots")
        << "kind1" << QByteArray(R"({"badCheck": [4]})") << "spectra" << units << unitsEn;
    QTest::newRow("spectra: page mode") << "kind4" << QByteArray(R"({"badCheck": [5]})") << "spectra" << mode << modeEn;
    QTest::newRow("spectra: unit slots") << "kind3" << QByteArray(R"({"badCheck": [4]})") << "spectra" << units
                                         << unitsEn;
    QTest::newRow("spectra: count") << "kind1" << QByteArray(R"({"badCheck": [8]})") << "spectra" << count << countEn;
    QTest::newRow("spectra: data chunk") << "kind1" << QByteArray(R"({"badCheck": [10]})") << "spectra" << data
                                         << dataEn;
    QTest::newRow("spectra: name chunk") << "kind4" << QByteArray(R"({"badCheck": [14]})") << "spectra" << name
                                         << nameEn;
}

void TestCliFailures::failingMeter()
{
    QFETCH(QString, sample);
    QFETCH(QByteArray, faults);
    QFETCH(QString, command);
    QFETCH(QString, chinese);
    QFETCH(QString, english);

    QTemporaryDir dir;
    QJsonObject image = withFaults(sample, faults);
    if (command == QLatin1String("records big")) {
        // A count whose record area would run into the name area cannot be real.
        image.insert(QStringLiteral("recordCount"), 20000000);
        command = QStringLiteral("records");
    }
    const QString imagePath = writeImage(dir, QStringLiteral("image.json"), image);

    for (const bool zh : {true, false}) {
        QTemporaryDir work;
        QStringList arguments = meterArguments(imagePath, zh) << command;
        const QString output = work.filePath(QStringLiteral("out.csv"));
        if (command != QLatin1String("identify"))
            arguments << QStringLiteral("-o") << output;
        // In English an earlier file is in the way; in Chinese there is none.
        if (!zh)
            QVERIFY(writeFile(output, oldContent));

        const Result result = run(arguments, work.path(), runtime.path());
        QVERIFY(!result.crashed);
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(QString::fromUtf8(result.err), (zh ? chinese : english) + QLatin1Char('\n'));
        QCOMPARE(result.out, QByteArray());
        if (zh) {
            QVERIFY2(filesIn(work.path()).isEmpty(), qPrintable(filesIn(work.path()).join(QLatin1Char(' '))));
        } else {
            QCOMPARE(readFile(output), oldContent);
            if (command != QLatin1String("identify"))
                QCOMPARE(filesIn(work.path()), QStringList{QStringLiteral("out.csv")});
        }
    }
}

void TestCliFailures::recordCounts_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("memoryRequest"); // the first memory request of the command, made to fail
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // standard output for identify, standard error otherwise
    QTest::addColumn<int>("csvRows");

    // kind1: records reads memory from request 7, spectra from request 9. A refusal that came
    // after a memory request would tell that request's failure instead.
    const QString tooMany = QStringLiteral(
        "Exporting data failed! out.xls: the sheet holds at most 65,535 records; the meter holds 65536\n");
    QTest::newRow("65,536 records to xls") << 65536LL << "records"
                                           << "out.xls" << 7 << 1 << tooMany << 0;
    QTest::newRow("65,536 spectra to xls") << 65536LL << "spectra"
                                           << "out.xls" << 9 << 1 << tooMany << 0;
    QTest::newRow("1,048,576 records to xlsx")
        << 1048576LL << "records"
        << "out.xlsx" << 7 << 1
        << "Exporting data failed! out.xlsx: the sheet holds at most 1,048,575 records; the meter holds 1048576\n"
        << 0;
    QTest::newRow("65,536 records to csv") << 65536LL << "records"
                                           << "out.csv" << 0 << 0 << "" << 65537;
    QTest::newRow("count 0xFFFFFFFF, identify")
        << 0xFFFFFFFFLL << "identify"
        << "" << 0 << 0 << "serial: 10010001\nfirmware: 1.02\nmodel: 1001\nkind: 1\nmode: 0\nrecords: 4294967295\n"
        << 0;
    QTest::newRow("count 0xFFFFFFFF, records") << 0xFFFFFFFFLL << "records"
                                               << "out.csv" << 7 << 1 << "Failed to Read Record Number！\n"
                                               << 0;
}

void TestCliFailures::recordCounts()
{
    QFETCH(qint64, count);
    QFETCH(QString, command);
    QFETCH(QString, file);
    QFETCH(int, memoryRequest);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(int, csvRows);

    QTemporaryDir dir, work;
    QJsonObject image = withFaults(
        QStringLiteral("kind1"),
        memoryRequest
            ? QStringLiteral(R"({"headerBytes": {"requests": [%1], "bytes": "0000"}})").arg(memoryRequest).toUtf8()
            : QByteArray("{}"));
    image.insert(QStringLiteral("recordCount"), count);
    QStringList arguments = meterArguments(writeImage(dir, QStringLiteral("image.json"), image), false) << command;
    if (!file.isEmpty())
        arguments << QStringLiteral("-o") << file;
    const Result result = run(arguments, work.path(), runtime.path());
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(QString::fromUtf8(command == QLatin1String("identify") ? result.out : result.err), said);
    Grid grid;
    QString error;
    if (csvRows > 0)
        QVERIFY2(parseCsv(readFile(work.filePath(file)), grid, error), qPrintable(error));
    QCOMPARE(grid.size(), csvRows);
    QCOMPARE(filesIn(work.path()), csvRows > 0 ? QStringList{file} : QStringList());
}

void TestCliFailures::unreadableImage_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("cannot be read");
    QTest::newRow("not JSON") << QByteArray("{") << QString();
    QTest::newRow("unknown key") << QByteArray(R"({"modelCode": 1, "unitSlots": [], "colour": 1})")
                                 << QStringLiteral("colour");
}

void TestCliFailures::unreadableImage()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QTemporaryDir work;
    const QString image = work.filePath(QStringLiteral("image.json"));
    if (!content.isEmpty())
        QVERIFY(writeFile(image, content));
    const Result result = run(meterArguments(image, false)
                                  << QStringLiteral("records") << QStringLiteral("-o") << QStringLiteral("r.csv"),
                              work.path(), runtime.path());
    QCOMPARE(result.exitCode, 1);
    const QString err = QString::fromUtf8(result.err);
    QVERIFY2(err.startsWith(QStringLiteral("Cannot read the meter image %1: ").arg(image)), qPrintable(err));
    QVERIFY2(err.contains(reason), qPrintable(err));
    // One line, the file named once.
    QCOMPARE(err.count(QLatin1Char('\n')), 1);
    QCOMPARE(err.count(image), 1);
    QVERIFY(!QFile::exists(work.filePath(QStringLiteral("r.csv"))));
}

void TestCliFailures::catalogChecks_data()
{
    QTest::addColumn<QByteArray>("meterno");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("chinese");
    QTest::addColumn<QString>("english");
    QTest::newRow("firmware older than the catalog's")
        << QByteArray("[Device1]\nMeterNo=1001\nVersion=103\nUIIndex=1\n") << 1 << QStringLiteral("仪器版本过低!")
        << QStringLiteral("The instrument version is too low!");
    QTest::newRow("firmware equal to the catalog's")
        << QByteArray("[Device1]\nMeterNo=1001\nVersion=102\nUIIndex=1\n") << 0 << QString() << QString();
    const QString mismatch = QStringLiteral("仪器与软件不匹配!"),
                  mismatchEn = QStringLiteral("The Instrument and the Software do Not Match!");
    QTest::newRow("model not in the catalog")
        << QByteArray("[Device1]\nMeterNo=2001\nVersion=100\nUIIndex=2\n") << 1 << mismatch << mismatchEn;
    // A catalog without a usable row names no meter: none is taken on trust as the current kind.
    QTest::newRow("no meterno") << QByteArray() << 1 << mismatch << mismatchEn;
    QTest::newRow("empty meterno") << QByteArray("") << 1 << mismatch << mismatchEn;
    QTest::newRow("garbage meterno") << QByteArray("\x01\xfe}{ no groups") << 1 << mismatch << mismatchEn;
    QTest::newRow("meterno with a version that is no number")
        << QByteArray("[Device1]\nMeterNo=1001\nVersion=v1\nUIIndex=1\n") << 1 << mismatch << mismatchEn;
}

void TestCliFailures::catalogChecks()
{
    QFETCH(QByteArray, meterno);
    QFETCH(int, exitCode);
    QFETCH(QString, chinese);
    QFETCH(QString, english);

    QTemporaryDir catalogs;
    if (!meterno.isNull()) // null: no file
        QVERIFY(writeFile(catalogs.filePath(QStringLiteral("meterno")), meterno));
    for (const char *name : {"unitno", "probeno"})
        QVERIFY(QFile::copy(QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files/") + QLatin1String(name),
                            catalogs.filePath(QLatin1String(name))));
    for (const bool zh : {true, false}) {
        QTemporaryDir work;
        const Result result = run(meterArguments(samplePath(QStringLiteral("kind1")), zh)
                                      << QStringLiteral("--catalog-dir") << catalogs.path() << QStringLiteral("records")
                                      << QStringLiteral("-o") << QStringLiteral("r.xls"),
                                  work.path(), runtime.path());
        QCOMPARE(result.exitCode, exitCode);
        if (exitCode == 0) {
            QCOMPARE(filesIn(work.path()), QStringList{QStringLiteral("r.xls")});
        } else {
            QCOMPARE(QString::fromUtf8(result.err), (zh ? chinese : english) + QLatin1Char('\n'));
            QVERIFY(filesIn(work.path()).isEmpty());
        }
    }
}

void TestCliFailures::kindWithoutLayout_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // on standard output for identify, on standard error otherwise
    QTest::newRow("identify tells the kind")
        << "identify" << 0
        << QStringLiteral("serial: 10010001\nfirmware: 1.02\nmodel: 1001\nkind: 7\nmode: -\nrecords: 6\n");
    QTest::newRow("records") << "records" << 1 << QStringLiteral("This meter kind (7) is not supported!\n");
    QTest::newRow("spectra") << "spectra" << 1 << QStringLiteral("This meter (kind 7) has no spectral data!\n");
}

void TestCliFailures::kindWithoutLayout()
{
    // A catalog that gives the meter a kind the program has no table for: the window would show
    // an empty table; the command line says why it writes nothing.
    QFETCH(QString, command);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QTemporaryDir catalogs, work;
    QVERIFY(
        writeFile(catalogs.filePath(QStringLiteral("meterno")), "[Device1]\nMeterNo=1001\nVersion=100\nUIIndex=7\n"));
    QVERIFY(QFile::copy(QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files/unitno"),
                        catalogs.filePath(QStringLiteral("unitno"))));
    QStringList arguments = meterArguments(samplePath(QStringLiteral("kind1")), false)
                            << QStringLiteral("--catalog-dir") << catalogs.path() << command;
    if (command != QLatin1String("identify"))
        arguments << QStringLiteral("-o") << QStringLiteral("out.csv");
    const Result result = run(arguments, work.path(), runtime.path());
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(QString::fromUtf8(exitCode == 0 ? result.out : result.err), said);
    QVERIFY(filesIn(work.path()).isEmpty());
}

void TestCliFailures::meterHeldByAnotherProgram_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("chinese");
    for (const char *command : {"identify", "records", "spectra"})
        for (const bool chinese : {true, false})
            QTest::addRow("%s %s", command, chinese ? "zh" : "en") << command << chinese;
}

void TestCliFailures::meterHeldByAnotherProgram()
{
    QFETCH(QString, command);
    QFETCH(bool, chinese);

    // The window (here: this test) holds the meter's lock in the same runtime directory.
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    MeterLock window(0x2047, 0x0301, QStringLiteral("10010001"));
    const MeterLock::Result taken = window.tryLock();
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    QCOMPARE(taken, MeterLock::Locked);

    // Locked like a USB meter: a plain virtual meter lives inside its program and is never locked.
    QTemporaryDir dir, work;
    const QString image = writeImage(dir, QStringLiteral("shared.json"),
                                     withFaults(QStringLiteral("kind1"), R"({"sharedDevice": true})"));
    QStringList arguments = meterArguments(image, chinese) << command;
    if (command != QLatin1String("identify"))
        arguments << QStringLiteral("-o") << QStringLiteral("out.xls");
    Result result = run(arguments, work.path(), runtime.path());
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(QString::fromUtf8(result.err),
             (chinese ? QStringLiteral("仪器正被其他程序使用，请先关闭该程序!")
                      : QStringLiteral("The meter is in use by another program. Close that program first!"))
                 + QLatin1Char('\n'));
    QCOMPARE(result.out, QByteArray());
    QVERIFY(filesIn(work.path()).isEmpty());

    // Once the window lets the meter go, the command line gets it.
    window.unlock();
    result = run(arguments, work.path(), runtime.path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
}

void TestCliFailures::lockHeldWhileDownloading()
{
    // The meter takes 3 s to answer the second record chunk: meanwhile the command line holds the
    // meter, and the window (here: this test) is refused.
    QTemporaryDir dir, work;
    const QString imagePath =
        writeImage(dir, QStringLiteral("slow.json"),
                   withFaults(QStringLiteral("kind2"),
                              R"({"lateReply": {"requests": [6], "delayMs": 3000}, "sharedDevice": true})"));
    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    cli.setProcessEnvironment(environment);
    cli.setWorkingDirectory(work.path());
    cli.start(program(), {QStringLiteral("--virtual-meter"), imagePath, QStringLiteral("records"), QStringLiteral("-o"),
                          QStringLiteral("r.csv")});
    QVERIFY(cli.waitForStarted());
    const qint64 cliPid = cli.processId();

    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    MeterLock window(0x2047, 0x0301, QStringLiteral("20010001"));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(window.filePath()), 2500);
    const MeterLock::Result whileDownloading = window.tryLock();
    const qint64 holder = window.holderPid();
    QVERIFY(cli.waitForFinished(30000));
    const MeterLock::Result afterwards = window.tryLock();
    qputenv("XDG_RUNTIME_DIR", savedRuntime);

    QCOMPARE(whileDownloading, MeterLock::HeldElsewhere);
    QCOMPARE(holder, cliPid);
    QCOMPARE(cli.exitCode(), 0);
    QCOMPARE(afterwards, MeterLock::Locked);
    QVERIFY(QFile::exists(work.filePath(QStringLiteral("r.csv"))));
}

void TestCliFailures::listMeters_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QByteArray>("faults");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<bool>("lockHeld"); // the window (here: this test) holds the meter's lock
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QStringList list{"list"};
    const QByteArray none = "{}", shared = R"({"sharedDevice": true})", unplugged = R"({"unplugAfterReports": 0})";
    QTest::newRow("kind1 opens") << "kind1" << none << list << false << true << 0 << "virtual\t10010001\tok\n"
                                 << "";
    QTest::newRow("kind6 opens, English") << "kind6" << none << list << false << false << 0 << "virtual\t60010001\tok\n"
                                          << "";
    QTest::newRow("shared and free: ok, the lock let go")
        << "kind1" << shared << list << false << false << 0 << "virtual\t10010001\tok\n"
        << "";
    QTest::newRow("held by the window") << "kind1" << shared << list << true << true << 1
                                        << QStringLiteral("virtual\t10010001\t正被其他程序使用\n") << "";
    QTest::newRow("held by the window, English")
        << "kind1" << shared << list << true << false << 1 << "virtual\t10010001\theld by another program\n"
        << "";
    QTest::newRow("no meter") << "kind1" << unplugged << list << false << true << 1 << ""
                              << QStringLiteral("未找到仪器! 请检查USB连接。\n");
    QTest::newRow("no meter, English") << "kind1" << unplugged << list << false << false << 1 << ""
                                       << "No meter found! Check the USB connection.\n";
    const QStringList wrongSerial{"--serial", "10010002"};
    QTest::newRow("list of the named meter") << "kind1" << none << QStringList{"list", "--serial=10010001"} << false
                                             << true << 0 << "virtual\t10010001\tok\n"
                                             << "";
    QTest::newRow("list of another serial") << "kind1" << none << (list + wrongSerial) << false << true << 1 << ""
                                            << QStringLiteral("没有序列号为 10010002 的仪器\n");
    QTest::newRow("identify another serial, English")
        << "kind1" << none << (QStringList{"identify"} + wrongSerial) << false << false << 1 << ""
        << "no meter with serial number 10010002 is attached\n";
    QTest::newRow("identify the named meter")
        << "kind1" << none << QStringList{"identify", "--serial", "10010001"} << false << false << 0
        << "serial: 10010001\nfirmware: 1.02\nmodel: 1001\nkind: 1\nmode: 0\nrecords: 6\n"
        << "";
}

void TestCliFailures::listMeters()
{
    QFETCH(QString, sample);
    QFETCH(QByteArray, faults);
    QFETCH(QStringList, command);
    QFETCH(bool, lockHeld);
    QFETCH(bool, chinese);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    MeterLock window(0x2047, 0x0301, QStringLiteral("10010001")); // its file is named now
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    if (lockHeld)
        QCOMPARE(window.tryLock(), MeterLock::Locked);

    QTemporaryDir dir, work;
    const QString image = writeImage(dir, QStringLiteral("meter.json"), withFaults(sample, faults));
    const Result result = run(meterArguments(image, chinese) + command, work.path(), runtime.path());
    QVERIFY(!result.crashed);
    QCOMPARE(result.exitCode, exitCode);
    QCOMPARE(QString::fromUtf8(result.out), out);
    QCOMPARE(QString::fromUtf8(result.err), err);
    QVERIFY(filesIn(work.path()).isEmpty());
    // Listing leaves the meter's lock as it found it: held by the window, or free to be taken.
    if (!lockHeld)
        QCOMPARE(window.tryLock(), MeterLock::Locked);
}

QTEST_GUILESS_MAIN(TestCliFailures)
#include "tst_clifailures.moc"
