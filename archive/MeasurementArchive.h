// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"
#include "ArchiveLocation.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

class QSqlDatabase;
class QSqlError;

// The measurement archive: every download, losslessly (its key information, kind, mode, unit
// slots, raw record and name memory, the catalog rows used, the decoded values), in an SQLite or
// PostgreSQL database through Qt SQL. Both engines get the same schema (versioned, migrated
// forward when opened) and the same queries. A download is stored in one transaction: a failure
// or a crash at any point leaves no part of it behind. Each instance holds its own connection and
// is used from the thread that made it; the window and the command line may archive at the same
// time: a download waits for another's write transaction (up to WriteWaitMs), which only copies
// bytes that were decoded beforehand. An archive opened for reading only writes nothing, not even
// SQLite's shared-memory files, so that it works on a file the user may only read and leaves
// nothing behind that would keep its owner from writing.
class MeasurementArchive
{
public:
    enum class Access {
        ReadWrite,
        ReadOnly
    };

    // How long opening waits for the database (connecting, another program's schema change).
    static constexpr int BusyTimeoutMs = 5000;
    // How long storing a download waits for another download's write transaction: several
    // downloads of a station may end at once, and a download is worth a wait.
    static constexpr int WriteWaitMs = 600000;
    // Memory goes into the database in pieces of this size, so that a large download never has
    // to be held whole.
    static constexpr int ChunkBytes = 1 << 20;

    explicit MeasurementArchive(const ArchiveLocation &location, Access access = Access::ReadWrite);
    ~MeasurementArchive();
    MeasurementArchive(const MeasurementArchive &) = delete;
    MeasurementArchive &operator=(const MeasurementArchive &) = delete;

    // Connects (creating an SQLite file and its folder when missing) and brings the schema to the
    // current version. False, with errorString(), when the database cannot be opened, is corrupt,
    // is newer than this program, or refuses the login. For reading only, an older schema is read
    // as it is, and a missing SQLite file or a database without tables is an empty archive.
    bool open();
    // The archive a location text names (as ArchiveLocation::parse reads it; empty: the default
    // one), open; nullptr, with the reason, when it cannot be used.
    static std::unique_ptr<MeasurementArchive> openLocation(const QString &locationText, QString &reason,
                                                            Access access = Access::ReadWrite);
    // How long a store waits for another's write transaction (WriteWaitMs unless set).
    void setWriteWait(int milliseconds);
    bool isOpen() const;
    const ArchiveLocation &location() const { return where; }
    // Why the last operation failed, naming the database (never its password).
    QString errorString() const { return lastError; }

    // Storing one download in parts: begin (a transaction and the download's row), then its
    // memory and decoded records in order, in any number of calls, then commit, which gives the
    // download its id. A failed call, or destroying the archive before commit, rolls back: none of
    // the download stays.
    bool begin(const ArchiveEntry &entry);
    bool addMemory(ArchiveArea area, const QByteArray &bytes);
    // Each decoded record as one JSON array of its values (numbers and texts), in record order.
    bool addRecords(const QList<QByteArray> &decodedRecords);
    // The id of the stored download, or 0 when it could not be committed.
    qint64 commit();
    void rollback();

    // The whole download at once: begin, its memory, its records, commit. 0 on failure.
    qint64 store(const ArchiveEntry &entry, const QByteArray &recordMemory, const QByteArray &nameMemory,
                 const QList<QByteArray> &decodedRecords);

    // The downloads the filter lets through, newest first, without memory and records.
    bool list(const ArchiveFilter &filter, QList<ArchiveEntry> &entries);
    // One download with its memory (and its decoded records when asked for). False when there is
    // no such download (errorString() then empty) or it cannot be read.
    bool load(qint64 id, ArchiveEntry &entry, QByteArray &recordMemory, QByteArray &nameMemory,
              QList<QByteArray> *decodedRecords = nullptr);
    // One download's entry alone; false as for load().
    bool entry(qint64 id, ArchiveEntry &entry);
    // How much of each memory area (indexed by ArchiveArea) the archive holds for a download.
    bool memoryExtents(qint64 id, ArchivedMemory (&extents)[2]);
    // The bytes [offset, offset + length) of a download's memory area, read from the chunks that
    // hold them, so that a large download can be read a part at a time. False, with the reason,
    // when the archive does not hold them all.
    bool readMemory(qint64 id, ArchiveArea area, qint64 offset, qint64 length, QByteArray &bytes);
    // Deletes a download with everything stored for it; false when there was none.
    bool remove(qint64 id);

    // The user's notes and record edits, kept beside the download, whose rows and memory stay as
    // the meter gave them. Each change is one transaction that sets only the fields it names, so
    // that on a shared archive the later change wins per field and nothing else is lost. The
    // setters need ReadWrite access; all fail, with errorString(), for a download the archive
    // does not hold. An archive read only at an older schema has no notes and no edits.

    // A download's notes; false as for entry().
    bool notes(qint64 id, ArchiveNotes &notes);
    // Sets only the fields named in `fields` to their value in `notes`.
    bool setNotes(qint64 id, const ArchiveNotes &notes, const QList<NoteField> &fields);
    // The current edits of a download, by record index ascending (no entry: record unchanged).
    bool edits(qint64 id, QList<RecordEdit> &edits);
    // Applies the given edits, each field that is set, in one transaction. Every record must be
    // one of the download's; nothing is saved when one is not.
    bool saveEdits(qint64 id, const QList<RecordEdit> &edits);
    // Forgets every edit of the download (back to what the meter gave); its notes stay.
    bool clearEdits(qint64 id);

private:
    struct Statements;

    QSqlDatabase database() const;
    void close();
    bool openForReading(QString &error);
    bool applyWriteWait();
    // Whether a program began writing an SQLite archive that this one reads without locks (its
    // write-ahead log appeared): what was read may mix the old and the new file.
    bool writerAppeared() const;
    // Runs a read; when a writer appeared meanwhile, opens again (now through the writer's
    // shared memory) and reads once more.
    template <typename Read>
    bool reading(const Read &read);
    bool prepareStatements();
    // Sets lastError; fail() also rolls the download back.
    bool report(const QString &what, const QSqlError &error);
    bool report(const QString &what);
    bool fail(const QString &what, const QSqlError &error);
    bool checkStoring();
    bool writeChunk(int area, const QByteArray &bytes);
    bool flushRecords();
    // The record count of a download that may be changed; false when there is none.
    bool checkChanging(qint64 id, qint64 &recordCount);
    // Runs `change` on the download in one write transaction; `what` names it in messages.
    template <typename Change>
    bool changing(qint64 id, const QString &what, const Change &change);
    // Reads the schema version again while it is older than this program's (read only).
    void followSchema();
    // What entry() and list() select: the download's row, its notes when the schema has them.
    QString entrySelect() const;

    ArchiveLocation where;
    const Access access;
    int writeWaitMs = WriteWaitMs;
    bool opened = false;
    bool noTables = false;     // read only: nothing was ever archived there
    int schemaVersion = 0;     // the schema of the open database (older only when read only)
    bool withoutLocks = false; // read only: an SQLite file no program had open, read as immutable
    // The file read without locks as it was when opened: its size and times.
    struct FileStamp
    {
        qint64 size = 0;
        QDateTime modified, changed;
        bool operator!=(const FileStamp &other) const
        {
            return size != other.size || modified != other.modified || changed != other.changed;
        }
    };
    FileStamp readFileStamp;
    QString connectionName;
    QString lastError;
    qint64 pendingId = 0;
    int pendingChunks[2] = {0, 0};
    qint64 pendingRecords = 0;
    bool storing = false; // a write transaction is open
    // Memory not yet making up a whole chunk, and records not yet making up a whole batch.
    QByteArray pendingMemory[2];
    QList<QByteArray> pendingRows;
    // Prepared once per connection and used for every download.
    std::unique_ptr<Statements> statements;
};
