// SPDX-License-Identifier: GPL-3.0-or-later
// export ID1,ID2,... compares archived spectral downloads in one table: every record numbered with
// its download, each shown in its own meter's unit, the meter sheet listing every download; a
// download without spectra, or one the archive does not hold, is refused and nothing is written.
#include "CliTestSupport.h"
#include "MeasurementArchive.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QtTest>

using namespace CliTest;

class TestCliCompare : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir runtime;
    QTemporaryDir work;
    // The archive's ids: kind4 spectra, kind1 records, kind2 colours in mW/c㎡ (4 decimals).
    QString kind4, records, kind2;

    Result cli(const QStringList &arguments, const QString &language = QStringLiteral("en"), QString archive = {})
    {
        if (archive.isEmpty())
            archive = work.filePath(QStringLiteral("a.sqlite"));
        return run(QStringList{QStringLiteral("--archive"), archive, QStringLiteral("--lang"), language}
                       + arguments,
                   work.path(), runtime.path());
    }
    QString download(const QString &image, const QString &command)
    {
        cli({QStringLiteral("--virtual-meter"), image, command, QStringLiteral("-o"), work.filePath(QStringLiteral("d.csv"))});
        return QString::fromUtf8(cli({QStringLiteral("history")}).out).section(QLatin1Char('\t'), 0, 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(runtime.isValid() && work.isValid());
        kind4 = download(samplePath(QStringLiteral("kind4")), QStringLiteral("spectra"));
        records = download(samplePath(QStringLiteral("kind1")), QStringLiteral("records"));
        QJsonObject image = sampleJson(QStringLiteral("kind2"));
        QJsonArray unitSlots = image.value(QStringLiteral("unitSlots")).toArray();
        for (int i = 15; i <= 45; ++i)
            unitSlots[i] = 13;
        image.insert(QStringLiteral("unitSlots"), unitSlots);
        kind2 = download(writeImage(work, QStringLiteral("kind2-mw.json"), image), QStringLiteral("colour"));
        QCOMPARE(QSet<QString>({kind4, records, kind2, QString()}).size(), 4);
    }

    // The records of each download in the order named, numbered "#id-k", with the values and
    // decimals of their own meter; a workbook's second sheet lists every download and its unit.
    void comparisonTable_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("language");
        QTest::newRow("csv") << "c.csv" << "en";
        QTest::newRow("xls") << "c.xls" << "zh";
        QTest::newRow("xlsx") << "c.xlsx" << "en";
        QTest::newRow("json") << "c.json" << "en";
    }

    void comparisonTable()
    {
        QFETCH(QString, file);
        QFETCH(QString, language);
        const bool chinese = language == QLatin1String("zh");
        const QString output = work.filePath(file);
        const Result result = cli({QStringLiteral("export"), kind4 + QLatin1Char(',') + kind2, QStringLiteral("-o"), output},
                                  language);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QByteArray());

        // The samples' own tables renumbered; kind2 gets an empty name and 4 decimals.
        Grid expected = expectedSpectra(QStringLiteral("kind4"), 4, chinese);
        for (int k = 1; k < expected.size(); ++k)
            expected[k][0] = QStringLiteral("#%1-%2").arg(kind4).arg(k);
        const Grid other = expectedSpectra(QStringLiteral("kind2"), 2, chinese);
        for (int k = 1; k < other.size(); ++k) {
            QStringList row{QStringLiteral("#%1-%2").arg(kind2).arg(k), QString()};
            for (int i = 1; i <= 31; ++i)
                row << QString::number(other.at(k).at(i).toDouble(), 'f', 4);
            expected << (row << QString());
        }
        if (file.endsWith(QLatin1String(".json"))) {
            const QJsonArray written =
                QJsonDocument::fromJson(readFile(output)).object().value(QStringLiteral("records")).toArray();
            QCOMPARE(written.size(), expected.size() - 1);
            const QJsonObject last = written.last().toObject();
            QCOMPARE(last.value(QStringLiteral("number")).toString(), expected.last().first());
            QCOMPARE(last.value(QStringLiteral("unit")).toString(), QStringLiteral("mW/c㎡"));
            return;
        }
        Grid grid;
        QString error;
        const bool read = file.endsWith(QLatin1String(".csv")) ? parseCsv(readFile(output), grid, error)
                                                               : readXls(output, int(expected.first().size()), grid, error);
        QVERIFY2(read, qPrintable(error));
        // A workbook's values are numbers: its cells show them without the trailing zeros.
        for (int r = 1; r < expected.size() && !file.endsWith(QLatin1String(".csv")); ++r) {
            for (int c = 2; c < expected.at(r).size() - 1; ++c)
                expected[r][c] = grid.value(r).value(c).toDouble() == expected.at(r).at(c).toDouble() ? grid.at(r).at(c)
                                                                                                      : expected.at(r).at(c);
        }
        QCOMPARE(grid, expected);
        if (file.endsWith(QLatin1String(".csv")))
            return;
        QVERIFY2(readXls(output, 3, grid, error, 1), qPrintable(error));
        QCOMPARE(grid.first(), (QStringList{chinese ? QStringLiteral("下载") : QStringLiteral("Download"),
                                            QLatin1Char('#') + kind4, QLatin1Char('#') + kind2}));
        QCOMPARE(grid.at(grid.size() - 2), (QStringList{chinese ? QStringLiteral("光谱单位") : QStringLiteral("Spectral unit"),
                                                         QStringLiteral("μW/c㎡/nm"), QStringLiteral("mW/c㎡")}));
    }

    // The downloads as they stand now (deleted records left out, typed names), or with
    // --original as the meter gave them; either way the records keep their meter's numbers.
    void currentStateIsCompared_data()
    {
        QTest::addColumn<bool>("original");
        QTest::newRow("current") << false;
        QTest::newRow("original") << true;
    }

    void currentStateIsCompared()
    {
        QFETCH(bool, original);
        const QString copy = work.filePath(QStringLiteral("edited-%1.sqlite").arg(original));
        QVERIFY(QFile::copy(work.filePath(QStringLiteral("a.sqlite")), copy));
        {
            QString reason;
            const auto archive = MeasurementArchive::openLocation(copy, reason);
            QVERIFY2(archive, qPrintable(reason));
            RecordEdit renamed, deleted;
            renamed.record = 0;
            renamed.name = QStringLiteral("Lamp A");
            deleted.record = 1;
            deleted.deleted = true;
            QVERIFY(archive->saveEdits(kind4.toLongLong(), {renamed, deleted}));
        }
        const QString output = work.filePath(QStringLiteral("edited.csv"));
        QStringList arguments{QStringLiteral("export"), kind4 + QLatin1Char(',') + kind2, QStringLiteral("-o"), output};
        if (original)
            arguments << QStringLiteral("--original");
        QCOMPARE(cli(arguments, QStringLiteral("en"), copy).exitCode, 0);
        Grid grid, meter = expectedSpectra(QStringLiteral("kind4"), 4, false);
        QString error;
        QVERIFY2(parseCsv(readFile(output), grid, error), qPrintable(error));
        QCOMPARE(grid.size(), meter.size() + expectedSpectra(QStringLiteral("kind2"), 2, false).size() - 1 - (original ? 0 : 1));
        QCOMPARE(grid.at(1).mid(0, 2), (QStringList{QLatin1Char('#') + kind4 + QStringLiteral("-1"),
                                                   original ? meter.at(1).at(1) : QStringLiteral("Lamp A")}));
        QCOMPARE(grid.at(2).first(), QLatin1Char('#') + kind4 + (original ? QStringLiteral("-2") : QStringLiteral("-3")));
    }

    // The report's first page lists every download, a column each, with its notes.
    void reportListsEveryDownload()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils is not installed (scripts/install-deps.sh installs it)");
        const QString copy = work.filePath(QStringLiteral("noted.sqlite"));
        QVERIFY(QFile::copy(work.filePath(QStringLiteral("a.sqlite")), copy));
        const QString en = QStringLiteral("en");
        QCOMPARE(cli({QStringLiteral("annotate"), kind4, QStringLiteral("--location"), QStringLiteral("Lab 4")}, en, copy).exitCode, 0);
        QCOMPARE(cli({QStringLiteral("annotate"), kind2, QStringLiteral("--title"), QStringLiteral("Lamp K2"),
                      QStringLiteral("--note"), QStringLiteral("after the ballast")}, en, copy).exitCode, 0);
        const QString output = work.filePath(QStringLiteral("c.pdf"));
        QCOMPARE(cli({QStringLiteral("export"), kind4 + QLatin1Char(',') + kind2, QStringLiteral("-o"), output}, en, copy)
                     .exitCode, 0);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                                 QStringLiteral("1"), output, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        const QString first = QString::fromUtf8(text.readAllStandardOutput());
        for (const QString &shown : {QLatin1Char('#') + kind4, QLatin1Char('#') + kind2, QStringLiteral("Lab 4"),
                                     QStringLiteral("Lamp K2"), QStringLiteral("after the ballast"), QStringLiteral("mW/c㎡")})
            QVERIFY2(first.contains(shown), qPrintable(shown + QStringLiteral(" not in:\n") + first));
    }

    // Refused before anything is written: exit 1 with the reason (2 for a list that is no list of ids).
    void comparisonRefused_data()
    {
        QTest::addColumn<QString>("ids"); // %1 kind4, %2 records
        QTest::addColumn<QString>("language");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("records download") << "%1,%2" << "en" << 1
                                          << "download %2 is no spectral download (a spectral or colour table of meter "
                                             "kinds 1 to 5) and cannot be compared\n";
        QTest::newRow("records first, Chinese") << "%2,%1" << "zh" << 1
                                                << "下载 %2 不是光谱下载 (仪器类型 1 至 5 的光谱表或颜色表), 不能对比\n";
        QTest::newRow("unknown id") << "%1,999" << "en" << 1 << "the archive holds no download 999\n";
        QTest::newRow("no number") << "%1,x" << "en" << 2 << "";
        QTest::newRow("empty id") << "%1," << "en" << 2 << "";
    }

    void comparisonRefused()
    {
        QFETCH(QString, ids);
        QFETCH(QString, language);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const auto idsIn = [this](QString text) {
            return text.replace(QLatin1String("%1"), kind4).replace(QLatin1String("%2"), records);
        };
        const QString output = work.filePath(QStringLiteral("refused.xls"));
        const Result result = cli({QStringLiteral("export"), idsIn(ids), QStringLiteral("-o"), output}, language);
        QCOMPARE(result.exitCode, exitCode);
        if (!message.isEmpty())
            QCOMPARE(QString::fromUtf8(result.err), idsIn(message));
        QVERIFY(!result.err.isEmpty() && result.out.isEmpty());
        QVERIFY(!QFile::exists(output));
    }
};

QTEST_GUILESS_MAIN(TestCliCompare)
#include "tst_clicompare.moc"
