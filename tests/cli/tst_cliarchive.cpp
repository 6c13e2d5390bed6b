// SPDX-License-Identifier: GPL-3.0-or-later
// Every download of lumivane-cli goes into the archive, which lists it and writes it again: the
// same file the download wrote, byte for byte; an archive that cannot be used costs the download
// nothing but a message.
#include "CliTestSupport.h"

#include <QtTest>

using namespace CliTest;

class TestCliArchive : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir runtime;
    QTemporaryDir work;

    Result cli(const QStringList &arguments) { return run(arguments, work.path(), runtime.path()); }
    QStringList archived(const QString &archive, const QStringList &filter = {})
    {
        const Result listed =
            cli(QStringList{QStringLiteral("--archive"), archive, QStringLiteral("history")} + filter);
        return QString::fromUtf8(listed.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(runtime.isValid() && work.isValid()); }

    void exportWritesTheDownloadAgain_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("language");
        QTest::newRow("kind1 records, xls") << "kind1"
                                            << "records"
                                            << "r.xls"
                                            << "zh";
        QTest::newRow("kind4 records with names, csv") << "kind4"
                                                       << "records"
                                                       << "r.csv"
                                                       << "en";
        QTest::newRow("kind6 records with probes, xls") << "kind6"
                                                        << "records"
                                                        << "r6.xls"
                                                        << "en";
        QTest::newRow("kind1-ppfd spectra, xls") << "kind1-ppfd"
                                                 << "spectra"
                                                 << "s.xls"
                                                 << "en";
    }

    void exportWritesTheDownloadAgain()
    {
        QFETCH(QString, sample);
        QFETCH(QString, command);
        QFETCH(QString, file);
        QFETCH(QString, language);
        const QString archive = work.filePath(QTest::currentDataTag() + QStringLiteral(".sqlite"));
        const QStringList options{QStringLiteral("--archive"), archive, QStringLiteral("--lang"), language};
        Result result = cli(options
                            + QStringList{QStringLiteral("--virtual-meter"), samplePath(sample), command,
                                          QStringLiteral("-o"), work.filePath(file)});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QByteArray());

        const QStringList lines = archived(archive);
        QCOMPARE(lines.size(), 1);
        const QStringList fields = lines.first().split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 7);
        QCOMPARE(fields.last(), command);
        const QString again = work.filePath(QStringLiteral("again-") + file);
        result = cli(options + QStringList{QStringLiteral("export"), fields.first(), QStringLiteral("-o"), again});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(readFile(again), readFile(work.filePath(file)));
    }

    void listingAndRefusals()
    {
        const QString archive = work.filePath(QStringLiteral("list.sqlite"));
        const QStringList meter{QStringLiteral("--archive"), archive, QStringLiteral("--lang"), QStringLiteral("en"),
                                QStringLiteral("--virtual-meter")};
        for (const char *sample : {"kind1", "kind2", "kind2"})
            QCOMPARE(cli(meter
                         + QStringList{samplePath(QLatin1String(sample)), QStringLiteral("records"),
                                       QStringLiteral("-o"), work.filePath(QStringLiteral("l.csv"))})
                         .exitCode,
                     0);
        QCOMPARE(
            cli(meter
                + QStringList{samplePath(QStringLiteral("kind1")), QStringLiteral("--no-archive"),
                              QStringLiteral("records"), QStringLiteral("-o"), work.filePath(QStringLiteral("l.csv"))})
                .exitCode,
            0);
        // Newest first, ids counting up; the filters narrow the list.
        const QStringList all = archived(archive);
        QCOMPARE(all.size(), 3);
        QVERIFY(all.at(0).section(QLatin1Char('\t'), 0, 0).toLongLong()
                > all.at(2).section(QLatin1Char('\t'), 0, 0).toLongLong());
        const QString kind2Serial = all.at(0).section(QLatin1Char('\t'), 2, 2);
        QCOMPARE(archived(archive, {QStringLiteral("--serial"), kind2Serial}).size(), 2);
        QCOMPARE(archived(archive, {QStringLiteral("--since"), QDate::currentDate().addDays(1).toString(Qt::ISODate)}),
                 QStringList());
        QCOMPARE(archived(archive, {QStringLiteral("--since"), QDate::currentDate().toString(Qt::ISODate)}).size(), 3);

        const Result missing = cli({QStringLiteral("--archive"), archive, QStringLiteral("--lang"),
                                    QStringLiteral("en"), QStringLiteral("export"), QStringLiteral("999"),
                                    QStringLiteral("-o"), work.filePath(QStringLiteral("none.xls"))});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err, QByteArray("the archive holds no download 999\n"));
        QVERIFY(!QFile::exists(work.filePath(QStringLiteral("none.xls"))));
    }

    void unusableArchiveCostsNothingButAMessage()
    {
        const QString notADatabase = work.filePath(QStringLiteral("not-a-database.sqlite"));
        QVERIFY(writeFile(notADatabase, QByteArray(4096, 'x')));
        const QString output = work.filePath(QStringLiteral("kept.csv"));
        const Result result =
            cli({QStringLiteral("--archive"), notADatabase, QStringLiteral("--lang"), QStringLiteral("en"),
                 QStringLiteral("--virtual-meter"), samplePath(QStringLiteral("kind2")), QStringLiteral("records"),
                 QStringLiteral("-o"), output});
        QCOMPARE(result.exitCode, 0);
        QVERIFY(readFile(output).size() > 100);
        const QStringList said = QString::fromUtf8(result.err).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().startsWith(QStringLiteral("This download was not archived: "))
                     && said.first().contains(notADatabase),
                 qPrintable(said.first()));
        QCOMPARE(readFile(notADatabase), QByteArray(4096, 'x'));
    }
};

QTEST_GUILESS_MAIN(TestCliArchive)
#include "tst_cliarchive.moc"
