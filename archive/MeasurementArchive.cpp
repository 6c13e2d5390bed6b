// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeasurementArchive.h"

#include "ArchiveConnection.h"
#include "ArchiveDialect.h"
#include "ArchiveEditsView.h"
#include "ArchiveError.h"
#include "ArchiveRows.h"
#include "ArchiveSchema.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <atomic>

namespace {

// Decoded records go in this many to a statement: few round trips and statements to run, and
// far below both engines' limits on placeholders (3 per row).
constexpr int RecordBatchRows = 250;

std::atomic<quint64> connectionCounter{0};

// The first schema that keeps notes and edits.
constexpr int NotesVersion = 3;

bool matches(const ArchiveNotes &notes, const QString &text)
{
    for (const QString *field : {&notes.title, &notes.location, &notes.operatorName, &notes.text}) {
        if (field->contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// A bound value that is NULL of the column's type (a field the change leaves as it is).
template <typename T>
QVariant valueOrNull(const std::optional<T> &value)
{
    return value ? QVariant::fromValue(*value) : QVariant(QMetaType::fromType<T>());
}

QVariant flagOrNull(const std::optional<bool> &flag)
{
    return valueOrNull(flag ? std::optional<int>(*flag ? 1 : 0) : std::nullopt);
}

// The edits with one entry per record, by record index ascending. A name given as a null text
// is an empty name, not "unchanged" (which NULL means in the archive).
QList<RecordEdit> mergedEdits(const QList<RecordEdit> &edits)
{
    QList<RecordEdit> merged = ArchiveEditsView(edits).edits();
    for (RecordEdit &edit : merged) {
        if (edit.name && edit.name->isNull())
            edit.name = QString(QLatin1String(""));
    }
    return merged;
}

// Edits go in this many to a statement (6 placeholders per row).
constexpr int EditBatchRows = 200;

QString editUpsert(qsizetype rows)
{
    QString sql = QStringLiteral("INSERT INTO record_edits (download_id, record_index, deleted, name, ticked, "
                                 "changed_utc) VALUES (?, ?, ?, ?, ?, ?)");
    for (qsizetype row = 1; row < rows; ++row)
        sql += QLatin1String(", (?, ?, ?, ?, ?, ?)");
    return sql
           + QStringLiteral(" ON CONFLICT (download_id, record_index) DO UPDATE SET "
                            "deleted = COALESCE(excluded.deleted, record_edits.deleted), "
                            "name = COALESCE(excluded.name, record_edits.name), "
                            "ticked = COALESCE(excluded.ticked, record_edits.ticked), "
                            "changed_utc = excluded.changed_utc");
}

QString recordInsert(qsizetype rows)
{
    QString sql = QStringLiteral("INSERT INTO decoded_records (download_id, record_index, json) VALUES (?, ?, ?)");
    sql.reserve(sql.size() + rows * 11);
    for (qsizetype row = 1; row < rows; ++row)
        sql += QLatin1String(", (?, ?, ?)");
    return sql;
}

} // namespace

struct MeasurementArchive::Statements
{
    explicit Statements(const QSqlDatabase &db) : insertDownload(db), insertChunk(db), insertRecords(db) {}

    QSqlQuery insertDownload;
    QSqlQuery insertChunk;
    QSqlQuery insertRecords; // a whole batch
};

MeasurementArchive::MeasurementArchive(const ArchiveLocation &location, Access access)
    : where(location),
      access(access),
      connectionName(QStringLiteral("lumivane-archive-%1").arg(++connectionCounter))
{}

MeasurementArchive::~MeasurementArchive()
{
    close();
}

QSqlDatabase MeasurementArchive::database() const
{
    return QSqlDatabase::database(connectionName, false);
}

void MeasurementArchive::close()
{
    rollback();
    statements.reset();
    opened = noTables = withoutLocks = false;
    schemaVersion = 0;
    if (!QSqlDatabase::contains(connectionName))
        return;
    // Qt removes a connection cleanly only when no QSqlDatabase or QSqlQuery refers to it.
    database().close();
    QSqlDatabase::removeDatabase(connectionName);
}

std::unique_ptr<MeasurementArchive> MeasurementArchive::openLocation(const QString &locationText, QString &reason,
                                                                     Access access)
{
    const std::optional<ArchiveLocation> location = ArchiveLocation::parseOrDefault(locationText, reason);
    if (!location)
        return nullptr;
    auto archive = std::make_unique<MeasurementArchive>(*location, access);
    if (!archive->open()) {
        reason = archive->errorString();
        return nullptr;
    }
    return archive;
}

bool MeasurementArchive::open()
{
    close();
    QString error;
    bool ready = false;
    if (access == Access::ReadOnly) {
        ready = openForReading(error);
    } else if (where.engine == ArchiveLocation::Sqlite && QFileInfo::exists(where.path)
               && !QFileInfo(where.path).isWritable()) {
        // Opened for writing, SQLite would make its journal files beside the archive, owned by this
        // user, which would keep the archive's owner from writing it.
        error = archiveError(where, QStringLiteral("the file cannot be written"));
    } else {
        ready = openArchiveConnection(where, connectionName, BusyTimeoutMs, error);
        if (ready) {
            QSqlDatabase db = database();
            ready = ArchiveSchema::bringUpToDate(db, where, error);
            schemaVersion = ArchiveSchema::currentVersion();
        }
    }
    if (!ready) {
        lastError = error;
        close();
        return false;
    }
    if (access == Access::ReadWrite && (!prepareStatements() || !applyWriteWait())) {
        close();
        return false;
    }
    opened = true;
    lastError.clear();
    return true;
}

bool MeasurementArchive::openForReading(QString &error)
{
    // A file that was never made holds no downloads; reading it must not make it.
    if (where.engine == ArchiveLocation::Sqlite && !QFileInfo::exists(where.path)) {
        noTables = true;
        return true;
    }
    const QFileInfo file(where.path);
    readFileStamp = {file.size(), file.lastModified(), file.metadataChangeTime()};
    if (!openArchiveForReading(where, connectionName, BusyTimeoutMs, withoutLocks, error))
        return false;
    QSqlDatabase db = database();
    const int version = ArchiveSchema::readableVersion(db, where, error);
    noTables = version == 0;
    schemaVersion = version;
    return version >= 0;
}

void MeasurementArchive::setWriteWait(int milliseconds)
{
    writeWaitMs = milliseconds;
    if (isOpen() && access == Access::ReadWrite)
        applyWriteWait();
}

bool MeasurementArchive::applyWriteWait()
{
    QSqlQuery query(database());
    const QString sql = where.engine == ArchiveLocation::Sqlite ? QStringLiteral("PRAGMA busy_timeout = %1")
                                                                : QStringLiteral("SET lock_timeout = %1");
    if (!query.exec(sql.arg(writeWaitMs)))
        return report(QStringLiteral("cannot set the time to wait for other writers"), query.lastError());
    return true;
}

bool MeasurementArchive::writerAppeared() const
{
    if (!withoutLocks)
        return false;
    const QFileInfo file(where.path);
    return QFileInfo::exists(where.path + QStringLiteral("-wal"))
           || FileStamp{file.size(), file.lastModified(), file.metadataChangeTime()} != readFileStamp;
}

template <typename Read>
bool MeasurementArchive::reading(const Read &read)
{
    // An unchanging file is read without checking for changes, so a file that changed since is
    // opened again before it is read.
    if (writerAppeared() && !open())
        return false;
    if (read() && !writerAppeared())
        return true;
    if (!writerAppeared())
        return false;
    const QString failure = lastError;
    if (!open()) {
        lastError = failure.isEmpty() ? lastError : failure;
        return false;
    }
    return read();
}

bool MeasurementArchive::prepareStatements()
{
    auto prepared = std::make_unique<Statements>(database());
    if (!prepared->insertDownload.prepare(QStringLiteral("INSERT INTO downloads (%1) VALUES (%2) RETURNING id")
                                              .arg(ArchiveRows::columns(), ArchiveRows::placeholders())))
        return report(QStringLiteral("cannot prepare storing downloads"), prepared->insertDownload.lastError());
    if (!prepared->insertChunk.prepare(
            QStringLiteral("INSERT INTO memory_chunks (download_id, area, seq, bytes) VALUES (?, ?, ?, ?)")))
        return report(QStringLiteral("cannot prepare storing memory"), prepared->insertChunk.lastError());
    if (!prepared->insertRecords.prepare(recordInsert(RecordBatchRows)))
        return report(QStringLiteral("cannot prepare storing records"), prepared->insertRecords.lastError());
    statements = std::move(prepared);
    return true;
}

bool MeasurementArchive::isOpen() const
{
    return opened;
}

bool MeasurementArchive::report(const QString &what, const QSqlError &error)
{
    lastError = archiveError(where, what, error);
    return false;
}

bool MeasurementArchive::report(const QString &what)
{
    lastError = archiveError(where, what);
    return false;
}

bool MeasurementArchive::fail(const QString &what, const QSqlError &error)
{
    report(what, error);
    rollback();
    return false;
}

bool MeasurementArchive::checkStoring()
{
    if (storing)
        return true;
    return report(isOpen() ? QStringLiteral("no download is being stored") : QStringLiteral("not open"));
}

bool MeasurementArchive::begin(const ArchiveEntry &entry)
{
    if (!isOpen())
        return report(QStringLiteral("not open"));
    if (access == Access::ReadOnly)
        return report(QStringLiteral("opened for reading only"));
    if (storing)
        return report(QStringLiteral("another download is being stored"));
    QSqlQuery transaction(database());
    if (!transaction.exec(ArchiveDialect::of(where.engine).beginWrite))
        return report(QStringLiteral("cannot begin storing a download"), transaction.lastError());
    storing = true;

    ArchiveEntry stored = entry;
    if (!stored.downloadedUtc.isValid())
        stored.downloadedUtc = QDateTime::currentDateTimeUtc();
    QSqlQuery &insert = statements->insertDownload;
    ArchiveRows::bind(insert, stored);
    if (!insert.exec() || !insert.next())
        return fail(QStringLiteral("cannot store the download"), insert.lastError());
    pendingId = insert.value(0).toLongLong();
    insert.finish();
    return true;
}

bool MeasurementArchive::writeChunk(int area, const QByteArray &bytes)
{
    QSqlQuery &insert = statements->insertChunk;
    insert.addBindValue(pendingId);
    insert.addBindValue(area);
    insert.addBindValue(pendingChunks[area]++);
    insert.addBindValue(bytes);
    if (!insert.exec())
        return fail(QStringLiteral("cannot store the memory"), insert.lastError());
    return true;
}

bool MeasurementArchive::addMemory(ArchiveArea area, const QByteArray &bytes)
{
    if (!checkStoring())
        return false;
    const int index = int(area);
    QByteArray &pending = pendingMemory[index];
    // Whole chunks go in as they fill; the rest waits for more memory or for commit.
    qsizetype offset = 0;
    if (!pending.isEmpty()) {
        offset = qMin(bytes.size(), qsizetype(ChunkBytes) - pending.size());
        pending += bytes.left(offset);
        if (pending.size() < ChunkBytes)
            return true;
        if (!writeChunk(index, pending))
            return false;
        pending.clear();
    }
    for (; bytes.size() - offset >= ChunkBytes; offset += ChunkBytes) {
        if (!writeChunk(index, bytes.mid(offset, ChunkBytes)))
            return false;
    }
    pending = bytes.mid(offset);
    return true;
}

bool MeasurementArchive::flushRecords()
{
    // A whole batch uses the statement prepared once; the last, shorter one gets its own.
    QSqlQuery tail(database());
    QSqlQuery *insert = &statements->insertRecords;
    if (pendingRows.size() != RecordBatchRows) {
        insert = &tail;
        if (!tail.prepare(recordInsert(pendingRows.size())))
            return fail(QStringLiteral("cannot prepare storing records"), tail.lastError());
    }
    for (int row = 0; row < pendingRows.size(); ++row) {
        insert->bindValue(3 * row, pendingId);
        insert->bindValue(3 * row + 1, pendingRecords + row);
        insert->bindValue(3 * row + 2, QString::fromUtf8(pendingRows.at(row)));
    }
    if (!insert->exec())
        return fail(QStringLiteral("cannot store the decoded records"), insert->lastError());
    pendingRecords += pendingRows.size();
    pendingRows.clear();
    return true;
}

bool MeasurementArchive::addRecords(const QList<QByteArray> &decodedRecords)
{
    if (!checkStoring())
        return false;
    for (const QByteArray &record : decodedRecords) {
        pendingRows.append(record);
        if (pendingRows.size() == RecordBatchRows && !flushRecords())
            return false;
    }
    return true;
}

qint64 MeasurementArchive::commit()
{
    if (!checkStoring())
        return 0;
    for (int area = 0; area < 2; ++area) {
        if (!pendingMemory[area].isEmpty() && !writeChunk(area, pendingMemory[area]))
            return 0;
    }
    if (!pendingRows.isEmpty() && !flushRecords())
        return 0;
    QSqlQuery transaction(database());
    if (!transaction.exec(QStringLiteral("COMMIT"))) {
        fail(QStringLiteral("cannot commit the download"), transaction.lastError());
        return 0;
    }
    const qint64 id = pendingId;
    storing = false;
    rollback(); // nothing left to roll back: only forgets the download's parts
    return id;
}

void MeasurementArchive::rollback()
{
    if (storing) {
        QSqlQuery transaction(database());
        transaction.exec(QStringLiteral("ROLLBACK"));
        storing = false;
    }
    pendingId = 0;
    pendingChunks[0] = pendingChunks[1] = 0;
    pendingRecords = 0;
    pendingMemory[0].clear();
    pendingMemory[1].clear();
    pendingRows.clear();
}

qint64 MeasurementArchive::store(const ArchiveEntry &entry, const QByteArray &recordMemory,
                                 const QByteArray &nameMemory, const QList<QByteArray> &decodedRecords)
{
    if (!begin(entry) || !addMemory(ArchiveArea::Records, recordMemory) || !addMemory(ArchiveArea::Names, nameMemory)
        || !addRecords(decodedRecords))
        return 0;
    return commit();
}

bool MeasurementArchive::list(const ArchiveFilter &filter, QList<ArchiveEntry> &entries)
{
    entries.clear();
    if (!isOpen())
        return report(QStringLiteral("not open"));
    if (noTables)
        return true;
    QStringList conditions;
    QVariantList values;
    if (filter.serial) {
        conditions << QStringLiteral("serial = ?");
        values << *filter.serial;
    }
    if (filter.sinceUtc.isValid()) {
        conditions << QStringLiteral("downloaded_utc >= ?");
        values << filter.sinceUtc.toMSecsSinceEpoch();
    }
    if (filter.untilUtc.isValid()) {
        conditions << QStringLiteral("downloaded_utc <= ?");
        values << filter.untilUtc.toMSecsSinceEpoch();
    }
    QString narrowed =
        conditions.isEmpty() ? QString() : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    narrowed += QStringLiteral(" ORDER BY downloaded_utc DESC, id DESC");

    followSchema();
    return reading([&] {
        entries.clear();
        // Made here: opening again may find a newer schema.
        const QString sql = entrySelect() + narrowed;
        QSqlQuery query(database());
        query.setForwardOnly(true);
        query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec())
            return report(QStringLiteral("cannot list the downloads"), query.lastError());
        while (query.next()) {
            ArchiveEntry entry = ArchiveRows::read(query);
            if (schemaVersion >= NotesVersion)
                ArchiveRows::readNotes(query, entry);
            // Matched here rather than in SQL, so that both engines fold case the same, beyond ASCII.
            if (filter.text.isEmpty() || matches(entry.notes, filter.text))
                entries.append(entry);
        }
        return query.lastError().type() == QSqlError::NoError
               || report(QStringLiteral("cannot list the downloads"), query.lastError());
    });
}

bool MeasurementArchive::entry(qint64 id, ArchiveEntry &entry)
{
    if (!isOpen())
        return report(QStringLiteral("not open"));
    lastError.clear();
    if (noTables)
        return false;
    followSchema();
    return reading([&] {
        QSqlQuery query(database());
        query.setForwardOnly(true);
        query.prepare(entrySelect() + QStringLiteral(" WHERE id = ?"));
        query.addBindValue(id);
        if (!query.exec())
            return report(QStringLiteral("cannot read download %1").arg(id), query.lastError());
        if (!query.next()) {
            lastError.clear();
            return false;
        }
        entry = ArchiveRows::read(query);
        if (schemaVersion >= NotesVersion)
            ArchiveRows::readNotes(query, entry);
        return true;
    });
}

bool MeasurementArchive::memoryExtents(qint64 id, ArchivedMemory (&extents)[2])
{
    extents[0] = extents[1] = ArchivedMemory();
    if (!isOpen())
        return report(QStringLiteral("not open"));
    if (noTables)
        return true;
    return reading([&] {
        QSqlQuery query(database());
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT area, count(*), sum(length(bytes)), max(seq) FROM memory_chunks "
                                     "WHERE download_id = ? GROUP BY area"));
        query.addBindValue(id);
        if (!query.exec())
            return report(QStringLiteral("cannot read download %1").arg(id), query.lastError());
        while (query.next()) {
            const int area = query.value(0).toInt();
            if (area != int(ArchiveArea::Records) && area != int(ArchiveArea::Names))
                continue;
            const qint64 chunks = query.value(1).toLongLong();
            const qint64 bytes = query.value(2).toLongLong();
            extents[area].bytes = bytes;
            extents[area].whole =
                query.value(3).toLongLong() + 1 == chunks && (bytes + ChunkBytes - 1) / ChunkBytes == chunks;
        }
        return query.lastError().type() == QSqlError::NoError
               || report(QStringLiteral("cannot read download %1").arg(id), query.lastError());
    });
}

bool MeasurementArchive::readMemory(qint64 id, ArchiveArea area, qint64 offset, qint64 length, QByteArray &bytes)
{
    bytes.clear();
    if (!isOpen())
        return report(QStringLiteral("not open"));
    const QString what = QStringLiteral("cannot read the memory of download %1").arg(id);
    if (length <= 0)
        return length == 0 || report(what);
    // Every chunk but the last is whole, so the chunks that hold the bytes follow from their place.
    const qint64 firstChunk = offset / ChunkBytes;
    const qint64 lastChunk = (offset + length - 1) / ChunkBytes;
    return reading([&] {
        bytes.clear();
        QSqlQuery query(database());
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT seq, bytes FROM memory_chunks WHERE download_id = ? AND area = ? "
                                     "AND seq BETWEEN ? AND ? ORDER BY seq"));
        query.addBindValue(id);
        query.addBindValue(int(area));
        query.addBindValue(firstChunk);
        query.addBindValue(lastChunk);
        if (noTables || !query.exec())
            return report(what, query.lastError());
        QByteArray joined;
        qint64 expected = firstChunk;
        while (query.next()) {
            const QByteArray chunk = query.value(1).toByteArray();
            if (query.value(0).toLongLong() != expected++ || (expected <= lastChunk && chunk.size() != ChunkBytes))
                return report(what + QStringLiteral(": its chunks are not whole"));
            joined += chunk;
        }
        if (query.lastError().type() != QSqlError::NoError)
            return report(what, query.lastError());
        const qint64 skip = offset - firstChunk * ChunkBytes;
        if (expected != lastChunk + 1 || joined.size() < skip + length)
            return report(what + QStringLiteral(": it holds fewer bytes"));
        bytes = joined.mid(skip, length);
        return true;
    });
}

bool MeasurementArchive::load(qint64 id, ArchiveEntry &entry, QByteArray &recordMemory, QByteArray &nameMemory,
                              QList<QByteArray> *decodedRecords)
{
    if (!this->entry(id, entry))
        return false;
    const QString what = QStringLiteral("cannot read download %1").arg(id);
    return reading([&] {
        recordMemory.clear();
        nameMemory.clear();
        QSqlQuery query(database());
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT area, bytes FROM memory_chunks WHERE download_id = ? ORDER BY area, seq"));
        query.addBindValue(id);
        if (!query.exec())
            return report(what, query.lastError());
        while (query.next())
            (query.value(0).toInt() == int(ArchiveArea::Names) ? nameMemory : recordMemory) +=
                query.value(1).toByteArray();

        if (decodedRecords) {
            decodedRecords->clear();
            query.prepare(
                QStringLiteral("SELECT json FROM decoded_records WHERE download_id = ? ORDER BY record_index"));
            query.addBindValue(id);
            if (!query.exec())
                return report(what, query.lastError());
            while (query.next())
                decodedRecords->append(query.value(0).toString().toUtf8());
        }
        return query.lastError().type() == QSqlError::NoError || report(what, query.lastError());
    });
}

bool MeasurementArchive::remove(qint64 id)
{
    if (!isOpen())
        return report(QStringLiteral("not open"));
    if (access == Access::ReadOnly)
        return report(QStringLiteral("opened for reading only"));
    if (storing)
        return report(QStringLiteral("a download is being stored"));
    // The download's memory and records go with it (ON DELETE CASCADE).
    QSqlQuery query(database());
    query.prepare(QStringLiteral("DELETE FROM downloads WHERE id = ?"));
    query.addBindValue(id);
    if (!query.exec())
        return report(QStringLiteral("cannot remove download %1").arg(id), query.lastError());
    if (query.numRowsAffected() < 1)
        return report(QStringLiteral("there is no download %1").arg(id));
    return true;
}

void MeasurementArchive::followSchema()
{
    // A reader of an older schema sees the notes and edits as soon as a writer has migrated it.
    if (access != Access::ReadOnly || noTables || schemaVersion >= ArchiveSchema::currentVersion())
        return;
    QString error;
    QSqlDatabase db = database();
    schemaVersion = qMax(schemaVersion, ArchiveSchema::readableVersion(db, where, error));
}

QString MeasurementArchive::entrySelect() const
{
    QString sql = QStringLiteral("SELECT id, ") + ArchiveRows::columns();
    if (schemaVersion >= NotesVersion)
        sql += QStringLiteral(", ") + ArchiveRows::notesColumns();
    return sql + QStringLiteral(" FROM downloads");
}

bool MeasurementArchive::notes(qint64 id, ArchiveNotes &notes)
{
    ArchiveEntry found;
    if (!entry(id, found))
        return false;
    notes = found.notes;
    return true;
}

bool MeasurementArchive::checkChanging(qint64 id, qint64 &recordCount)
{
    QSqlQuery query(database());
    query.prepare(QStringLiteral("SELECT record_count FROM downloads WHERE id = ?"));
    query.addBindValue(id);
    if (!query.exec())
        return report(QStringLiteral("cannot read download %1").arg(id), query.lastError());
    if (!query.next())
        return report(QStringLiteral("there is no download %1").arg(id));
    recordCount = query.value(0).toLongLong();
    return true;
}

template <typename Change>
bool MeasurementArchive::changing(qint64 id, const QString &what, const Change &change)
{
    if (!isOpen())
        return report(QStringLiteral("not open"));
    if (access == Access::ReadOnly)
        return report(QStringLiteral("opened for reading only"));
    if (storing)
        return report(QStringLiteral("a download is being stored"));
    QSqlQuery transaction(database());
    if (!transaction.exec(ArchiveDialect::of(where.engine).beginWrite))
        return report(what, transaction.lastError());
    // Inside the transaction, so that the download cannot go between the check and the change.
    qint64 recordCount = 0;
    if (!checkChanging(id, recordCount) || !change(recordCount)) {
        const QString failure = lastError;
        transaction.exec(QStringLiteral("ROLLBACK"));
        lastError = failure;
        return false;
    }
    if (!transaction.exec(QStringLiteral("COMMIT"))) {
        report(what, transaction.lastError());
        transaction.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    lastError.clear();
    return true;
}

bool MeasurementArchive::setNotes(qint64 id, const ArchiveNotes &notes, const QList<NoteField> &fields)
{
    const QString what = QStringLiteral("cannot save the notes of download %1").arg(id);
    return changing(id, what, [&](qint64) {
        QSqlQuery upsert(database());
        upsert.prepare(QStringLiteral("INSERT INTO download_notes (download_id, field, value, changed_utc) "
                                      "VALUES (?, ?, ?, ?) ON CONFLICT (download_id, field) DO UPDATE SET "
                                      "value = excluded.value, changed_utc = excluded.changed_utc"));
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (const NoteField field : fields) {
            const QString &value = field == NoteField::Title      ? notes.title
                                   : field == NoteField::Location ? notes.location
                                   : field == NoteField::Operator ? notes.operatorName
                                                                  : notes.text;
            upsert.addBindValue(id);
            upsert.addBindValue(int(field));
            upsert.addBindValue(value.isNull() ? QString(QLatin1String("")) : value);
            upsert.addBindValue(now);
            if (!upsert.exec())
                return report(what, upsert.lastError());
        }
        return true;
    });
}

bool MeasurementArchive::saveEdits(qint64 id, const QList<RecordEdit> &edits)
{
    const QString what = QStringLiteral("cannot save the edits of download %1").arg(id);
    const QList<RecordEdit> merged = mergedEdits(edits);
    return changing(id, what, [&](qint64 recordCount) {
        for (const RecordEdit &edit : merged) {
            if (edit.record < 0 || edit.record >= recordCount)
                return report(what + QStringLiteral(": it has no record %1").arg(edit.record + 1));
        }
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        QSqlQuery upsert(database());
        for (qsizetype first = 0; first < merged.size(); first += EditBatchRows) {
            const qsizetype rows = qMin(qsizetype(EditBatchRows), merged.size() - first);
            if (first == 0 || rows != EditBatchRows) {
                if (!upsert.prepare(editUpsert(rows)))
                    return report(what, upsert.lastError());
            }
            for (qsizetype row = 0; row < rows; ++row) {
                const RecordEdit &edit = merged.at(first + row);
                const int at = int(6 * row);
                upsert.bindValue(at, id);
                upsert.bindValue(at + 1, edit.record);
                upsert.bindValue(at + 2, flagOrNull(edit.deleted));
                upsert.bindValue(at + 3, valueOrNull(edit.name));
                upsert.bindValue(at + 4, flagOrNull(edit.ticked));
                upsert.bindValue(at + 5, now);
            }
            if (!upsert.exec())
                return report(what, upsert.lastError());
        }
        return true;
    });
}

bool MeasurementArchive::clearEdits(qint64 id)
{
    const QString what = QStringLiteral("cannot restore download %1").arg(id);
    return changing(id, what, [&](qint64) {
        QSqlQuery remove(database());
        remove.prepare(QStringLiteral("DELETE FROM record_edits WHERE download_id = ?"));
        remove.addBindValue(id);
        return remove.exec() || report(what, remove.lastError());
    });
}

bool MeasurementArchive::edits(qint64 id, QList<RecordEdit> &edits)
{
    edits.clear();
    if (!isOpen())
        return report(QStringLiteral("not open"));
    followSchema();
    if (noTables || schemaVersion < NotesVersion)
        return true;
    const QString what = QStringLiteral("cannot read the edits of download %1").arg(id);
    return reading([&] {
        edits.clear();
        QSqlQuery query(database());
        query.setForwardOnly(true);
        query.prepare(QStringLiteral("SELECT record_index, deleted, name, ticked FROM record_edits "
                                     "WHERE download_id = ? ORDER BY record_index"));
        query.addBindValue(id);
        if (!query.exec())
            return report(what, query.lastError());
        const auto flag = [&](int column) {
            return query.isNull(column) ? std::nullopt : std::optional<bool>(query.value(column).toInt() != 0);
        };
        while (query.next()) {
            RecordEdit edit;
            edit.record = query.value(0).toLongLong();
            edit.deleted = flag(1);
            edit.name = query.isNull(2) ? std::nullopt : std::optional<QString>(query.value(2).toString());
            edit.ticked = flag(3);
            edits << edit;
        }
        return query.lastError().type() == QSqlError::NoError || report(what, query.lastError());
    });
}
