// SPDX-License-Identifier: GPL-3.0-or-later
// lumivane-cli run as a process against every sample meter: identify, records, spectra and colour
// in both languages, as csv and as xls (read back with xlrd).

#include "CliTestSupport.h"

#include <QFile>
#include <QJsonArray>
#include <QtTest>

using namespace CliTest;

namespace {

struct Sample
{
    const char *name;
    int kind;
    const char *mode; // as identify prints it
};

const Sample samples[] = {
    {"kind1", 1, "0"}, {"kind1-ppfd", 1, "1"}, {"kind2", 2, "-"}, {"kind3", 3, "-"},
    {"kind4", 4, "0"}, {"kind4-ppfd", 4, "1"}, {"kind5", 5, "-"}, {"kind6", 6, "-"},
};

QString formatName(bool csv)
{
    return csv ? QStringLiteral("csv") : QStringLiteral("xls");
}

// --catalog-dir with the shipped meterno and probeno and the shipped unitno cut before the group
// of unitNo; none for -1. The shipped unitno equals the built-in unit table, so the columns that
// fall back to it show the usual sheet.
QStringList catalogLackingUnit(const QTemporaryDir &dir, int unitNo)
{
    if (unitNo < 0)
        return {};
    const QString shipped = QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files/");
    for (const char *name : {"meterno", "probeno"})
        QFile::copy(shipped + QLatin1String(name), dir.filePath(QLatin1String(name)));
    const QByteArray unitno = readFile(shipped + QStringLiteral("unitno"));
    writeFile(dir.filePath(QStringLiteral("unitno")),
              unitno.left(unitno.indexOf("[Unit" + QByteArray::number(unitNo + 1))));
    return {QStringLiteral("--catalog-dir"), dir.path()};
}

QString describe(const Grid &grid)
{
    QStringList lines;
    for (const QStringList &row : grid)
        lines << row.join(QLatin1Char('|')).replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    return lines.join(QLatin1Char('\n'));
}

} // namespace

class TestCliCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void identify_data();
    void identify();
    void records_data();
    void records();
    void spectra_data();
    void spectra();
    void spectraRefusedForProbeMeter_data();
    void spectraRefusedForProbeMeter();
    void meterWithoutRecordsGivesHeaderOnly_data();
    void meterWithoutRecordsGivesHeaderOnly();

private:
    // Runs a command that writes FILE and reads the grid back in the file's format.
    bool download(const QStringList &arguments, const QString &file, bool csv, int columns, Grid &grid);

    QTemporaryDir runtime;
};

void TestCliCommands::initTestCase()
{
    QVERIFY(runtime.isValid());
    QVERIFY2(QFileInfo(program()).isExecutable(), qPrintable(program()));
}

bool TestCliCommands::download(const QStringList &arguments, const QString &file, bool csv, int columns, Grid &grid)
{
    QTemporaryDir work;
    const QString path = work.filePath(file);
    const Result result = run(arguments + QStringList{QStringLiteral("-o"), path}, work.path(), runtime.path());
    if (result.crashed || result.exitCode != 0) {
        qWarning("exit %d: %s", result.exitCode, result.err.constData());
        return false;
    }
    // A command that writes a file says nothing: no progress (standard error is no terminal).
    if (!result.out.isEmpty() || !result.err.isEmpty()) {
        qWarning("unexpected output: [%s] [%s]", result.out.constData(), result.err.constData());
        return false;
    }
    // Only the file asked for is there: nothing half-written beside it.
    if (filesIn(work.path()) != QStringList{file}) {
        qWarning("files: %s", qPrintable(filesIn(work.path()).join(QLatin1Char(' '))));
        return false;
    }
    QString error;
    const bool read = csv ? parseCsv(readFile(path), grid, error) : readXls(path, columns, grid, error);
    if (!read)
        qWarning("%s", qPrintable(error));
    return read;
}

void TestCliCommands::identify_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("lang");
    for (const Sample &s : samples)
        for (const char *lang : {"zh", "en"})
            QTest::addRow("%s %s", s.name, lang) << s.name << s.kind << s.mode << lang;
}

void TestCliCommands::identify()
{
    QFETCH(QString, sample);
    QFETCH(int, kind);
    QFETCH(QString, mode);
    QFETCH(QString, lang);

    const QJsonObject image = sampleJson(sample);
    const QString expected = QStringLiteral("serial: %1\nfirmware: %2\nmodel: %3\nkind: %4\nmode: %5\nrecords: %6\n")
                                 .arg(image.value(QStringLiteral("serialNo")).toInteger())
                                 .arg(image.value(QStringLiteral("firmwareVersion")).toInt() / 100.0, 0, 'f', 2)
                                 .arg(image.value(QStringLiteral("modelCode")).toInteger())
                                 .arg(kind)
                                 .arg(mode)
                                 .arg(image.value(QStringLiteral("records")).toArray().size());
    QTemporaryDir work;
    const Result result = run({QStringLiteral("--virtual-meter"), samplePath(sample), QStringLiteral("--lang"), lang,
                               QStringLiteral("identify")},
                              work.path(), runtime.path());
    QVERIFY(!result.crashed);
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(QString::fromUtf8(result.out), expected);
    QCOMPARE(result.err, QByteArray());
    QVERIFY(filesIn(work.path()).isEmpty());
}

void TestCliCommands::records_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<bool>("csv");
    QTest::addColumn<int>("lackingUnit"); // -1: the shipped catalogs
    for (const Sample &s : samples)
        for (const bool chinese : {true, false})
            for (const bool csv : {true, false})
                QTest::addRow("%s %s %s", s.name, chinese ? "zh" : "en", csv ? "csv" : "xls")
                    << s.name << chinese << csv << -1;
    // Units 19 and later (temperature, humidity; every probe-meter column) fall back.
    QTest::newRow("kind1 zh csv, unitno lacking unit 19") << "kind1" << true << true << 19;
    QTest::newRow("kind6 en xls, unitno lacking unit 19") << "kind6" << false << false << 19;
}

void TestCliCommands::records()
{
    QFETCH(QString, sample);
    QFETCH(bool, chinese);
    QFETCH(bool, csv);
    QFETCH(int, lackingUnit);

    const Grid expected = recordsGolden(sample, chinese);
    QTemporaryDir catalogs;
    QStringList arguments =
        QStringList{QStringLiteral("--virtual-meter"), samplePath(sample), QStringLiteral("records")}
        + catalogLackingUnit(catalogs, lackingUnit);
    // Chinese is the default language.
    if (!chinese)
        arguments << QStringLiteral("--lang") << QStringLiteral("en");
    Grid grid;
    QVERIFY(download(arguments, QStringLiteral("records.") + formatName(csv), csv, int(expected.first().size()), grid));
    QVERIFY2(grid == expected, qPrintable(describe(grid) + QStringLiteral("\n--- expected\n") + describe(expected)));
}

void TestCliCommands::spectra_data()
{
    QTest::addColumn<QString>("command"); // spectra or colour: the same download, another table
    QTest::addColumn<QString>("sample");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<bool>("csv");
    QTest::addColumn<int>("lackingUnit"); // -1: the shipped catalogs
    for (const Sample &s : samples) {
        if (s.kind == 6)
            continue;
        for (const bool chinese : {true, false})
            for (const bool csv : {true, false})
                QTest::addRow("%s %s %s", s.name, chinese ? "zh" : "en", csv ? "csv" : "xls")
                    << "spectra" << s.name << s.kind << chinese << csv << -1;
        QTest::addRow("colour %s", s.name) << "colour" << s.name << s.kind << (s.kind % 2 == 0) << true << -1;
    }
    // Every wavelength slot names unit 24: 3 decimals from the built-in table.
    QTest::newRow("kind4 zh csv, unitno lacking unit 24") << "spectra"
                                                          << "kind4" << 4 << true << true << 24;
}

void TestCliCommands::spectra()
{
    QFETCH(QString, command);
    QFETCH(QString, sample);
    QFETCH(int, kind);
    QFETCH(bool, chinese);
    QFETCH(bool, csv);
    QFETCH(int, lackingUnit);

    const bool spectra = command == QLatin1String("spectra");
    const Grid expected = spectra ? expectedSpectra(sample, kind, chinese) : expectedColours(sample, kind, chinese);
    QCOMPARE(expected.first().size(), (spectra ? 33 : 17) + (kind == 4 ? 1 : 0));
    QTemporaryDir catalogs;
    Grid grid;
    QVERIFY(download(QStringList{QStringLiteral("--virtual-meter"), samplePath(sample), QStringLiteral("--lang"),
                                 chinese ? QStringLiteral("zh") : QStringLiteral("en"), command}
                         + catalogLackingUnit(catalogs, lackingUnit),
                     command + QLatin1Char('.') + formatName(csv), csv, int(expected.first().size()), grid));
    QVERIFY2(grid == expected, qPrintable(describe(grid) + QStringLiteral("\n--- expected\n") + describe(expected)));
}

void TestCliCommands::spectraRefusedForProbeMeter_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("message");
    QTest::newRow("zh") << "spectra"
                        << "zh" << QStringLiteral("该仪器(类型 6)没有光谱数据!\n");
    QTest::newRow("en") << "spectra"
                        << "en" << QStringLiteral("This meter (kind 6) has no spectral data!\n");
    QTest::newRow("colour, en") << "colour"
                                << "en" << QStringLiteral("This meter (kind 6) has no spectral data!\n");
}

void TestCliCommands::spectraRefusedForProbeMeter()
{
    QFETCH(QString, command);
    QFETCH(QString, lang);
    QFETCH(QString, message);
    QTemporaryDir work;
    const Result result =
        run({QStringLiteral("--virtual-meter"), samplePath(QStringLiteral("kind6")), QStringLiteral("--lang"), lang,
             command, QStringLiteral("-o"), work.filePath(QStringLiteral("s.xls"))},
            work.path(), runtime.path());
    QCOMPARE(result.exitCode, 1);
    QCOMPARE(QString::fromUtf8(result.err), message);
    QVERIFY(filesIn(work.path()).isEmpty());
}

void TestCliCommands::meterWithoutRecordsGivesHeaderOnly_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("csv");
    for (const bool csv : {true, false}) {
        QTest::addRow("kind1 records %s", csv ? "csv" : "xls") << "kind1" << 1 << "records" << csv;
        QTest::addRow("kind6 records %s", csv ? "csv" : "xls") << "kind6" << 6 << "records" << csv;
        QTest::addRow("kind4 spectra %s", csv ? "csv" : "xls") << "kind4" << 4 << "spectra" << csv;
    }
}

void TestCliCommands::meterWithoutRecordsGivesHeaderOnly()
{
    QFETCH(QString, sample);
    QFETCH(int, kind);
    QFETCH(QString, command);
    QFETCH(bool, csv);

    QJsonObject image = sampleJson(sample);
    image.remove(QStringLiteral("records"));
    image.remove(QStringLiteral("names"));
    QTemporaryDir dir;
    const QString imagePath = writeImage(dir, QStringLiteral("empty.json"), image);
    const Grid full =
        command == QLatin1String("records") ? recordsGolden(sample, true) : expectedSpectra(sample, kind, true);
    Grid grid;
    QVERIFY(download({QStringLiteral("--virtual-meter"), imagePath, command}, QStringLiteral("out.") + formatName(csv),
                     csv, int(full.first().size()), grid));
    QCOMPARE(grid, Grid{full.first()});
}

QTEST_GUILESS_MAIN(TestCliCommands)
#include "tst_clicommands.moc"
