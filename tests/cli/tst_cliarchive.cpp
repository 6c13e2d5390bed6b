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

    // -o never names the archive (in any spelling) or a journal SQLite keeps beside it: refused
    // before the meter is read, the archive as it was, nothing written.
    void outputNeverReplacesTheArchive_data()
    {
        QTest::addColumn<QString>("command"); // records or export
        QTest::addColumn<QString>("archive"); // --archive, relative to the work folder; empty: the default
        QTest::addColumn<QString>("output");  // -o, relative to the work folder, or "default"
        for (const char *command : {"records", "export"}) {
            QTest::addRow("%s, the same file", command) << command << "kept/a.sqlite" << "kept/a.sqlite";
            QTest::addRow("%s, through a link", command) << command << "kept/a.sqlite" << "link/a.sqlite";
            QTest::addRow("%s, its -wal", command) << command << "kept/a.sqlite" << "kept/a.sqlite-wal";
            QTest::addRow("%s, its -journal", command) << command << "kept/a.sqlite" << "kept/a.sqlite-journal";
            QTest::addRow("%s, the default archive", command) << command << "" << "default";
        }
    }

    void outputNeverReplacesTheArchive()
    {
        QFETCH(QString, command);
        QFETCH(QString, archive);
        QFETCH(QString, output);
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("kept"))
                && QFile::link(folder.filePath(QStringLiteral("kept")), folder.filePath(QStringLiteral("link"))));
        const QString archiveFile = archive.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                                                            + QStringLiteral("/Lumivane/archive.sqlite")
                                                      : folder.filePath(archive);
        const QStringList where = archive.isEmpty() ? QStringList() : QStringList{QStringLiteral("--archive"), archiveFile};
        // One download in the archive, so that there is something to lose and to export.
        const Result stored = cli(where + QStringList{QStringLiteral("--virtual-meter"), samplePath(QStringLiteral("kind2")),
                                                      QStringLiteral("records"), QStringLiteral("-o"),
                                                      folder.filePath(QStringLiteral("first.csv"))});
        QCOMPARE(stored.exitCode, 0);
        const QByteArray before = readFile(archiveFile);
        const QStringList filesBefore = filesIn(folder.filePath(QStringLiteral("kept")));
        const QString target = output == QLatin1String("default") ? archiveFile : folder.filePath(output);
        const QStringList meter{QStringLiteral("--virtual-meter"), samplePath(QStringLiteral("kind2")),
                                QStringLiteral("records")};
        const QStringList exported{QStringLiteral("export"), archived(archiveFile).first().section('\t', 0, 0)};
        const Result refused = cli(where + QStringList{QStringLiteral("--lang"), QStringLiteral("en")}
                                   + (command == QLatin1String("records") ? meter : exported)
                                   + QStringList{QStringLiteral("-o"), target});
        QCOMPARE(refused.exitCode, 1);
        QCOMPARE(QString::fromUtf8(refused.err),
                 QStringLiteral("Exporting data failed! %1: it is the measurement archive (or one of its journal "
                                "files) and is not overwritten\n")
                     .arg(target));
        QCOMPARE(readFile(archiveFile), before);
        QCOMPARE(filesIn(folder.filePath(QStringLiteral("kept"))), filesBefore);
        if (archive.isEmpty())
            QVERIFY(QFile::remove(archiveFile));
    }

    // An --archive that cannot be used is a usage error found before the meter is opened (the
    // image named here does not exist, which only opening finds); a password in the address is
    // warned about first, and never shown.
    void archiveCheckedBeforeTheMeter_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said"); // the start of the first line on standard error
        const QString usage = QStringLiteral("lumivane-cli: --archive cannot be used: ");
        const QString warning = QStringLiteral("warning: the password in the --archive address is visible");
        const QString meter = QStringLiteral("Cannot read the meter image");
        QTest::newRow("another database") << "mysql://x/y" << 2 << usage + "archive location: unknown kind of database";
        QTest::newRow("a bad port") << "postgresql://u:secret@h:99999/db" << 2
                                    << usage + "archive location: the PostgreSQL port is not a number";
        QTest::newRow("a bad escape") << "postgresql://u:se%zzcret@h/db" << 2
                                      << usage + "archive location: invalid percent-encoded token";
        QTest::newRow("an unknown option") << "postgresql://h/db?colour=red" << 2
                                           << usage + "archive location: invalid URI query parameter";
        QTest::newRow("a device") << "/dev/null" << 2 << usage + "/dev/null is not a regular file";
        QTest::newRow("a folder") << "sqlite:/tmp" << 2 << usage + "/tmp is not a regular file";
        QTest::newRow("password in the user part") << "postgresql://ann:secret@h/db" << 1 << warning;
        QTest::newRow("password as an option") << "postgresql://h/db?password=secret" << 1 << warning;
        QTest::newRow("libpq options, no password") << "postgresql://h/db?sslmode=disable&connect_timeout=2" << 1
                                                    << meter;
    }

    void archiveCheckedBeforeTheMeter()
    {
        QFETCH(QString, archive);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        const QString never = work.filePath(QStringLiteral("never.csv"));
        const Result result = cli({QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--archive"), archive,
                                   QStringLiteral("--virtual-meter"), work.filePath(QStringLiteral("missing.json")),
                                   QStringLiteral("records"), QStringLiteral("-o"), never});
        QCOMPARE(result.exitCode, exitCode);
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(err.startsWith(said) && !err.contains(QStringLiteral("secret")), qPrintable(err));
        QVERIFY(!QFile::exists(never) && !QFile::exists(QStringLiteral("/dev/null-journal")));
    }
};

QTEST_GUILESS_MAIN(TestCliArchive)
#include "tst_cliarchive.moc"
