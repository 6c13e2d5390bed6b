// SPDX-License-Identifier: GPL-3.0-or-later
// lumivane-cli run as a process for its usage and its output files: usage errors and help,
// files that cannot be written, an existing file replaced only by a complete one, the format
// from the suffix or --format, the template in the working directory, and the progress bar on a
// terminal only.

#include "CliTestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace CliTest;

namespace {

const QByteArray oldContent = "an earlier download\n";

} // namespace

class TestCliOutput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void badUsage_data();
    void badUsage();
    void helpAndVersion_data();
    void helpAndVersion();
    void failedWriteGivesOneLine_data();
    void failedWriteGivesOneLine();
    void unwritableOutput_data();
    void unwritableOutput();
    void existingFileReplacedOnSuccess_data();
    void existingFileReplacedOnSuccess();
    void formatOptionWinsOverSuffix_data();
    void formatOptionWinsOverSuffix();
    void templateInWorkingDirectoryIsUsed();
    void progressOnlyOnTerminal_data();
    void progressOnlyOnTerminal();

private:
    QTemporaryDir runtime;
};

void TestCliOutput::initTestCase()
{
    QVERIFY(runtime.isValid());
    QVERIFY2(QFileInfo(program()).isExecutable(), qPrintable(program()));
}

void TestCliOutput::badUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("reason"); // in the language the arguments ask for
    const QString image = samplePath(QStringLiteral("kind1"));
    QTest::newRow("nothing") << QStringList{} << QStringLiteral("缺少命令");
    QTest::newRow("unknown command") << QStringList{QStringLiteral("download")} << QStringLiteral("未知命令: download");
    QTest::newRow("unknown command, English")
        << QStringList{QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("download")}
        << QStringLiteral("unknown command: download");
    QTest::newRow("language after the error is still used")
        << QStringList{QStringLiteral("download"), QStringLiteral("--lang=en")}
        << QStringLiteral("unknown command: download");
    QTest::newRow("records without -o") << QStringList{QStringLiteral("records")}
                                        << QStringLiteral("records 需要 -o FILE");
    QTest::newRow("spectra without -o, English")
        << QStringList{QStringLiteral("spectra"), QStringLiteral("--lang"), QStringLiteral("en")}
        << QStringLiteral("spectra needs -o FILE");
    QTest::newRow("identify with -o") << QStringList{QStringLiteral("identify"), QStringLiteral("-o"),
                                                     QStringLiteral("x.xls")}
                                      << QStringLiteral("identify 不写文件, 不接受 -o");
    QTest::newRow("list with -o") << QStringList{QStringLiteral("list"), QStringLiteral("-o"), QStringLiteral("x.csv")}
                                  << QStringLiteral("list 不写文件, 不接受 -o");
    QTest::newRow("list with an argument, English")
        << QStringList{QStringLiteral("--lang=en"), QStringLiteral("list"), QStringLiteral("/dev/hidraw0")}
        << QStringLiteral("unexpected argument: /dev/hidraw0");
    QTest::newRow("two commands") << QStringList{QStringLiteral("identify"), QStringLiteral("records")}
                                  << QStringLiteral("多余的参数: records");
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--verbose"), QStringLiteral("identify")}
                                    << QStringLiteral("未知选项: --verbose");
    QTest::newRow("bad language") << QStringList{QStringLiteral("--lang"), QStringLiteral("fr"),
                                                 QStringLiteral("identify")}
                                  << QStringLiteral("--lang 只能是 zh 或 en, 而不是 fr");
    QTest::newRow("bad format, English") << QStringList{QStringLiteral("--lang"),   QStringLiteral("en"),
                                                        QStringLiteral("--format"), QStringLiteral("pdf"),
                                                        QStringLiteral("records"),  QStringLiteral("-o"),
                                                        QStringLiteral("x")}
                                         << QStringLiteral("--format takes xls, xlsx, csv or json, not pdf");
    QTest::newRow("missing value") << QStringList{QStringLiteral("identify"), QStringLiteral("--virtual-meter")}
                                   << QStringLiteral("选项 --virtual-meter 缺少参数");
    QTest::newRow("empty value") << QStringList{QStringLiteral("records"), QStringLiteral("-o"), QString()}
                                 << QStringLiteral("选项 -o 的参数为空");
    QTest::newRow("repeated option") << QStringList{QStringLiteral("-q"), QStringLiteral("--quiet"),
                                                    QStringLiteral("identify")}
                                     << QStringLiteral("选项 --quiet 重复");
    QTest::newRow("catalog directory missing")
        << QStringList{QStringLiteral("--lang"),          QStringLiteral("en"),
                       QStringLiteral("--catalog-dir"),   QStringLiteral("/nonexistent/catalogs"),
                       QStringLiteral("--virtual-meter"), image,
                       QStringLiteral("identify")}
        << QStringLiteral("No such directory: /nonexistent/catalogs");
}

void TestCliOutput::badUsage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, reason);
    QTemporaryDir work;
    const Result result = run(arguments, work.path(), runtime.path());
    QVERIFY(!result.crashed);
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QByteArray());
    const QString err = QString::fromUtf8(result.err);
    QVERIFY2(err.startsWith(QStringLiteral("lumivane-cli: ") + reason + QLatin1Char('\n')), qPrintable(err));
    if (!reason.startsWith(QLatin1String("No such directory"))) {
        QVERIFY2(err.contains(QStringLiteral("lumivane-cli [OPTIONS] records -o FILE\n")), qPrintable(err));
        QVERIFY(err.contains(QStringLiteral("lumivane-cli --help")));
    }
    QVERIFY(filesIn(work.path()).isEmpty());
}

void TestCliOutput::helpAndVersion_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    QTest::newRow("help, Chinese") << QStringList{QStringLiteral("--help")} << QStringLiteral("选项:");
    QTest::newRow("help, English") << QStringList{QStringLiteral("--help"), QStringLiteral("--lang"),
                                                  QStringLiteral("en")}
                                   << QStringLiteral("Options:");
    QTest::newRow("help wins over a command")
        << QStringList{QStringLiteral("records"), QStringLiteral("--help")} << QStringLiteral("records -o FILE");
    QTest::newRow("help names list, Chinese")
        << QStringList{QStringLiteral("--help")}
        << QStringLiteral("  lumivane-cli [OPTIONS] list [--json]\n  lumivane-cli [OPTIONS] identify [--json]\n");
    QTest::newRow("help tells JSON, English") << QStringList{QStringLiteral("--help"), QStringLiteral("--lang=en")}
                                              << QStringLiteral("--format xls|xlsx|csv|json|pdf\n");
    QTest::newRow("help lists the exit status") << QStringList{QStringLiteral("--help"), QStringLiteral("--lang=en")}
                                                << QStringLiteral("Exit status: 0 success, 1 failure, 2 usage error");
    QTest::newRow("help tells list, English")
        << QStringList{QStringLiteral("--help"), QStringLiteral("--lang=en")}
        << QStringLiteral("  list              list the attached meters: device node, serial number, and ok or why");
    QTest::newRow("help tells list, Chinese")
        << QStringList{QStringLiteral("--help")} << QStringLiteral("  list              列出连接的仪器");
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << QStringLiteral("lumivane-cli 1.");
    QTest::newRow("version names the licence")
        << QStringList{QStringLiteral("--version")} << QStringLiteral("\nLicence: GPL-3.0-or-later (");
}

void TestCliOutput::helpAndVersion()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    QTemporaryDir work;
    const Result result = run(arguments, work.path(), runtime.path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QVERIFY2(QString::fromUtf8(result.out).contains(expected), result.out.constData());
}

void TestCliOutput::failedWriteGivesOneLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the meter and archive options
    QTest::addColumn<bool>("fullDisk"); // files may not grow past 2 KiB; otherwise standard output is /dev/full
    QTest::addColumn<QString>("said");  // how standard error starts
    for (const char *command : {"identify", "list", "history", "--help", "--version"})
        QTest::addRow("%s into /dev/full", command)
            << QStringList{QString::fromLatin1(command)} << false
            << QStringLiteral("lumivane-cli: cannot write to standard output: No space left on device");
    // libxlsxwriter's own lines stay off standard error.
    for (const QString file : {"out.xlsx", "out.xls"})
        QTest::addRow("%s on a full disk", qPrintable(file))
            << QStringList{QStringLiteral("--no-archive"), QStringLiteral("records"), QStringLiteral("-o"), file} << true
            << QStringLiteral("Exporting data failed! %1: ").arg(file);
}

void TestCliOutput::failedWriteGivesOneLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, fullDisk);
    QFETCH(QString, said);
    QTemporaryDir work;
    // An archive with one download, so that history has a line to write.
    const QStringList options = meterArguments(samplePath(QStringLiteral("kind1")), false)
                                << QStringLiteral("--archive") << work.filePath(QStringLiteral("a.sqlite"));
    QCOMPARE(run(options + QStringList{QStringLiteral("records"), QStringLiteral("-o"), QStringLiteral("first.csv")},
                 work.path(), runtime.path())
                 .exitCode,
             0);
    const Result result = run(options + arguments, work.path(), runtime.path(), 0, [fullDisk](QProcess &process) {
        if (!fullDisk)
            return process.setStandardOutputFile(QStringLiteral("/dev/full"));
        // The download's memory fits, the workbook does not, as on a disk that fills while it is written.
        process.setChildProcessModifier([] {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{2048, 2048};
            setrlimit(RLIMIT_FSIZE, &limit);
        });
    });
    QCOMPARE(result.exitCode, 1);
    const QString err = QString::fromUtf8(result.err);
    QVERIFY2(err.startsWith(said) && err.count(QLatin1Char('\n')) == 1 && err.endsWith(QLatin1Char('\n')), qPrintable(err));
    QCOMPARE(filesIn(work.path()).filter(QStringLiteral("out.")), QStringList());
}

void TestCliOutput::unwritableOutput_data()
{
    QTest::addColumn<QString>("target"); // "missing-folder", "read-only", "office-lock" or "image"
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    for (const char *file : {"out.xls", "out.csv"}) {
        QTest::addRow("folder missing, %s", file)
            << "missing-folder" << file << QStringLiteral("its folder does not exist or cannot be written");
        QTest::addRow("read-only file, %s", file)
            << "read-only" << file
            << QStringLiteral(
                   "the file cannot be replaced (read-only, not a regular file, or open in another program)");
        QTest::addRow("open in an office suite, %s", file)
            << "office-lock" << file
            << QStringLiteral(
                   "the file cannot be replaced (read-only, not a regular file, or open in another program)");
    }
    for (const char *file : {"./image.json", "image.json", "link.json"})
        QTest::addRow("the meter image, as %s", file)
            << "image" << file
            << QStringLiteral("it is the meter image given with --virtual-meter and is not overwritten");
}

void TestCliOutput::unwritableOutput()
{
    QFETCH(QString, target);
    QFETCH(QString, file);
    QFETCH(QString, reason);

    QTemporaryDir work;
    QString output = work.filePath(file);
    QString image = samplePath(QStringLiteral("kind1"));
    QByteArray kept = oldContent;
    if (target == QLatin1String("missing-folder")) {
        output = work.filePath(QStringLiteral("missing/") + file);
    } else if (target == QLatin1String("image")) {
        // The image is "image.json" in the working directory; link.json links to it.
        kept = readFile(image);
        image = QStringLiteral("image.json");
        QVERIFY(writeFile(work.filePath(image), kept)
                && QFile::link(image, work.filePath(QStringLiteral("link.json"))));
        output = file.startsWith(QLatin1String("./")) ? file : output;
    } else {
        QVERIFY(writeFile(output, oldContent));
        if (target == QLatin1String("read-only"))
            QVERIFY(QFile::setPermissions(output, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        else
            QVERIFY(writeFile(work.filePath(QStringLiteral(".~lock.") + file + QLatin1Char('#')), "x"));
    }
    const QStringList before = filesIn(work.path());
    const Result result =
        run(meterArguments(image, false) << QStringLiteral("records") << QStringLiteral("-o") << output, work.path(),
            runtime.path());
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(QString::fromUtf8(result.err), QStringLiteral("Exporting data failed! %1: %2\n").arg(output, reason));
    QCOMPARE(filesIn(work.path()), before);
    if (target != QLatin1String("missing-folder"))
        QCOMPARE(readFile(work.filePath(file)), kept);
}

void TestCliOutput::existingFileReplacedOnSuccess_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("xls") << "out.xls";
    QTest::newRow("csv") << "out.csv";
}

void TestCliOutput::existingFileReplacedOnSuccess()
{
    QFETCH(QString, file);
    QTemporaryDir work;
    const QString output = work.filePath(file);
    QVERIFY(writeFile(output, oldContent));
    const Result result = run(meterArguments(samplePath(QStringLiteral("kind3")), true)
                                  << QStringLiteral("records") << QStringLiteral("-o") << output,
                              work.path(), runtime.path());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(filesIn(work.path()), QStringList{file});
    Grid grid;
    QString error;
    const Grid expected = recordsGolden(QStringLiteral("kind3"), true);
    const bool read = file.endsWith(QLatin1String(".csv")) ? parseCsv(readFile(output), grid, error)
                                                           : readXls(output, int(expected.first().size()), grid, error);
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(grid, expected);
}

void TestCliOutput::formatOptionWinsOverSuffix_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("start"); // the file's first bytes tell its format
    const QByteArray csv("\xEF\xBB\xBF"), xls = QByteArray::fromHex("D0CF11E0A1B11AE1"), xlsx("PK\x03\x04");
    QTest::newRow("suffix .csv") << QStringList{} << "a.csv" << csv;
    QTest::newRow("suffix .CSV") << QStringList{} << "a.CSV" << csv;
    QTest::newRow("suffix .xls") << QStringList{} << "a.xls" << xls;
    QTest::newRow("suffix .Xlsx") << QStringList{} << "a.Xlsx" << xlsx;
    QTest::newRow("no suffix") << QStringList{} << "download" << xls;
    QTest::newRow("other suffix") << QStringList{} << "a.txt" << xls;
    QTest::newRow("--format csv on .xls")
        << QStringList{QStringLiteral("--format"), QStringLiteral("csv")} << "a.xls" << csv;
    QTest::newRow("--format=xls on .csv") << QStringList{QStringLiteral("--format=xls")} << "a.csv" << xls;
    QTest::newRow("--format xlsx on .xls")
        << QStringList{QStringLiteral("--format"), QStringLiteral("xlsx")} << "a.xls" << xlsx;
}

void TestCliOutput::formatOptionWinsOverSuffix()
{
    QFETCH(QStringList, options);
    QFETCH(QString, file);
    QFETCH(QByteArray, start);
    QTemporaryDir work;
    const Result result = run(options + meterArguments(samplePath(QStringLiteral("kind2")), true)
                                  + QStringList{QStringLiteral("records"), QStringLiteral("-o"), file},
                              work.path(), runtime.path());
    QCOMPARE(result.exitCode, 0);
    QVERIFY(readFile(work.filePath(file)).startsWith(start));
}

void TestCliOutput::templateInWorkingDirectoryIsUsed()
{
    // The template is a workbook holding kind1's table (6 records, 13 columns). kind2's table (3
    // records, 5 columns) written over it replaces the template's cells where it writes and keeps
    // the rest, as the window's export keeps what "./template.xls" holds.
    QTemporaryDir work;
    {
        QTemporaryDir maker;
        const Result made = run(meterArguments(samplePath(QStringLiteral("kind1")), true)
                                    << QStringLiteral("records") << QStringLiteral("-o") << QStringLiteral("t.xls"),
                                maker.path(), runtime.path());
        QCOMPARE(made.exitCode, 0);
        QVERIFY(QFile::copy(maker.filePath(QStringLiteral("t.xls")), work.filePath(QStringLiteral("template.xls"))));
    }
    const Result result = run(meterArguments(samplePath(QStringLiteral("kind2")), true)
                                  << QStringLiteral("records") << QStringLiteral("-o") << QStringLiteral("out.xls"),
                              work.path(), runtime.path());
    QCOMPARE(result.exitCode, 0);

    Grid expected = recordsGolden(QStringLiteral("kind1"), true);
    const Grid written = recordsGolden(QStringLiteral("kind2"), true);
    for (int r = 0; r < written.size(); ++r)
        for (int c = 0; c < written.at(r).size(); ++c)
            expected[r][c] = written.at(r).at(c);
    Grid grid;
    QString error;
    QVERIFY2(readXls(work.filePath(QStringLiteral("out.xls")), int(expected.first().size()), grid, error),
             qPrintable(error));
    QCOMPARE(grid, expected);
    QCOMPARE(filesIn(work.path()), (QStringList{QStringLiteral("out.xls"), QStringLiteral("template.xls")}));
}

void TestCliOutput::progressOnlyOnTerminal_data()
{
    QTest::addColumn<bool>("quiet");
    QTest::newRow("terminal") << false;
    QTest::newRow("terminal, quiet") << true;
}

void TestCliOutput::progressOnlyOnTerminal()
{
    QFETCH(bool, quiet);
    if (QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty())
        QSKIP("no script(1) to give the program a terminal");
    QTemporaryDir work;
    QStringList arguments{program(),
                          QStringLiteral("--virtual-meter"),
                          samplePath(QStringLiteral("kind4")),
                          QStringLiteral("--lang"),
                          QStringLiteral("en"),
                          QStringLiteral("records"),
                          QStringLiteral("-o"),
                          QStringLiteral("r.csv")};
    if (quiet)
        arguments << QStringLiteral("-q");
    // script(1) runs the program on a pseudo terminal and copies what it shows to standard output.
    QStringList quoted;
    for (const QString &argument : arguments)
        quoted << QLatin1Char('\'') + argument + QLatin1Char('\'');
    QProcess terminal;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    terminal.setProcessEnvironment(environment);
    terminal.setWorkingDirectory(work.path());
    terminal.start(QStringLiteral("script"), {QStringLiteral("-q"), QStringLiteral("-e"), QStringLiteral("-c"),
                                              quoted.join(QLatin1Char(' ')), QStringLiteral("/dev/null")});
    QVERIFY(terminal.waitForFinished(60000));
    QCOMPARE(terminal.exitCode(), 0);
    const QString shown = QString::fromUtf8(terminal.readAllStandardOutput());
    // kind4: 6 records = 5 record chunks and 1 name chunk.
    if (quiet) {
        QVERIFY2(!shown.contains(QStringLiteral("Reading record")), qPrintable(shown));
    } else {
        QVERIFY2(shown.contains(QStringLiteral("Reading record, please wait... [")), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("] 6/6")), qPrintable(shown));
    }
    QVERIFY(QFile::exists(work.filePath(QStringLiteral("r.csv"))));
}

QTEST_GUILESS_MAIN(TestCliOutput)
#include "tst_clioutput.moc"
