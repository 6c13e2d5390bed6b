// SPDX-License-Identifier: GPL-3.0-or-later
// Every download of lumivane-cli goes into the archive, which lists it and writes it again: the
// same file the download wrote, byte for byte; an archive that cannot be used costs the download
// nothing but a message.
#include "CliTestSupport.h"
#include "MeasurementArchive.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

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
        QTest::newRow("kind4 colour, csv") << "kind4"
                                           << "colour"
                                           << "c.csv"
                                           << "zh";
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
        QCOMPARE(fields.size(), 9); // without notes, the title and location are empty
        QCOMPARE(fields.mid(6), (QStringList{command, QString(), QString()}));
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

    // An archived download that does not agree with itself is refused at once with the reason,
    // and nothing is written.
    void damagedDownloadIsRefused_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("damage"); // run on the archive
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("reason");
        const char *const rows[][5] = {
            {"catalogs unreadable", "kind1", "UPDATE downloads SET catalogs = '{\"units\": [[1'", "en",
             "its stored catalogs cannot be read"},
            {"catalogs without units", "kind1", "UPDATE downloads SET catalogs = '{\"probes\": {}}'", "en",
             "its stored catalogs cannot be read"},
            {"count far above the memory", "kind1", "UPDATE downloads SET record_count = 9000000000000", "en",
             "its 9000000000000 records need 1764000000000000 bytes of record memory, but 1176 bytes are stored"},
            {"record memory missing", "kind1", "DELETE FROM memory_chunks WHERE area = 0", "en",
             "its 6 records need 1176 bytes of record memory, but 0 bytes"},
            {"name memory missing", "kind4", "DELETE FROM memory_chunks WHERE area = 1", "en",
             "bytes of name memory, but 0 bytes are stored"},
            {"unknown kind", "kind1", "UPDATE downloads SET kind = 99", "zh",
             "存档中编号为 1 的下载已损坏: 仪器类型 99 未知"},
            {"unknown table", "kind1", "UPDATE downloads SET purpose = 7", "en",
             "its table 7 is unknown or does not fit meter kind 1"},
            {"spectra of a kind without", "kind6", "UPDATE downloads SET purpose = 2", "en",
             "its table 2 is unknown or does not fit meter kind 6"},
            {"unit slots cut", "kind2", "UPDATE downloads SET unit_slots = '[1,2]'", "en",
             "its unit slots are incomplete (2 of 60)"},
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << row[1] << row[2] << row[3] << QString::fromUtf8(row[4]);
    }
    void damagedDownloadIsRefused()
    {
        QFETCH(QString, sample);
        QFETCH(QString, damage);
        QFETCH(QString, language);
        QFETCH(QString, reason);
        const QString archive = work.filePath(QTest::currentDataTag() + QStringLiteral(".sqlite"));
        const QStringList options{QStringLiteral("--archive"), archive, QStringLiteral("--lang"), language};
        QCOMPARE(cli(options
                     + QStringList{QStringLiteral("--virtual-meter"), samplePath(sample), QStringLiteral("records"),
                                   QStringLiteral("-o"), work.filePath(QStringLiteral("damaged.csv"))})
                     .exitCode,
                 0);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("damage"));
            db.setDatabaseName(archive);
            QVERIFY(db.open());
            QSqlQuery query(db);
            QVERIFY(query.exec(damage) && query.numRowsAffected() > 0);
        }
        QSqlDatabase::removeDatabase(QStringLiteral("damage"));
        const QString output = work.filePath(QStringLiteral("refused.csv"));
        const Result result =
            cli(options + QStringList{QStringLiteral("export"), QStringLiteral("1"), QStringLiteral("-o"), output});
        QCOMPARE(result.exitCode, 1);
        const QString said = QString::fromUtf8(result.err);
        QVERIFY2(said.contains(reason) && said.count(QLatin1Char('\n')) == 1, qPrintable(said));
        QVERIFY(!QFile::exists(output));
    }

    // A shared archive: its owner downloads into it, another user only reads it (history, export)
    // and leaves nothing behind that keeps the owner from archiving; a folder and file the reader
    // may only read can still be read.
    void readersLeaveTheArchiveToItsOwner_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::newRow("folder shared with everyone") << 0777;
        QTest::newRow("folder and file only readable") << 0755;
    }
    void readersLeaveTheArchiveToItsOwner()
    {
        if (::geteuid() != 0)
            QSKIP("running the program as two other users needs root");
        QFETCH(int, folderMode);
        const unsigned owner = 40001, reader = 40002;
        QTemporaryDir top;
        const QString folder = top.filePath(QStringLiteral("shared")), out = top.filePath(QStringLiteral("out"));
        const QString home[] = {top.filePath(QStringLiteral("owner")), top.filePath(QStringLiteral("reader"))};
        QVERIFY(QDir().mkpath(folder) && QDir().mkpath(out) && QDir().mkpath(home[0]) && QDir().mkpath(home[1]));
        QVERIFY(::chmod(qPrintable(top.path()), 0755) == 0 && ::chmod(qPrintable(out), 0777) == 0
                && ::chown(qPrintable(folder), owner, owner) == 0 && ::chmod(qPrintable(folder), folderMode) == 0
                && ::chown(qPrintable(home[0]), owner, owner) == 0
                && ::chown(qPrintable(home[1]), reader, reader) == 0);
        const QString archive = folder + QStringLiteral("/archive.sqlite");
        const auto as = [&](unsigned user, const QStringList &arguments) {
            return run(QStringList{QStringLiteral("--archive"), archive, QStringLiteral("--lang"), QStringLiteral("en")}
                           + arguments,
                       out, home[user == owner ? 0 : 1], user);
        };
        const QStringList download{QStringLiteral("--virtual-meter"), samplePath(QStringLiteral("kind2")),
                                   QStringLiteral("records"), QStringLiteral("-o"), out + QStringLiteral("/a.csv")};
        Result result = as(owner, download);
        QVERIFY2(result.exitCode == 0 && result.err.isEmpty(), result.err.constData());

        result = as(reader, {QStringLiteral("history")});
        QVERIFY2(result.exitCode == 0 && result.out.count('\n') == 1, result.err.constData());
        result = as(reader, {QStringLiteral("export"), QStringLiteral("1"), QStringLiteral("-o"),
                             out + QStringLiteral("/b.csv")});
        QVERIFY2(result.exitCode == 0, result.err.constData());
        QCOMPARE(readFile(out + QStringLiteral("/b.csv")), readFile(out + QStringLiteral("/a.csv")));
        QCOMPARE(filesIn(folder), QStringList{QStringLiteral("archive.sqlite")});
        // The reader sees the notes but cannot change them: one clear message, nothing changed.
        QCOMPARE(as(owner, {"annotate", "1", "--title", "A"}).exitCode, 0);
        result = as(reader, {"annotate", "1", "--title", "B"});
        QVERIFY2(result.exitCode == 1 && result.err.startsWith("the archive cannot be used: ")
                     && result.err.count('\n') == 1,
                 result.err.constData());
        QVERIFY(as(reader, {"annotate", "1"}).out.startsWith("Title: A\n"));
        QCOMPARE(filesIn(folder), QStringList{QStringLiteral("archive.sqlite")});

        result = as(owner, download);
        QVERIFY2(result.exitCode == 0 && result.err.isEmpty(), result.err.constData());
        QCOMPARE(as(reader, {QStringLiteral("history")}).out.count('\n'), 2);
    }

    // annotate changes only the notes given and shows them; history lists and finds them; export
    // writes the download as the user left it (rows deleted left out, names typed in place of the
    // meter's, the notes on the meter sheet), --original what the meter gave.
    void notesAndEdits_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("file");
        for (const char *row : {"records e.csv", "spectra e.csv", "colour e.csv", "records e.xls", "spectra e.pdf"})
            QTest::newRow(row) << QString(row).section(' ', 0, 0) << QString(row).section(' ', 1);
    }
    void notesAndEdits()
    {
        QFETCH(QString, command);
        QFETCH(QString, file);
        const QString archive = work.filePath(QTest::currentDataTag() + QStringLiteral(".sqlite"));
        const auto at = [&](const QStringList &arguments) {
            return cli(QStringList{"--archive", archive, "--lang", "en"} + arguments);
        };
        const QString downloaded = work.filePath("d-" + file), current = work.filePath("c-" + file),
                      original = work.filePath("o-" + file);
        QCOMPARE(at({"--virtual-meter", samplePath("kind4"), command, "-o", downloaded}).exitCode, 0);
        for (const QStringList &change : {QStringList{"--title", "T", "--note", "two\nlines"},
                                          QStringList{"--location", "Lab süd", "--title", "Lamp"}})
            QVERIFY(at(QStringList{"annotate", "1"} + change).out.isEmpty());
        QCOMPARE(at({"annotate", "1"}).out,
                 "Title: Lamp\nProject or location: Lab süd\nOperator: \nNote: two\n  lines\n");
        QCOMPARE(at({"history", "--grep", "SÜD"}).out.split('\t').mid(7), (QList<QByteArray>{"Lamp", "Lab süd\n"}));
        QVERIFY(at({"history", "--grep", "lamps"}).out.isEmpty());
        QCOMPARE(at({"annotate", "2", "--note", ""}).err, "the archive holds no download 2\n");
        {
            ArchiveLocation location;
            location.path = archive;
            MeasurementArchive edits(location);
            QVERIFY(edits.open()
                    && edits.saveEdits(
                        1, {{3, {}, "Typed", {}}, {1, true, {}, {}}, {4, true, {}, {}}, {0, {}, {}, false}}));
        }
        QCOMPARE(at({"export", "1", "-o", current}).exitCode, 0);
        QCOMPARE(at({"export", "1", "--original", "-o", original}).exitCode, 0);
        const bool pdf = file.endsWith(".pdf");
        QVERIFY(!pdf || (readFile(current).startsWith("%PDF") && readFile(current) != readFile(original)));
        if (pdf)
            return;
        Grid got, want, meter;
        QString error;
        if (file.endsWith(".csv")) {
            QCOMPARE(readFile(original), readFile(downloaded));
            QVERIFY(parseCsv(readFile(current), got, error) && parseCsv(readFile(downloaded), want, error));
        } else {
            QVERIFY2(readXls(current, 20, got, error) && readXls(downloaded, 20, want, error)
                         && readXls(current, 2, meter, error, 1),
                     qPrintable(error));
            const Grid facts{
                {"Records", "4"}, {"Title", "Lamp"}, {"Project or location", "Lab süd"}, {"Note", "two\nlines"}};
            QCOMPARE(meter.mid(5, 1) + meter.mid(meter.size() - 3), facts);
        }
        // Records 2 and 5 (rows 2 and 5 under the titles) gone, record 4 renamed, the rest numbered on.
        const bool numbered = command != "records";
        want.removeAt(5);
        want.removeAt(2);
        for (int row = 1; numbered && row < want.size(); ++row)
            want[row][0] = QString::number(row);
        want[3][numbered ? 1 : 0] = QStringLiteral("Typed");
        QCOMPARE(got, want);
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
