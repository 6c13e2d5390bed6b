// The command line's plain parts: CSV fields and lines, the option rules that the process tests
// do not reach one by one, and the progress bar.

#include "CliOptions.h"
#include "CsvWriter.h"
#include "TerminalProgress.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

class TestCliCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void csvField_data();
    void csvField();
    void csvFile();
    void csvKeepsReadOnlyFile();
    void options_data();
    void options();
    void progressLine_data();
    void progressLine();
    void progressDrawn_data();
    void progressDrawn();
};

void TestCliCore::csvField_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "512"
                           << "512";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("marker") << "----"
                            << "----";
    QTest::newRow("comma") << "a,b"
                           << "\"a,b\"";
    QTest::newRow("quote doubled") << "say \"hi\""
                                   << "\"say \"\"hi\"\"\"";
    QTest::newRow("only a quote") << "\""
                                  << "\"\"\"\"";
    QTest::newRow("line feed") << "照度\n(Lux)"
                               << "\"照度\n(Lux)\"";
    QTest::newRow("carriage return") << "a\rb"
                                     << "\"a\rb\"";
    QTest::newRow("spaces stay bare") << " a b "
                                      << " a b ";
    QTest::newRow("semicolon stays bare") << "a;b"
                                          << "a;b";
}

void TestCliCore::csvField()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(CsvWriter::field(text), field);
}

void TestCliCore::csvFile()
{
    const QList<QStringList> rows{{QStringLiteral("名称"), QStringLiteral("照度\n(Lux)"), QString()},
                                  {QStringLiteral("Desk, left"), QStringLiteral("512"), QString()},
                                  {}};
    const QByteArray expected = "\xEF\xBB\xBF"
                                "\xE5\x90\x8D\xE7\xA7\xB0,\"\xE7\x85\xA7\xE5\xBA\xA6\n(Lux)\",\r\n"
                                "\"Desk, left\",512,\r\n"
                                "\r\n";
    QCOMPARE(CsvWriter::encode(rows), expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.csv"));
    QString error;
    QCOMPARE(CsvWriter::write(path, rows, error), CsvWriter::Written);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.csv")});
}

void TestCliCore::csvKeepsReadOnlyFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.csv"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old");
    }
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    QString error;
    QCOMPARE(CsvWriter::write(path, {{QStringLiteral("new")}}, error), CsvWriter::NotReplaceable);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
    // A directory in the way is no file to replace either.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub.csv")));
    QCOMPARE(CsvWriter::write(dir.filePath(QStringLiteral("sub.csv")), {}, error), CsvWriter::NotReplaceable);
}

void TestCliCore::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<bool>("quiet");
    QTest::addColumn<QString>("catalogs");

    using C = CliOptions::Command;
    using F = CliOptions::Format;
    QTest::newRow("defaults") << QStringList{"identify"} << int(UsageError::None) << int(C::Identify) << int(F::Xls)
                              << true << false << "";
    QTest::newRow("options after the command")
        << QStringList{"records", "-o", "a.csv", "--lang", "en", "-q", "--catalog-dir=/c"} << int(UsageError::None)
        << int(C::Records) << int(F::Csv) << false << true << "/c";
    QTest::newRow("option values may look like options") << QStringList{"spectra", "-o", "-q"} << int(UsageError::None)
                                                         << int(C::Spectra) << int(F::Xls) << true << false << "";
    QTest::newRow("after -- every word is a word") << QStringList{"--", "--help"} << int(UsageError::UnknownCommand)
                                                   << int(C::None) << int(F::Xls) << true << false << "";
    QTest::newRow("--help anywhere") << QStringList{"--bogus", "--help"} << int(UsageError::None) << int(C::Help)
                                     << int(F::Xls) << true << false << "";
    QTest::newRow("--version") << QStringList{"--version"} << int(UsageError::None) << int(C::Version) << int(F::Xls)
                               << true << false << "";
    QTest::newRow("-q takes no value") << QStringList{"--quiet=1", "identify"} << int(UsageError::UnknownOption)
                                       << int(C::None) << int(F::Xls) << true << false << "";
    QTest::newRow("short options are not joined") << QStringList{"-oa.xls", "records"} << int(UsageError::UnknownOption)
                                                  << int(C::None) << int(F::Xls) << true << false << "";
}

void TestCliCore::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, error);
    QFETCH(int, command);
    QFETCH(int, format);
    QFETCH(bool, chinese);
    QFETCH(bool, quiet);
    QFETCH(QString, catalogs);

    CliOptions options;
    const UsageError usage = CliArguments::parse(arguments, options);
    QCOMPARE(int(usage.kind), error);
    QCOMPARE(int(options.command), command);
    if (error != int(UsageError::None))
        return;
    QCOMPARE(int(options.outputFormat()), format);
    QCOMPARE(options.chinese, chinese);
    QCOMPARE(options.quiet, quiet);
    QCOMPARE(options.catalogDirectory, catalogs);
}

void TestCliCore::progressLine_data()
{
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QString>("line");
    QTest::newRow("start") << 0 << 4 << "L [..........] 0/4";
    QTest::newRow("half") << 2 << 4 << "L [#####.....] 2/4";
    QTest::newRow("done") << 4 << 4 << "L [##########] 4/4";
    QTest::newRow("past the end") << 9 << 4 << "L [##########] 4/4";
    QTest::newRow("nothing to do") << 0 << 0 << "L [..........] 0/1";
    QTest::newRow("rounds down") << 1 << 3 << "L [###.......] 1/3";
}

void TestCliCore::progressLine()
{
    QFETCH(int, done);
    QFETCH(int, maximum);
    QFETCH(QString, line);
    QCOMPARE(TerminalProgress::line(QStringLiteral("L"), done, maximum, 10), line);
}

void TestCliCore::progressDrawn_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QByteArray>("drawn");
    const QByteArray clear = "\x1b[K";
    QTest::newRow("one redraw per arrived chunk")
        << true
        << QByteArray("\rL [..............................] 0/2" + clear + "\rL [###############...............] 1/2"
                      + clear + "\rL [##############################] 2/2" + clear + "\n");
    QTest::newRow("disabled") << false << QByteArray();
}

void TestCliCore::progressDrawn()
{
    QFETCH(bool, enabled);
    QFETCH(QByteArray, drawn);
    FILE *stream = std::tmpfile();
    QVERIFY(stream);
    {
        TerminalProgress progress(stream, enabled, QStringLiteral("L"));
        DownloadProgress &download = progress;
        download.start(2);
        download.chunkRead(0);
        download.chunkRead(1);
        progress.finish();
        progress.finish(); // the line is ended once
    }
    std::rewind(stream);
    QByteArray written(256, '\0');
    written.resize(qsizetype(std::fread(written.data(), 1, size_t(written.size()), stream)));
    std::fclose(stream);
    QCOMPARE(written, drawn);
}

QTEST_GUILESS_MAIN(TestCliCore)
#include "tst_clicore.moc"
