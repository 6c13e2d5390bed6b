// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's plain parts: CSV fields and lines, files whose writing fails, the option
// rules that the process tests do not reach one by one, and the progress bar.

#include "CliOptions.h"
#include "CliTexts.h"
#include "CsvWriter.h"
#include "ExcelEngine.h"
#include "FileReplacement.h"
#include "JsonWriter.h"
#include "TerminalProgress.h"
#include "UserLanguage.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Passes writes on to a seekable device until budget bytes went through (budget < 0: no end),
// then fails as a full disk does: the write that reaches the budget stores what fits, the next
// one fails.
class FailingDevice : public QIODevice
{
public:
    FailingDevice(QIODevice &target, qint64 budget) : target(target), budget(budget)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return false; }
    qint64 size() const override { return target.size(); }
    bool seek(qint64 position) override { return QIODevice::seek(position) && target.seek(position); }

    qint64 passed = 0;

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 length) override
    {
        if (budget >= 0 && passed >= budget) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        const qint64 written = target.write(data, budget < 0 ? length : qMin(length, budget - passed));
        passed += qMax<qint64>(written, 0);
        return written;
    }

private:
    QIODevice &target;
    const qint64 budget;
};

} // namespace

class TestCliCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void csvField_data();
    void csvField();
    void csvFile();
    void csvKeepsReadOnlyFile();
    void helpCompletionAndManPageAgree();
    void writeFailureKeepsOldFile_data();
    void writeFailureKeepsOldFile();
    void options_data();
    void options();
    void firstMistake_data();
    void firstMistake();
    void outputChoice_data();
    void outputChoice();
    void userLanguage_data();
    void userLanguage();
    void jsonWriter_data();
    void jsonWriter();
    void jsonWriterDeviceFails();
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
    // Texts a spreadsheet would run as formulas get an apostrophe; numbers stay as they are.
    QTest::newRow("formula") << "=1+2"
                             << "'=1+2";
    QTest::newRow("plus formula") << "+A1"
                                  << "'+A1";
    QTest::newRow("minus formula") << "-2+3"
                                   << "'-2+3";
    QTest::newRow("at formula") << "@SUM(A1:A9)"
                                << "'@SUM(A1:A9)";
    QTest::newRow("formula with a comma, then quoted") << "=HYPERLINK(\"x\",1)"
                                                       << "\"'=HYPERLINK(\"\"x\"\",1)\"";
    QTest::newRow("negative number") << "-2.5"
                                     << "-2.5";
    QTest::newRow("signed number") << "+1e3"
                                   << "+1e3";
    // Tabs, carriage returns and spaces ahead of a sign do not hide a formula; non-numbers that
    // a number parser takes (infinity, not a number) are texts.
    for (const char *text : {"\t=1+2", "\tname", " =1+2", "\t-2.5", "-inf", "+nan", "-1+cmd"})
        QTest::addRow("%s", text) << text << QLatin1Char('\'') + QString::fromLatin1(text);
    QTest::newRow("carriage return before a formula") << "\r@SUM(A1)" << "\"'\r@SUM(A1)\"";
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
    QVERIFY2(CsvWriter::write(path, rows, error), qPrintable(error));
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
    QVERIFY(!CsvWriter::write(path, {{QStringLiteral("new")}}, error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
    // A directory in the way is no file to replace either.
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub.csv")));
    QVERIFY(!CsvWriter::write(dir.filePath(QStringLiteral("sub.csv")), {}, error));
}

void TestCliCore::writeFailureKeepsOldFile_data()
{
    QTest::addColumn<bool>("xls");
    QTest::addColumn<int>("part"); // of the file that reaches the disk: 0 none, 1 half, 2 all but the last byte
    for (const bool xls : {false, true}) {
        QTest::addRow("%s, nothing written", xls ? "xls" : "csv") << xls << 0;
        QTest::addRow("%s, mid-file", xls ? "xls" : "csv") << xls << 1;
        QTest::addRow("%s, at the final flush", xls ? "xls" : "csv") << xls << 2;
    }
}

void TestCliCore::writeFailureKeepsOldFile()
{
    QFETCH(bool, xls);
    QFETCH(int, part);
    QTemporaryDir dir;
    const QString path = dir.filePath(xls ? QStringLiteral("out.xls") : QStringLiteral("out.csv"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    }
    // Over one CSV block, so that the writing fails in a full block, in the last block or at once.
    ExcelEngine engine(path);
    QVERIFY(engine.openWorkbook(1));
    QList<QStringList> rows;
    for (int r = 0; r < 3000; ++r) {
        rows << QStringList{QString::number(r), QStringLiteral("Desk, left"), QStringLiteral("照度 %1").arg(r)};
        for (int c = 0; c < 3; ++c)
            QVERIFY(engine.setCellValue(r + 1, c + 1, rows.last().at(c)));
    }
    const auto write = [&](QIODevice &device, QString &error) {
        if (xls) {
            const bool written = engine.writeWorkbook(device);
            error = engine.errorString();
            return written;
        }
        CsvWriter csv(device);
        for (const QStringList &row : rows)
            csv.writeRow(row);
        const bool written = csv.finish();
        error = csv.errorString();
        return written;
    };
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    FailingDevice whole(buffer, -1);
    QString error;
    QVERIFY(write(whole, error));
    QVERIFY(whole.passed > CsvWriter::BlockBytes);

    const qint64 budget = part == 0 ? 0 : part == 1 ? whole.passed / 2 : whole.passed - 1;
    const auto failing = [&](QIODevice &file, QString &reason) {
        FailingDevice device(file, budget);
        return write(device, reason);
    };
    QVERIFY(!FileReplacement::write(path, failing, error));
    QCOMPARE(error, QStringLiteral("No space left on device"));
    QFile kept(path);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
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
    using F = TableFile;
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
    QTest::newRow("history with its filters")
        << QStringList{"history", "--serial", "-5", "--since=2026-03-01", "--no-archive"} << int(UsageError::None)
        << int(C::History) << int(F::Xls) << true << false << "";
    QTest::newRow("export an archived download")
        << QStringList{"--archive", "postgresql://lab@db/archive", "export", "7", "-o", "a.csv"}
        << int(UsageError::None) << int(C::Export) << int(F::Csv) << true << false << "";
    QTest::newRow("records of the meter with a serial")
        << QStringList{"records", "-o", "a.xls", "--serial", "1"} << int(UsageError::None) << int(C::Records)
        << int(F::Xls) << true << false << "";
    QTest::newRow("a meter's serial need not be a number")
        << QStringList{"--serial=SN-7", "identify"} << int(UsageError::None) << int(C::Identify) << int(F::Xls) << true
        << false << "";
    QTest::newRow("export takes no serial")
        << QStringList{"export", "7", "-o", "a.xls", "--serial", "1"} << int(UsageError::HistoryOnly) << int(C::Export)
        << int(F::Xls) << true << false << "";
    QTest::newRow("export without its id") << QStringList{"export", "-o", "a.xls"} << int(UsageError::MissingId)
                                           << int(C::Export) << int(F::Xls) << true << false << "";
    QTest::newRow("export of no id") << QStringList{"export", "0", "-o", "a.xls"} << int(UsageError::BadNumber)
                                     << int(C::Export) << int(F::Xls) << true << false << "";
    QTest::newRow("serial not a number") << QStringList{"history", "--serial", "1e3"} << int(UsageError::BadNumber)
                                         << int(C::History) << int(F::Xls) << true << false << "";
    QTest::newRow("no such date") << QStringList{"history", "--since", "2026-02-30"} << int(UsageError::BadDate)
                                  << int(C::None) << int(F::Xls) << true << false << "";
    QTest::newRow("a date with text after it")
        << QStringList{"history", "--since", "2020-01-01; anything"} << int(UsageError::BadDate) << int(C::None)
        << int(F::Xls) << true << false << "";
    QTest::newRow("list the meters") << QStringList{"--lang=en", "list"} << int(UsageError::None) << int(C::List)
                                     << int(F::Xls) << false << false << "";
    QTest::newRow("list writes no file") << QStringList{"list", "-o", "a.csv"} << int(UsageError::OutputNotAllowed)
                                         << int(C::List) << int(F::Xls) << true << false << "";
    QTest::newRow("list of the meter with a serial") << QStringList{"list", "--serial", "7"} << int(UsageError::None)
                                                     << int(C::List) << int(F::Xls) << true << false << "";
    // The archive's notes and edits: annotate and its options, history --grep, export --original.
    const std::tuple<const char *, QStringList, UsageError::Kind, C> notes[] = {
        {"annotate, a note emptied",
         {"annotate", "5", "--title", "T", "--note=", "--json"},
         UsageError::None,
         C::Annotate},
        {"annotate without its id", {"annotate", "--title", "T"}, UsageError::MissingId, C::Annotate},
        {"annotate writes no file", {"annotate", "5", "-o", "a.csv"}, UsageError::OutputNotAllowed, C::Annotate},
        {"a report's title never empty", {"report", "-o", "r.pdf", "--title="}, UsageError::EmptyValue, C::Report},
        {"notes for report and annotate", {"history", "--note", "x"}, UsageError::ReportOnly, C::History},
        {"history found by its notes", {"history", "--grep", "lamp"}, UsageError::None, C::History},
        {"--grep only for history", {"annotate", "3", "--grep", "x"}, UsageError::HistoryOnly, C::Annotate},
        {"export what the meter gave", {"export", "3", "--original", "-o", "a.xls"}, UsageError::None, C::Export},
        {"--original only for export", {"history", "--original"}, UsageError::ExportOnly, C::History},
    };
    for (const auto &[name, arguments, error, command] : notes)
        QTest::newRow(name) << arguments << int(error) << int(command) << int(F::Xls) << true << false << "";
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

void TestCliCore::firstMistake_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("command");

    using C = CliOptions::Command;
    using E = UsageError;
    QTest::newRow("a bad value before an unknown option")
        << QStringList{"--lang", "xx", "--bogus", "identify"} << int(E::BadLanguage) << "xx" << int(C::None);
    QTest::newRow("an unknown option before a bad value")
        << QStringList{"--bogus", "--lang", "xx", "identify"} << int(E::UnknownOption) << "--bogus" << int(C::None);
    QTest::newRow("both after the command")
        << QStringList{"identify", "--lang", "xx", "--bogus"} << int(E::BadLanguage) << "xx" << int(C::None);
    QTest::newRow("a flag's value before a missing value")
        << QStringList{"--quiet=1", "--lang"} << int(E::UnknownOption) << "--quiet=1" << int(C::None);
    QTest::newRow("a missing value after the same option with =")
        << QStringList{"--format=xlsx", "--format"} << int(E::MissingValue) << "--format" << int(C::None);
    QTest::newRow("given on both sides of the command")
        << QStringList{"-q", "identify", "--quiet"} << int(E::RepeatedOption) << "--quiet" << int(C::None);
    QTest::newRow("a bad value before its repeat")
        << QStringList{"--lang", "xx", "identify", "--lang", "en"} << int(E::BadLanguage) << "xx" << int(C::None);
    QTest::newRow("an unknown option after -")
        << QStringList{"-", "7", "--bogus"} << int(E::UnknownOption) << "--bogus" << int(C::None);
    QTest::newRow("-- as a value ends no options") << QStringList{"--catalog-dir", "--", "records", "--bogus"}
                                                   << int(E::UnknownOption) << "--bogus" << int(C::None);
    QTest::newRow("-- before the command")
        << QStringList{"--", "identify", "--json"} << int(E::ExtraArgument) << "--json" << int(C::Identify);
    QTest::newRow("an unknown option that is also a value")
        << QStringList{"-o", "--bogus", "--bogus"} << int(E::UnknownOption) << "--bogus" << int(C::None);
    QTest::newRow("a single-dash word whole")
        << QStringList{"-bogus=3", "identify"} << int(E::UnknownOption) << "-bogus=3" << int(C::None);
    QTest::newRow("--help given a value")
        << QStringList{"identify", "--help=1"} << int(E::UnknownOption) << "--help" << int(C::None);
    QTest::newRow("--help where a value stands") << QStringList{"-o", "--help"} << int(E::None) << "" << int(C::Help);
    // Qt's parser also reads "--o" and "-lang"; they mean what they say.
    QTest::newRow("--o") << QStringList{"records", "--o", "a.csv", "-lang", "en"} << int(E::None) << ""
                         << int(C::Records);
}

void TestCliCore::firstMistake()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, error);
    QFETCH(QString, argument);
    QFETCH(int, command);

    CliOptions options;
    const UsageError usage = CliArguments::parse(arguments, options);
    QCOMPARE(int(usage.kind), error);
    QCOMPARE(usage.argument, argument);
    QCOMPARE(int(options.command), command);
}

void TestCliCore::outputChoice_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("json");
    QTest::addColumn<int>("format"); // where the output is no JSON
    QTest::addColumn<bool>("standardOutput");

    using F = TableFile;
    QTest::newRow("--json") << QStringList{"identify", "--json"} << int(UsageError::None) << true << int(F::Xls)
                            << false;
    QTest::newRow("--format json") << QStringList{"records", "--format", "json", "-o", "r"} << int(UsageError::None)
                                   << true << int(F::Xls) << false;
    QTest::newRow(".JSON suffix") << QStringList{"records", "-o", "r.JSON"} << int(UsageError::None) << true
                                  << int(F::Xls) << false;
    QTest::newRow("--format wins over the suffix") << QStringList{"records", "-o", "r.json", "--format=csv"}
                                                   << int(UsageError::None) << false << int(F::Csv) << false;
    QTest::newRow("standard output is CSV")
        << QStringList{"spectra", "-o", "-"} << int(UsageError::None) << false << int(F::Csv) << true;
    QTest::newRow("a workbook to standard output") << QStringList{"spectra", "-o", "-", "--format", "xlsx"}
                                                   << int(UsageError::None) << false << int(F::Xlsx) << true;
    QTest::newRow("--json takes no value")
        << QStringList{"list", "--json=yes"} << int(UsageError::UnknownOption) << false << int(F::Xls) << false;
    QTest::newRow("no such format") << QStringList{"records", "-o", "r", "--format", "yaml"}
                                    << int(UsageError::BadFormat) << false << int(F::Xls) << false;
}

void TestCliCore::outputChoice()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, error);
    QFETCH(bool, json);
    QFETCH(int, format);
    QFETCH(bool, standardOutput);

    CliOptions options;
    QCOMPARE(int(CliArguments::parse(arguments, options).kind), error);
    if (error != int(UsageError::None))
        return;
    QCOMPARE(options.writesJson(), json);
    if (!json)
        QCOMPARE(int(options.outputFormat()), format);
    QCOMPARE(options.toStandardOutput(), standardOutput);
}

void TestCliCore::userLanguage_data()
{
    QTest::addColumn<QStringList>("variables"); // NAME=value
    QTest::addColumn<bool>("chinese");

    QTest::newRow("nothing set") << QStringList{} << false;
    QTest::newRow("LANG Chinese") << QStringList{"LANG=zh_CN.UTF-8"} << true;
    QTest::newRow("LANG Taiwanese Chinese") << QStringList{"LANG=zh_TW.UTF-8"} << true;
    QTest::newRow("LANG German") << QStringList{"LANG=de_DE.UTF-8"} << false;
    QTest::newRow("LC_MESSAGES over LANG") << QStringList{"LANG=zh_CN.UTF-8", "LC_MESSAGES=en_GB.UTF-8"} << false;
    QTest::newRow("LC_ALL over LC_MESSAGES") << QStringList{"LC_MESSAGES=en_US.UTF-8", "LC_ALL=zh_CN.UTF-8"} << true;
    QTest::newRow("empty LC_ALL is unset") << QStringList{"LC_ALL=", "LANG=zh_CN.UTF-8"} << true;
    QTest::newRow("LANGUAGE over the locale") << QStringList{"LANG=zh_CN.UTF-8", "LANGUAGE=en_US:zh_CN"} << false;
    QTest::newRow("LANGUAGE's first known language") << QStringList{"LANG=en_US.UTF-8", "LANGUAGE=fr:zh_CN:en"} << true;
    QTest::newRow("LANGUAGE without a known one") << QStringList{"LANG=zh_CN.UTF-8", "LANGUAGE=fr:de"} << true;
    QTest::newRow("C locale ignores LANGUAGE") << QStringList{"LANG=C", "LANGUAGE=zh_CN"} << false;
    QTest::newRow("C.UTF-8 ignores LANGUAGE") << QStringList{"LC_ALL=C.UTF-8", "LANGUAGE=zh"} << false;
    QTest::newRow("POSIX") << QStringList{"LC_ALL=POSIX", "LANG=zh_CN.UTF-8"} << false;
}

void TestCliCore::userLanguage()
{
    QFETCH(QStringList, variables);
    QFETCH(bool, chinese);

    QProcessEnvironment environment;
    for (const QString &variable : variables)
        environment.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
    QCOMPARE(UserLanguage::isChinese(environment), chinese);
}

void TestCliCore::jsonWriter_data()
{
    QTest::addColumn<int>("lineDepth");
    QTest::addColumn<QByteArray>("expected");

    // The same document at three depths of line breaks.
    const QByteArray text = R"("c":"q\"\\\n\u0001中")";
    QTest::newRow("one line") << 0
                              << QByteArray(R"({"a":[1,{"b":null}],)" + text
                                            + R"(,"d":[]})"
                                              "\n");
    QTest::newRow("top level on lines") << 1
                                        << QByteArray("{\n  \"a\":[1,{\"b\":null}],\n  " + text + ",\n  \"d\":[]\n}\n");
    QTest::newRow("two levels on lines") << 2
                                         << QByteArray("{\n  \"a\":[\n    1,\n    {\"b\":null}\n  ],\n  " + text
                                                       + ",\n  \"d\":[]\n}\n");
}

void TestCliCore::jsonWriter()
{
    QFETCH(int, lineDepth);
    QFETCH(QByteArray, expected);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    JsonWriter json(buffer, lineDepth);
    json.beginObject();
    json.key(QStringLiteral("a"));
    json.beginArray();
    json.value(1);
    json.beginObject();
    json.key(QStringLiteral("b"));
    json.value(std::nan(""));
    json.endObject();
    json.endArray();
    json.key(QStringLiteral("c"));
    json.value(QStringLiteral("q\"\\\n\x01中"));
    json.key(QStringLiteral("d"));
    json.beginArray();
    json.endArray();
    json.endObject();
    QVERIFY(json.finish());
    QCOMPARE(bytes, expected);
    QVERIFY(QJsonDocument::fromJson(bytes).isObject());

    // Shortest texts that read back as the same float and double.
    QCOMPARE(JsonWriter::number(0.1f), QByteArray("0.1"));
    QCOMPARE(JsonWriter::number(1.2e28f), QByteArray("1.2e+28"));
    QCOMPARE(JsonWriter::number(0.1), QByteArray("0.1"));
    QCOMPARE(JsonWriter::number(double(0.1f)), QByteArray("0.10000000149011612"));
    QCOMPARE(JsonWriter::number(std::numeric_limits<float>::infinity()), QByteArray("null"));
}

void TestCliCore::jsonWriterDeviceFails()
{
    // A document larger than a block fails on the device's full disk, with its reason.
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("a.json")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    FailingDevice device(file, 1000);
    JsonWriter json(device);
    json.beginArray();
    for (int i = 0; i < 20000; ++i)
        json.value(QStringLiteral("record"));
    json.endArray();
    QVERIFY(!json.finish());
    QCOMPARE(json.errorString(), QStringLiteral("No space left on device"));
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

namespace {

QString sourceFile(const char *path)
{
    QFile file(QStringLiteral(LUMIVANE_SOURCE_DIR "/") + QLatin1String(path));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Every match of the first group of pattern in text, sorted, once each.
QStringList matches(const QString &text, const QString &pattern)
{
    QStringList found;
    QRegularExpressionMatchIterator it = QRegularExpression(pattern, QRegularExpression::MultilineOption).globalMatch(text);
    while (it.hasNext())
        found << it.next().captured(1);
    found.removeDuplicates();
    found.sort();
    return found;
}

} // namespace

// The commands and options are listed three times for users: the help, the bash completion and the
// manual page. All three list the same ones.
void TestCliCore::helpCompletionAndManPageAgree()
{
    const QString help = CliTexts::help(false);
    const qsizetype optionsAt = help.indexOf(QStringLiteral("Options:\n"));
    QVERIFY(optionsAt > 0);
    // Help: "  name   text" lines under "Commands:" and "Options:" ("  -q, --quiet" names two).
    const QString option = QStringLiteral("(--?[a-z][a-z-]*)");
    const qsizetype helpCommandsAt = help.indexOf(QStringLiteral("Commands:\n"));
    QVERIFY(helpCommandsAt > 0 && helpCommandsAt < optionsAt);
    const QStringList helpCommands =
        matches(help.mid(helpCommandsAt, optionsAt - helpCommandsAt), QStringLiteral("^  ([a-z]+)\\b"));
    const QString helpOptionLines = matches(help.mid(optionsAt), QStringLiteral("^(  -.*)$")).join('\n');
    const QStringList helpOptions = matches(helpOptionLines, QStringLiteral("(?:^  |, )") + option);

    const QString completion = sourceFile("packaging/lumivane-cli.bash-completion");
    const QStringList completionCommands =
        matches(matches(completion, QStringLiteral("local commands=\"([^\"]*)\"")).join(' '), QStringLiteral("([a-z]+)"));
    const QStringList completionOptions =
        matches(matches(completion, QStringLiteral("local options=\"([^\"]*)\"")).join(' '), QStringLiteral("(?:^|\\s)") + option);

    // The manual page: the first word after each .TP of COMMANDS and every option after each .TP
    // of OPTIONS, "\-" read as "-".
    QString man = sourceFile("packaging/lumivane-cli.1");
    man.replace(QStringLiteral("\\-"), QStringLiteral("-"));
    const qsizetype commandsAt = man.indexOf(QStringLiteral(".SH COMMANDS")), manOptionsAt = man.indexOf(QStringLiteral(".SH OPTIONS"));
    const qsizetype optionsEnd = man.indexOf(QStringLiteral(".SH "), manOptionsAt + 1);
    QVERIFY(commandsAt > 0 && manOptionsAt > commandsAt && optionsEnd > manOptionsAt);
    const QStringList manCommands = matches(man.mid(commandsAt, manOptionsAt - commandsAt),
                                            QStringLiteral("^\\.TP\n\\.BI? \"?([a-z]+)"));
    const QString manOptionLines =
        matches(man.mid(manOptionsAt, optionsEnd - manOptionsAt), QStringLiteral("^\\.TP\n(.*)$")).join('\n');
    const QStringList manOptions = matches(manOptionLines, QStringLiteral("(?:^\\.BR? |^\\.BI |, |\" )") + option);

    QCOMPARE(helpCommands.size(), 9);
    QCOMPARE(completionCommands, helpCommands);
    QCOMPARE(manCommands, helpCommands);
    QVERIFY(helpOptions.size() >= 12);
    QCOMPARE(completionOptions, helpOptions);
    QCOMPARE(manOptions, helpOptions);
}

QTEST_GUILESS_MAIN(TestCliCore)
#include "tst_clicore.moc"
