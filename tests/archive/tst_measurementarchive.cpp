// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveEditsView.h"
#include "ArchiveSchema.h"
#include "MeasurementArchive.h"
#include "PostgresServer.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <chrono>
#include <csignal>
#include <future>
#include <thread>
#include <unistd.h>

namespace {

const int sqlite = ArchiveLocation::Sqlite;
const int postgresql = ArchiveLocation::Postgresql;
const QDateTime start(QDate(2024, 1, 1), QTime(8, 0), Qt::UTC);

struct Download
{
    ArchiveEntry entry;
    QByteArray records, names;
    QList<QByteArray> decoded;
};

// A kind-4 download whose bytes and values follow from its serial, so that mixed-up downloads show.
Download download(qint32 serial, const QDateTime &when, int count = 20)
{
    Download d;
    d.entry = {0,         when,  "station-7",        "1.02",         {}, ArchivedTable::Spectra, 4, 2,
               {3, 0, 2}, count, R"({"m":[[1,4]]})", u8R"(["照度"])"};
    d.entry.keyInfo = {0xA5, QDate(2024, 5, 17), quint32(serial), 0x8001F00D, 0xBEEF, 102};
    d.names = QByteArray(count * 16, char(serial));
    for (int i = 0; i < count * 196; ++i)
        d.records += char((i * 31 + serial) >> 3);
    for (int i = 0; i < count; ++i)
        d.decoded << QStringLiteral("[%1,\"n%2\",1.5e-3]").arg(i).arg(serial).toUtf8();
    return d;
}

qint64 store(MeasurementArchive &archive, const Download &d)
{
    return archive.store(d.entry, d.records, d.names, d.decoded);
}

// All of a download in one text, so that a difference shows.
QString text(const Download &d)
{
    const ArchiveEntry &e = d.entry;
    const KeyInfo &k = e.keyInfo;
    QString out;
    QDebug(&out) << e.id << e.downloadedUtc << e.hostName << e.programVersion << k.marker << k.date << k.serialNo
                 << k.modelCode << k.extraWord << k.firmwareVersion << int(e.table) << e.uiIndex << e.mode
                 << e.unitSlots << e.recordCount << e.catalogs << e.titles << d.records.toBase64() << d.names.toHex()
                 << d.decoded;
    return out;
}

// The download as the archive gives it back, and as it should be: with its id, its time in UTC.
QString loaded(MeasurementArchive &archive, qint64 id)
{
    Download d;
    return archive.load(id, d.entry, d.records, d.names, &d.decoded) ? text(d) : archive.errorString();
}

QString stored(Download d, qint64 id)
{
    d.entry.id = id;
    d.entry.downloadedUtc = d.entry.downloadedUtc.toUTC();
    return text(d);
}

// A plain connection beside the archive's, for what the archive never does itself: holding a
// lock, counting rows, marking the schema as newer. value(): the first value, or whether it ran.
class RawConnection
{
public:
    explicit RawConnection(const ArchiveLocation &l) : name(l.describe())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(l.engine == sqlite ? "QSQLITE" : "QPSQL", name);
        db.setDatabaseName(l.engine == sqlite ? l.path : l.databaseName);
        db.setHostName(l.host);
        db.setUserName(l.user);
        db.open();
    }
    ~RawConnection() { QSqlDatabase::removeDatabase(name); }
    QVariant value(const QString &sql) const
    {
        QSqlQuery query(QSqlDatabase::database(name));
        return query.exec(sql) && query.next() ? query.value(0) : QVariant(query.isActive());
    }

private:
    const QString name;
};

// The helper process of crashLeavesNothing: starts storing a download and kills itself with
// SIGKILL after the given step (1 begin, 2 record memory, 3 name memory, 4 records), as a crash would.
int crashWriter(const QString &where, int stopAfter)
{
    QString error;
    MeasurementArchive archive(ArchiveLocation::parse(where, error).value());
    const Download d = download(666, start, 15000);
    for (int step = 1; step <= 4; ++step) {
        if (!(step == 1   ? archive.open() && archive.begin(d.entry)
              : step == 2 ? archive.addMemory(ArchiveArea::Records, d.records)
              : step == 3 ? archive.addMemory(ArchiveArea::Names, d.names)
                          : archive.addRecords(d.decoded)))
            break;
        if (step == stopAfter)
            ::kill(::getpid(), SIGKILL);
    }
    return std::fprintf(stderr, "%s\n", qPrintable(archive.errorString())), 1;
}

// Record edits as text: "index:fields" separated by blanks, the fields d/D (deleted or not), t/T
// (ticked or not), n=Name (no blank in the name); and back.
QList<RecordEdit> editsFrom(const QString &text)
{
    QList<RecordEdit> edits;
    for (const QString &item : text.split(' ', Qt::SkipEmptyParts)) {
        RecordEdit edit{item.section(':', 0, 0).toLongLong(), {}, {}, {}};
        for (const QString &field : item.section(':', 1).split(',', Qt::SkipEmptyParts)) {
            if (field.startsWith("n="))
                edit.name = field.mid(2);
            else
                (field.toLower() == "d" ? edit.deleted : edit.ticked) = field.at(0).isLower();
        }
        edits << edit;
    }
    return edits;
}

QString editsText(const QList<RecordEdit> &edits)
{
    QStringList items;
    for (const RecordEdit &e : edits) {
        const QString deleted = e.deleted ? (*e.deleted ? "d," : "D,") : "",
                      ticked = e.ticked ? (*e.ticked ? "t," : "T,") : "";
        items << QStringLiteral("%1:%2%3%4").arg(e.record).arg(deleted, ticked, e.name ? "n=" + *e.name : "");
    }
    return items.join(' ').remove(QRegularExpression(",(?= |$)"));
}

// Notes whose fields name the writer, so that it shows who won each; the fields by letter (t l o x).
ArchiveNotes notesBy(const QString &writer)
{
    return {"title " + writer, "location " + writer, "operator " + writer, "line 1\nline 2 " + writer};
}

QList<NoteField> noteFields(const QString &letters)
{
    QList<NoteField> fields;
    for (const QChar letter : letters)
        fields << NoteField(QStringLiteral("tlox").indexOf(letter));
    return fields;
}

QString notesText(const ArchiveNotes &notes)
{
    return QStringList{notes.title, notes.location, notes.operatorName, notes.text}.join('|');
}

// Each case once per engine: SQLite and PostgreSQL pass the same checks.
QTestData &perEngine(int engine, const char *name)
{
    return QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(engine == sqlite ? "sqlite" : "postgresql", name)))
           << engine;
}

void engineRows()
{
    QTest::addColumn<int>("engine");
    perEngine(sqlite, "");
    perEngine(postgresql, "");
}

} // namespace

#define FRESH_ARCHIVE(archive)                                                                                         \
    QFETCH(int, engine);                                                                                               \
    ArchiveLocation location;                                                                                          \
    QVERIFY2(fresh(engine, location), qPrintable(server->error()));                                                    \
    MeasurementArchive archive(location);                                                                              \
    QVERIFY2(archive.open(), qPrintable(archive.errorString()))

class TestMeasurementArchive : public QObject
{
    Q_OBJECT

    bool fresh(int engine, ArchiveLocation &location)
    {
        if (engine == postgresql)
            return location = server->newDatabase(), server->error().isEmpty();
        location.path = files.filePath(QStringLiteral("f%1/archive.sqlite").arg(++sqliteFiles));
        return true;
    }

    QTemporaryDir files;
    std::unique_ptr<PostgresServer> server;
    int sqliteFiles = 0;

private Q_SLOTS:
    void initTestCase() { server = std::make_unique<PostgresServer>(); }

    void parseLocation_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("parts"); // path user password host port database; empty: refused
        QTest::addColumn<QString>("described");
        QTest::newRow("sqlite") << "sqlite:/d/a.sqlite"
                                << "/d/a.sqlite    0 "
                                << "/d/a.sqlite";
        QTest::newRow("full") << "postgresql://ann:p%40ss:w@[::1]:6543/lab%20one"
                              << " ann p@ss:w ::1 6543 lab one"
                              << "postgresql://ann@[::1]:6543/lab%20one";
        QTest::newRow("socket") << "postgres://%2Frun%2Fpg/a"
                                << "   /run/pg 0 a"
                                << "postgresql://%2Frun%2Fpg/a";
        // Every libpq option passes; the described address shows all but a password.
        QTest::newRow("options") << "postgresql://u@h/db?sslmode=require&connect_timeout=3&options=-c%20x%3Dy"
                                 << " u  h 0 db"
                                 << "postgresql://u@h/db?connect_timeout=3&options=-c%20x%3Dy&sslmode=require";
        QTest::newRow("password option") << "postgresql://h/db?sslpassword=secret&password=secret"
                                         << "  secret h 0 db"
                                         << "postgresql://h/db";
        for (const char *refused : {"", "postgresql://u:secret@h", "postgresql://u:secret@h:99999/db", "mysql://h/db",
                                    "postgresql://u:se%zzcret@h/db", "postgresql://h/db?colour=red",
                                    "postgresql://h/db?options=a;b"})
            QTest::newRow(refused) << refused << ""
                                   << "";
    }
    void parseLocation()
    {
        QFETCH(QString, text);
        QFETCH(QString, parts);
        QFETCH(QString, described);
        QString error;
        const std::optional<ArchiveLocation> l = ArchiveLocation::parse(text, error);
        QVERIFY2(l.has_value() != parts.isEmpty() && !error.contains("secret"), qPrintable(error));
        const ArchiveLocation a = l.value_or(ArchiveLocation());
        const QStringList got{a.path, a.user, a.password, a.host, QString::number(a.port), a.databaseName};
        QVERIFY(!l || got.join(' ') == parts);
        // What messages name reads back as the same place, without the password.
        QVERIFY(!l || ArchiveLocation::parse(l->describe(), error)->describe() == described);
        QCOMPARE(ArchiveLocation::parse("relative.sqlite", error)->path, QDir::current().filePath("relative.sqlite"));
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("engine");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("piece"); // memory bytes (and their records) per call; 0: store()
        for (const int engine : {sqlite, postgresql}) {
            perEngine(engine, "three chunks at once") << 12000 << 0;
            perEngine(engine, "three chunks in pieces") << 12000 << 98000;
            perEngine(engine, "no records") << 0 << 0;
        }
    }
    void roundTrip()
    {
        FRESH_ARCHIVE(archive);
        QFETCH(int, count);
        QFETCH(int, piece);
        const Download d =
            download(-5, QDateTime(QDate(2024, 5, 17), QTime(10, 30, 15, 250), Qt::OffsetFromUTC, 28800), count);
        qint64 id = piece ? 0 : store(archive, d);
        for (int at = 0; piece && at < d.records.size(); at += piece)
            QVERIFY((at || archive.begin(d.entry)) && archive.addMemory(ArchiveArea::Records, d.records.mid(at, piece))
                    && archive.addRecords(d.decoded.mid(at / 196, piece / 196)));
        if (piece)
            id = archive.addMemory(ArchiveArea::Names, d.names) ? archive.commit() : 0;
        MeasurementArchive reader(location); // another connection
        QVERIFY2(id > 0 && reader.open(), qPrintable(archive.errorString() + reader.errorString()));
        QCOMPARE(loaded(reader, id), stored(d, id));
        const int chunks = (d.records.size() + MeasurementArchive::ChunkBytes - 1) / MeasurementArchive::ChunkBytes;
        QCOMPARE(RawConnection(location).value("SELECT count(*) FROM memory_chunks WHERE area = 0").toInt(), chunks);
    }

    void filters_data()
    {
        QTest::addColumn<int>("engine");
        QTest::addColumn<QVariant>("serial");
        QTest::addColumn<int>("since"); // hours after the first download; -1: open
        QTest::addColumn<int>("until");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("hours"); // of the downloads listed, in order
        for (const int engine : {sqlite, postgresql}) {
            perEngine(engine, "all, newest first") << QVariant() << -1 << -1 << "" << QList<int>{3, 2, 1, 0};
            perEngine(engine, "serial") << QVariant(7) << -1 << -1 << "" << QList<int>{1, 0};
            perEngine(engine, "negative serial") << QVariant(-16) << -1 << -1 << "" << QList<int>{2};
            perEngine(engine, "since, inclusive") << QVariant() << 1 << -1 << "" << QList<int>{3, 2, 1};
            perEngine(engine, "until, inclusive") << QVariant() << -1 << 1 << "" << QList<int>{1, 0};
            perEngine(engine, "serial and range") << QVariant(7) << 1 << 2 << "" << QList<int>{1};
            perEngine(engine, "notes, any case beyond ASCII") << QVariant() << -1 << -1 << "SÜD" << QList<int>{1};
            perEngine(engine, "notes over lines, any part") << QVariant() << -1 << -1 << "2nd LINE" << QList<int>{2};
            perEngine(engine, "notes of several, and serial") << QVariant(7) << -1 << -1 << "la" << QList<int>{1, 0};
            perEngine(engine, "notes of the operator, since") << QVariant() << 1 << -1 << u8"王 A" << QList<int>{3};
        }
    }
    void filters()
    {
        FRESH_ARCHIVE(archive);
        QFETCH(QVariant, serial);
        QFETCH(int, since);
        QFETCH(int, until);
        QFETCH(QString, text);
        QFETCH(QList<int>, hours);
        const qint32 serials[] = {7, 7, -16, 9};
        const ArchiveNotes notes[] = {{"Lamp A", "", "", ""},
                                      {"", "Lab süd", "", ""},
                                      {"", "", "", "1st line\n2nd line"},
                                      {"", "", u8"王 Ann", ""}};
        for (const int hour : {2, 0, 3, 1}) {
            const qint64 id = store(archive, download(serials[hour], start.addSecs(hour * 3600)));
            QVERIFY(id > 0 && archive.setNotes(id, notes[hour], noteFields("tlox")));
        }
        QList<ArchiveEntry> entries;
        QVERIFY(archive.list({serial.isValid() ? std::optional<qint32>(serial.toInt()) : std::nullopt,
                              since < 0 ? QDateTime() : start.addSecs(since * 3600),
                              until < 0 ? QDateTime() : start.addSecs(until * 3600), text},
                             entries));
        QList<int> listed;
        for (const ArchiveEntry &entry : entries)
            listed << start.secsTo(entry.downloadedUtc) / 3600;
        QCOMPARE(listed, hours);
    }

    void removeAndIds_data() { engineRows(); }
    void removeAndIds()
    {
        FRESH_ARCHIVE(archive);
        const qint64 ids[] = {store(archive, download(1, start)), store(archive, download(2, start)),
                              store(archive, download(3, start))};
        QVERIFY(0 < ids[0] && ids[0] < ids[1] && ids[1] < ids[2]);
        // Its notes and edits go with it.
        QVERIFY(archive.setNotes(ids[1], notesBy("A"), noteFields("tx"))
                && archive.saveEdits(ids[1], editsFrom("1:d")));
        QVERIFY(archive.remove(ids[1]) && !archive.remove(ids[1]));
        QVERIFY(archive.errorString().endsWith(QStringLiteral("no download %1").arg(ids[1])));
        QCOMPARE(loaded(archive, ids[1]), QString()); // none to load is no error
        const QString left = "SELECT (SELECT count(*) FROM memory_chunks) + (SELECT count(*) FROM decoded_records) "
                             "+ (SELECT count(*) FROM download_notes) + (SELECT count(*) FROM record_edits)";
        QCOMPARE(RawConnection(location).value(left).toInt(), 2 * (2 + 20));
        // With the newest removed, its id is still not given again.
        QVERIFY(archive.remove(ids[2]));
        const qint64 next = store(archive, download(4, start.addSecs(1)));
        QList<ArchiveEntry> entries;
        QVERIFY(next > ids[2] && archive.list({}, entries) && entries.size() == 2);
        QVERIFY(entries[0].id == next && entries[1].id == ids[0]);
    }

    void twoArchivesAtOnce_data() { engineRows(); }
    void twoArchivesAtOnce()
    {
        QFETCH(int, engine);
        ArchiveLocation location;
        QVERIFY2(fresh(engine, location), qPrintable(server->error()));
        // Both open the new database (creating its tables) at the same time, then store at once.
        QSet<qint64> ids[2];
        QString errors[2];
        const auto work = [&](int which) {
            MeasurementArchive archive(location);
            for (int i = 0; archive.open() && i < 10; ++i)
                ids[which] << store(archive, download(which * 100 + i, start));
            errors[which] = archive.errorString();
        };
        std::thread first(work, 0), second(work, 1);
        first.join();
        second.join();
        MeasurementArchive archive(location);
        QList<ArchiveEntry> entries;
        QVERIFY2(archive.open() && archive.list({}, entries), qPrintable(errors[0] + errors[1]));
        QSet<qint64> listed;
        for (const ArchiveEntry &entry : entries)
            listed << entry.id;
        QVERIFY(listed == (ids[0] + ids[1]) && listed.size() == 20 && !listed.contains(0));
    }

    // Memory read back a part at a time, across chunk borders, and the chunks a download lacks.
    void memoryInParts_data()
    {
        QTest::addColumn<int>("engine");
        QTest::addColumn<QString>("damage"); // run on the archive before reading
        QTest::addColumn<bool>("whole");
        for (const int engine : {sqlite, postgresql}) {
            perEngine(engine, "whole") << "" << true;
            perEngine(engine, "middle chunk missing")
                << "DELETE FROM memory_chunks WHERE area = 0 AND seq = 1" << false;
            perEngine(engine, "last chunk missing") << "DELETE FROM memory_chunks WHERE area = 0 AND seq = 2" << false;
        }
    }
    void memoryInParts()
    {
        FRESH_ARCHIVE(archive);
        QFETCH(QString, damage);
        QFETCH(bool, whole);
        const Download d = download(3, start, 12000); // three chunks of records, one of names
        const qint64 id = store(archive, d);
        QVERIFY(id > 0 && (damage.isEmpty() || RawConnection(location).value(damage) == true));
        ArchivedMemory extents[2];
        QVERIFY(archive.memoryExtents(id, extents));
        QCOMPARE(extents[1].bytes, d.names.size());
        QCOMPARE(extents[0].whole && extents[0].bytes == d.records.size(), whole);
        QByteArray part;
        const qint64 border = 2 * MeasurementArchive::ChunkBytes - 100;
        QCOMPARE(archive.readMemory(id, ArchiveArea::Records, border, 300, part), whole);
        QCOMPARE(part, whole ? d.records.mid(border, 300) : QByteArray());
        QVERIFY(whole || archive.errorString().contains(QStringLiteral("memory of download %1").arg(id)));
        QVERIFY(archive.readMemory(id, ArchiveArea::Names, 16, 32, part) && part == d.names.mid(16, 32));
    }

    // Reading only: no writes, an older schema read as it is, nothing archived yet is no error.
    // A writer then migrates an older schema (versions 1 and 2 had today's tables without notes
    // and edits), keeping every download, and notes and edits work on them.
    void readingOnly_data()
    {
        QTest::addColumn<int>("engine");
        QTest::addColumn<QString>("setup");
        const QString older = "DROP TABLE download_notes;DROP TABLE record_edits;UPDATE archive_version SET version = ";
        for (const int engine : {sqlite, postgresql}) {
            perEngine(engine, "current schema") << "";
            perEngine(engine, "version 1") << older + "1";
            perEngine(engine, "version 2") << older + "2";
            perEngine(engine, "nothing archived yet") << "none";
        }
    }
    void readingOnly()
    {
        QFETCH(int, engine);
        QFETCH(QString, setup);
        ArchiveLocation location;
        QVERIFY2(fresh(engine, location), qPrintable(server->error()));
        const Download d = download(5, start, 12000);
        qint64 id = 0;
        if (setup != "none") {
            MeasurementArchive writer(location);
            QVERIFY(writer.open() && (id = store(writer, d)) > 0);
            const RawConnection raw(location);
            for (const QString &sql : setup.split(';', Qt::SkipEmptyParts))
                QCOMPARE(raw.value(sql), true);
        }
        MeasurementArchive reader(location, MeasurementArchive::Access::ReadOnly);
        QList<ArchiveEntry> entries;
        QVERIFY2(reader.open() && reader.list({}, entries), qPrintable(reader.errorString()));
        QCOMPARE(entries.size(), id ? 1 : 0);
        QCOMPARE(loaded(reader, id), id ? stored(d, id) : QString());
        QList<RecordEdit> edits{RecordEdit()};
        QVERIFY(reader.edits(id, edits) && edits.isEmpty() && (!id || entries[0].notes.isEmpty()));
        QVERIFY(!reader.begin(d.entry) && !reader.remove(id));
        QVERIFY(reader.errorString().endsWith("opened for reading only"));
        // Nothing was made or migrated; a writer then brings the schema forward, and what it
        // stores the reader sees (an SQLite file that no program had open is opened again).
        QVERIFY(engine == postgresql || id || !QFile::exists(location.path));
        if (id) {
            QCOMPARE(RawConnection(location).value("SELECT max(version) FROM archive_version").toInt(),
                     setup.isEmpty() ? ArchiveSchema::currentVersion() : setup.right(1).toInt());
            MeasurementArchive writer(location);
            QVERIFY(writer.open() && store(writer, download(6, start)) > 0);
            QCOMPARE(RawConnection(location).value("SELECT max(version) FROM archive_version").toInt(),
                     ArchiveSchema::currentVersion());
            QVERIFY(writer.setNotes(id, notesBy("A"), noteFields("lo")) && writer.saveEdits(id, editsFrom("7:d")));
            QVERIFY(reader.list({{}, {}, {}, "LOCATION a"}, entries) && entries.size() == 1 && entries[0].edited);
            QCOMPARE(loaded(reader, id), stored(d, id));
        }
    }

    // A download that ends while another is being stored waits for it, longer than opening waits.
    void storeWaitsForAnotherWriter_data() { engineRows(); }
    void storeWaitsForAnotherWriter()
    {
        FRESH_ARCHIVE(archive);
        std::promise<bool> held;
        std::thread holder([&] {
            const RawConnection other(location);
            held.set_value(other.value(engine == sqlite ? "BEGIN IMMEDIATE" : "BEGIN") == true
                           && (engine == sqlite || other.value("LOCK TABLE downloads IN EXCLUSIVE MODE") == true));
            std::this_thread::sleep_for(std::chrono::milliseconds(MeasurementArchive::BusyTimeoutMs + 1500));
            other.value("COMMIT");
        });
        const bool locked = held.get_future().get();
        const qint64 id = store(archive, download(4, start));
        holder.join();
        QVERIFY(locked);
        QVERIFY2(id > 0, qPrintable(archive.errorString()));
    }

    void openFaults_data()
    {
        QTest::addColumn<int>("engine");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason");
        const char *newer = "newer program (schema version 99, this program knows up to 3)";
        perEngine(sqlite, "text file") << "text"
                                       << "not a usable database: file is not a database";
        perEngine(sqlite, "damaged header") << "damaged"
                                            << "not a usable database: file is not a database";
        perEngine(sqlite, "folder under a file") << "under a file"
                                                 << "cannot create the folder";
        perEngine(sqlite, "newer schema") << "newer" << newer;
        perEngine(postgresql, "newer schema") << "newer" << newer;
        perEngine(postgresql, "no server") << "no server"
                                           << "cannot connect: connection to server on socket";
        perEngine(postgresql, "unknown role") << "unknown role"
                                              << "role \"nobody\" does not exist";
    }
    void openFaults()
    {
        QFETCH(int, engine);
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        ArchiveLocation location;
        QVERIFY2(fresh(engine, location), qPrintable(server->error()));
        {
            MeasurementArchive earlier(location);
            QVERIFY(earlier.open() && store(earlier, download(1, start)) > 0);
        }
        QFile file(setup == "under a file" ? files.filePath("plain") : location.path);
        if (setup == "newer")
            QCOMPARE(RawConnection(location).value("UPDATE archive_version SET version = 99"), true);
        else if (setup != "no server" && setup != "unknown role")
            QVERIFY(file.open(setup == "damaged" ? QIODevice::ReadWrite : QIODevice::WriteOnly)
                    && file.write(QByteArray(16, 'x')) == 16);
        file.close();
        location.path = setup == "under a file" ? file.fileName() + "/sub/archive.sqlite" : location.path;
        location.host = setup == "no server" ? files.path() : location.host;
        location.user = setup == "unknown role" ? "nobody" : location.user;
        location.password = "s3cret";
        MeasurementArchive archive(location);
        QVERIFY(!archive.open() && !archive.isOpen());
        const QString error = archive.errorString();
        QVERIFY2(error.startsWith("archive " + location.describe() + ": ") && error.contains(reason)
                     && !error.contains("s3cret"),
                 qPrintable(error));
    }

    // Two stations change the notes of one download, then its records are edited: each station
    // keeps the note fields it set, the later the ones both set; edits merge per record and field;
    // another download keeps its own, and the download's rows stay as the meter gave them.
    void notesAndEdits_data()
    {
        QTest::addColumn<int>("engine");
        QTest::addColumn<QString>("notesA"); // the note fields station A sets, then station B
        QTest::addColumn<QString>("notesB");
        QTest::addColumn<QString>("saves");    // each save's edits, separated by "|"; "clear": restore
        QTest::addColumn<QString>("expected"); // notes | edits
        QTest::addColumn<bool>("lastSaved");
        QString many;
        for (int record = 0; record < 450; ++record)
            many += QStringLiteral(" %1:T").arg(record);
        const struct
        {
            const char *name, *notesA, *notesB, *saves, *expected;
            bool lastSaved;
        } rows[] = {
            {"different fields", "tx", "l", "3:n=Lamp 1:d", "title A|location B||line 1\nline 2 A|1:d 3:n=Lamp", true},
            {"later wins", "tlo", "ot", "2:n=a,d|2:n=b|2:D 0:t", "title B|location A|operator B||0:t 2:D,n=b", true},
            {"one save, same record twice", "", "", "5:n= 5:d", "||||5:d,n=", true},
            {"restored, notes stay", "x", "", "1:d 2:n=x|clear", "|||line 1\nline 2 A|", true},
            {"edited after restoring", "", "", "1:d|clear|2:t", "||||2:t", true},
            {"past the end saves nothing", "", "", "1:d|2:n=x 20:d", "||||1:d", false},
            {"negative saves nothing", "", "", "-1:d", "||||", false},
            {"more than a batch", "", "", "", "||||", true},
        };
        for (const int engine : {sqlite, postgresql}) {
            for (const auto &row : rows) {
                const QString saves = *row.saves ? row.saves : many.trimmed();
                perEngine(engine, row.name) << row.notesA << row.notesB << saves
                                            << QString(row.expected) + (*row.saves ? "" : saves) << row.lastSaved;
            }
        }
    }
    void notesAndEdits()
    {
        FRESH_ARCHIVE(archive);
        QFETCH(QString, notesA);
        QFETCH(QString, notesB);
        QFETCH(QString, saves);
        QFETCH(QString, expected);
        QFETCH(bool, lastSaved);
        const Download d = download(3, start, saves.size() > 1000 ? 500 : 20);
        const qint64 id = store(archive, d), other = store(archive, download(4, start));
        MeasurementArchive stationB(location), reader(location, MeasurementArchive::Access::ReadOnly);
        QVERIFY(stationB.open() && reader.open() && archive.saveEdits(other, editsFrom("0:d")));
        QVERIFY(archive.setNotes(id, notesBy("A"), noteFields(notesA))
                && stationB.setNotes(id, notesBy("B"), noteFields(notesB)));
        bool saved = true;
        for (const QString &save : saves.split('|'))
            saved = save == "clear" ? stationB.clearEdits(id) : archive.saveEdits(id, editsFrom(save));
        QVERIFY2(saved == lastSaved && (saved || archive.errorString().contains("has no record")),
                 qPrintable(archive.errorString()));
        QList<RecordEdit> edits;
        ArchiveEntry entry;
        QVERIFY(reader.edits(id, edits) && reader.entry(id, entry));
        QCOMPARE(notesText(entry.notes) + '|' + editsText(edits), expected);
        QCOMPARE(entry.edited, !edits.isEmpty());
        QCOMPARE(loaded(reader, id), stored(d, id));
        QVERIFY(reader.edits(other, edits) && editsText(edits) == "0:d" && reader.notes(other, entry.notes));
        QVERIFY(entry.notes.isEmpty() && !reader.notes(other + 1, entry.notes) && reader.errorString().isEmpty());
        // Changes that cannot be made fail with the reason.
        QVERIFY(!reader.clearEdits(id) && reader.errorString().endsWith("opened for reading only"));
        QVERIFY(!archive.setNotes(other + 1, {}, noteFields("t"))
                && archive.errorString().contains("there is no download"));
        QVERIFY(!archive.saveEdits(other + 1, editsFrom("0:d"))
                && archive.errorString().contains("there is no download"));
    }

    // Two stations save edits and notes of one download at the same time, each its own fields:
    // neither fails, and each field holds what its station saved last.
    void twoStationsEditing_data() { engineRows(); }
    void twoStationsEditing()
    {
        FRESH_ARCHIVE(archive);
        const qint64 id = store(archive, download(3, start));
        QString errors[2];
        const auto station = [&](int which) {
            MeasurementArchive own(location);
            for (int round = 0; (round || own.open()) && round < 20; ++round) {
                const QString field = which ? QString(round % 2 ? "T" : "t") : QStringLiteral("n=r%1").arg(round);
                if (!own.saveEdits(id, editsFrom(QStringLiteral("%1:").arg(round % 10) + field))
                    || !own.setNotes(id, notesBy(QString::number(round)), noteFields(which ? "l" : "t")))
                    break;
            }
            errors[which] = own.errorString();
        };
        std::thread first(station, 0), second(station, 1);
        first.join();
        second.join();
        QVERIFY2(errors[0].isEmpty() && errors[1].isEmpty(), qPrintable(errors[0] + errors[1]));
        QList<RecordEdit> edits;
        QVERIFY(archive.edits(id, edits) && edits.size() == 10);
        QCOMPARE(editsText(edits.mid(0, 2)), "0:t,n=r10 1:T,n=r11");
        ArchiveNotes notes;
        QVERIFY(archive.notes(id, notes) && notes.title == "title 19" && notes.location == "location 19");
    }

    void faultsLeaveNothing_data()
    {
        QTest::addColumn<int>("engine");
        QTest::addColumn<int>("killedAfter"); // the crash writer's last step; 0: another program holds the lock
        for (const int engine : {sqlite, postgresql}) {
            perEngine(engine, "locked past the busy time-out") << 0;
            perEngine(engine, "killed after begin") << 1;
            perEngine(engine, "killed after the record memory") << 2;
            perEngine(engine, "killed after the name memory") << 3;
            perEngine(engine, "killed after the records, before commit") << 4;
        }
    }
    void faultsLeaveNothing()
    {
        FRESH_ARCHIVE(archive);
        QFETCH(int, killedAfter);
        const Download earlier = download(9, start, 6000);
        const qint64 id = store(archive, earlier);
        if (killedAfter == 0) {
            const RawConnection holder(location); // its transaction ends with it
            QVERIFY(holder.value(engine == sqlite ? "BEGIN IMMEDIATE" : "BEGIN") == true);
            QVERIFY(engine == sqlite || holder.value("LOCK TABLE downloads IN EXCLUSIVE MODE") == true);
            archive.setWriteWait(500);
            QVERIFY(store(archive, download(2, start)) == 0);
            const QRegularExpression reason("^archive " + QRegularExpression::escape(location.describe())
                                            + ": cannot .*(database is locked|lock timeout)");
            QVERIFY2(archive.errorString().contains(reason), qPrintable(archive.errorString()));
        } else {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(),
                         {"crash-writer", location.describe(), QString::number(killedAfter)});
            QVERIFY(writer.waitForFinished(60000));
            QVERIFY2(writer.exitStatus() == QProcess::CrashExit, writer.readAllStandardError().constData());
        }
        MeasurementArchive reopened(location);
        QList<ArchiveEntry> entries;
        QVERIFY2(reopened.open() && reopened.list({}, entries), qPrintable(reopened.errorString()));
        QVERIFY(id > 0 && entries.size() == 1);
        QCOMPARE(loaded(reopened, id), stored(earlier, id));
        QVERIFY(store(reopened, download(10, start)) > 0);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && app.arguments().at(1) == "crash-writer")
        return crashWriter(app.arguments().at(2), app.arguments().at(3).toInt());
    TestMeasurementArchive test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_measurementarchive.moc"
