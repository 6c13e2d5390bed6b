// SPDX-License-Identifier: GPL-3.0-or-later
// export ID1,ID2,... compares archived spectral downloads in one table: every record numbered with
// its download, each shown in its own meter's unit, the meter sheet listing every download; a
// download without spectra, or one the archive does not hold, is refused and nothing is written.
#include "CliTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtTest>

using namespace CliTest;

class TestCliCompare : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir runtime;
    QTemporaryDir work;
    QString archive;
    // The ids the archive gave: kind1 spectra, kind4 spectra, kind1 records, kind2 colours in mW/c㎡.
    QString kind1, kind4, records, kind2;

    Result cli(const QStringList &arguments, const QString &language = QStringLiteral("en"))
    {
        return run(QStringList{QStringLiteral("--archive"), archive, QStringLiteral("--lang"), language} + arguments,
                   work.path(), runtime.path());
    }
    QString download(const QString &image, const QString &command)
    {
        const Result result = cli({QStringLiteral("--virtual-meter"), image, command, QStringLiteral("-o"),
                                   work.filePath(QStringLiteral("download.csv"))});
        if (result.exitCode != 0)
            return QString();
        const Result listed = cli({QStringLiteral("history")});
        return QString::fromUtf8(listed.out).section(QLatin1Char('\t'), 0, 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(runtime.isValid() && work.isValid());
        archive = work.filePath(QStringLiteral("compare.sqlite"));
        kind1 = download(samplePath(QStringLiteral("kind1")), QStringLiteral("spectra"));
        kind4 = download(samplePath(QStringLiteral("kind4")), QStringLiteral("spectra"));
        records = download(samplePath(QStringLiteral("kind1")), QStringLiteral("records"));
        // Another meter, its spectra in mW/c㎡ with 4 decimals (unit 13 of the unit catalog).
        QJsonObject image = sampleJson(QStringLiteral("kind2"));
        QJsonArray unitSlots = image.value(QStringLiteral("unitSlots")).toArray();
        for (int i = 15; i <= 45; ++i)
            unitSlots[i] = 13;
        image.insert(QStringLiteral("unitSlots"), unitSlots);
        kind2 = download(writeImage(work, QStringLiteral("kind2-mw.json"), image), QStringLiteral("colour"));
        QVERIFY(!kind1.isEmpty() && !kind4.isEmpty() && !records.isEmpty() && !kind2.isEmpty());
        QCOMPARE(QSet<QString>({kind1, kind4, records, kind2}).size(), 4);
    }

    // Every table format: the records of each download in the order named, numbered "#id-k", with
    // the values and decimals of their own meter; a workbook's second sheet lists every download.
    void comparisonTable_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("language");
        QTest::newRow("csv, English") << "c.csv"
                                      << "en";
        QTest::newRow("xls, Chinese") << "c.xls"
                                      << "zh";
        QTest::newRow("xlsx, English") << "c.xlsx"
                                       << "en";
    }

    void comparisonTable()
    {
        QFETCH(QString, file);
        QFETCH(QString, language);
        const bool chinese = language == QLatin1String("zh");
        const QString output = work.filePath(file);
        const Result result = cli({QStringLiteral("export"), QStringList{kind4, kind2, kind1}.join(QLatin1Char(',')),
                                    QStringLiteral("-o"), output},
                                   language);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QByteArray());

        // The expected rows: the samples' own tables, renumbered, kind1 and kind2 with an empty name.
        Grid expected{expectedSpectra(QStringLiteral("kind4"), 4, chinese).first()};
        const struct
        {
            QString id, sample;
            int kind;
        } parts[] = {{kind4, QStringLiteral("kind4"), 4}, {kind2, QStringLiteral("kind2"), 2}, {kind1, QStringLiteral("kind1"), 1}};
        for (const auto &part : parts) {
            const Grid rows = expectedSpectra(part.sample, part.kind, chinese).mid(1);
            for (int k = 0; k < rows.size(); ++k) {
                QStringList row = rows.at(k);
                row[0] = QStringLiteral("#%1-%2").arg(part.id).arg(k + 1);
                if (part.kind != 4)
                    row.insert(1, QString());
                // kind2's meter gives its values in mW/c㎡ with 4 decimals.
                if (part.id == kind2) {
                    for (int i = 2; i < row.size() - 1; ++i)
                        row[i] = QString::number(rows.at(k).at(i - 1).toDouble(), 'f', 4);
                }
                expected << row;
            }
        }
        Grid grid;
        QString error;
        const bool read = file.endsWith(QLatin1String(".csv"))
                              ? parseCsv(readFile(output), grid, error)
                              : readXls(output, int(expected.first().size()), grid, error);
        QVERIFY2(read, qPrintable(error));
        if (file.endsWith(QLatin1String(".csv"))) {
            QCOMPARE(grid.size(), expected.size());
            for (int r = 0; r < grid.size(); ++r)
                QCOMPARE(grid.at(r), expected.at(r));
            return;
        }
        QCOMPARE(grid.size(), expected.size());
        // A workbook's cells are numbers: compare them as numbers.
        for (int r = 0; r < grid.size(); ++r) {
            QCOMPARE(grid.at(r).mid(0, 2), expected.at(r).mid(0, 2));
            for (int c = 2; c < grid.at(r).size() - 1 && r > 0; ++c)
                QCOMPARE(grid.at(r).at(c).toDouble(), expected.at(r).at(c).toDouble());
        }

        Grid meter;
        QVERIFY2(readXls(output, 4, meter, error, 1), qPrintable(error));
        QCOMPARE(meter.first(), (QStringList{chinese ? QStringLiteral("下载") : QStringLiteral("Download"),
                                             QLatin1Char('#') + kind4, QLatin1Char('#') + kind2,
                                             QLatin1Char('#') + kind1}));
        const auto rowOf = [&meter](const QString &label) {
            for (const QStringList &row : std::as_const(meter)) {
                if (row.first() == label)
                    return row.mid(1);
            }
            return QStringList();
        };
        QCOMPARE(rowOf(chinese ? QStringLiteral("光谱单位") : QStringLiteral("Spectral unit")),
                 (QStringList{QStringLiteral("μW/c㎡/nm"), QStringLiteral("mW/c㎡"), QStringLiteral("μW/c㎡/nm")}));
        QCOMPARE(rowOf(chinese ? QStringLiteral("记录数量") : QStringLiteral("Records")).size(), 3);
    }

    // The JSON document names each record's download and unit; the PDF is a report of them all.
    void comparisonDocuments()
    {
        const QString json = work.filePath(QStringLiteral("c.json"));
        QCOMPARE(cli({QStringLiteral("export"), kind1 + QLatin1Char(',') + kind2, QStringLiteral("-o"), json}).exitCode,
                 0);
        const QJsonObject document = QJsonDocument::fromJson(readFile(json)).object();
        QCOMPARE(document.value(QStringLiteral("downloads")).toArray().size(), 2);
        const QJsonArray recordList = document.value(QStringLiteral("records")).toArray();
        QCOMPARE(recordList.size(), expectedSpectra(QStringLiteral("kind1"), 1, false).size() - 1
                                        + expectedSpectra(QStringLiteral("kind2"), 2, false).size() - 1);
        const QJsonObject last = recordList.last().toObject();
        QCOMPARE(last.value(QStringLiteral("download")).toInteger(), kind2.toLongLong());
        QCOMPARE(last.value(QStringLiteral("number")).toString(),
                 QStringLiteral("#%1-%2").arg(kind2).arg(last.value(QStringLiteral("record")).toInt()));
        QCOMPARE(last.value(QStringLiteral("unit")).toString(), QStringLiteral("mW/c㎡"));

        const QString pdf = work.filePath(QStringLiteral("c.pdf"));
        QCOMPARE(cli({QStringLiteral("export"), kind1 + QLatin1Char(',') + kind4, QStringLiteral("-o"), pdf}).exitCode, 0);
        QVERIFY(readFile(pdf).startsWith("%PDF-"));
    }

    // Refused before anything is written: exit 1 with the reason (2 for a list that is no list of ids).
    void comparisonRefused_data()
    {
        QTest::addColumn<QString>("ids"); // %1 kind1, %2 records
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("records download") << "%1,%2" << 1
                                          << "download %2 is no spectral download (a spectral or colour table of meter "
                                             "kinds 1 to 5) and cannot be compared\n";
        QTest::newRow("records download first, Chinese") << "%2,%1" << 1 << "zh";
        QTest::newRow("unknown id") << "%1,999" << 1 << "the archive holds no download 999\n";
        QTest::newRow("no number") << "%1,x" << 2 << "";
        QTest::newRow("empty id") << "%1," << 2 << "";
    }

    void comparisonRefused()
    {
        QFETCH(QString, ids);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const QString output = work.filePath(QStringLiteral("refused.xls"));
        const bool chinese = message == QLatin1String("zh");
        const auto idsIn = [this](QString text) {
            return text.replace(QLatin1String("%1"), kind1).replace(QLatin1String("%2"), records);
        };
        const Result result = cli({QStringLiteral("export"), idsIn(ids), QStringLiteral("-o"), output},
                                  chinese ? QStringLiteral("zh") : QStringLiteral("en"));
        QCOMPARE(result.exitCode, exitCode);
        if (chinese)
            QCOMPARE(QString::fromUtf8(result.err),
                     QStringLiteral("下载 %1 不是光谱下载 (仪器类型 1 至 5 的光谱表或颜色表), 不能对比\n").arg(records));
        else if (!message.isEmpty())
            QCOMPARE(QString::fromUtf8(result.err), idsIn(message));
        else
            QVERIFY(!result.err.isEmpty());
        QVERIFY(!QFile::exists(output));
        QVERIFY(result.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliCompare)
#include "tst_clicompare.moc"
