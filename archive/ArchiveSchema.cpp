// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveSchema.h"

#include "ArchiveDialect.h"
#include "ArchiveError.h"
#include "ArchiveLocation.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

// The migration steps: step N brings version N-1 to version N. Steps are never changed once
// released; a change to the schema is a new step at the end. %ID% and %BYTES% stand for the
// engine's id column and raw bytes type.
const QList<QStringList> &steps()
{
    static const QList<QStringList> all{
        // 1: downloads, their memory in chunks and their decoded records. Times are milliseconds
        // since 1970 UTC, the meter's date is yyyy-MM-dd (empty when it had none), the serial is
        // the signed 32-bit number the window shows.
        {
            QStringLiteral("CREATE TABLE downloads ("
                           "id %ID%, downloaded_utc BIGINT NOT NULL, host TEXT NOT NULL, "
                           "program_version TEXT NOT NULL, serial INTEGER NOT NULL, model_code BIGINT NOT NULL, "
                           "firmware INTEGER NOT NULL, key_marker INTEGER NOT NULL, key_extra INTEGER NOT NULL, "
                           "meter_date TEXT NOT NULL, purpose INTEGER NOT NULL, kind INTEGER NOT NULL, "
                           "mode INTEGER NOT NULL, unit_slots TEXT NOT NULL, record_count BIGINT NOT NULL, "
                           "catalogs TEXT NOT NULL, titles TEXT NOT NULL)"),
            QStringLiteral("CREATE INDEX downloads_by_serial ON downloads (serial, downloaded_utc)"),
            QStringLiteral("CREATE INDEX downloads_by_time ON downloads (downloaded_utc)"),
            QStringLiteral("CREATE TABLE memory_chunks ("
                           "download_id BIGINT NOT NULL REFERENCES downloads (id) ON DELETE CASCADE, "
                           "area INTEGER NOT NULL, seq INTEGER NOT NULL, bytes %BYTES% NOT NULL, "
                           "PRIMARY KEY (download_id, area, seq))"),
            QStringLiteral("CREATE TABLE decoded_records ("
                           "download_id BIGINT NOT NULL REFERENCES downloads (id) ON DELETE CASCADE, "
                           "record_index BIGINT NOT NULL, json TEXT NOT NULL, "
                           "PRIMARY KEY (download_id, record_index))"),
        },
        // 2: purpose 2, a spectral download written as its colour table. The tables stay as they
        // are; programs that know only version 1 would take purpose 2 for the records table, and
        // the new version keeps them from reading such downloads wrongly.
        {},
        // 3: the user's notes on a download and edits of its records, kept beside the download
        // (whose rows and memory stay as the meter gave them). One row per note field and one per
        // edited record, with each edited value in its own column (NULL: not edited), so that a
        // change sets only the fields it names and the later change wins per field. Times are
        // milliseconds since 1970 UTC.
        {
            QStringLiteral("CREATE TABLE download_notes ("
                           "download_id BIGINT NOT NULL REFERENCES downloads (id) ON DELETE CASCADE, "
                           "field INTEGER NOT NULL, value TEXT NOT NULL, changed_utc BIGINT NOT NULL, "
                           "PRIMARY KEY (download_id, field))"),
            QStringLiteral("CREATE TABLE record_edits ("
                           "download_id BIGINT NOT NULL REFERENCES downloads (id) ON DELETE CASCADE, "
                           "record_index BIGINT NOT NULL, deleted INTEGER, name TEXT, ticked INTEGER, "
                           "changed_utc BIGINT NOT NULL, PRIMARY KEY (download_id, record_index))"),
        },
    };
    return all;
}

// The version the database is at: 0 when it has no version table yet, -1 when it cannot be read.
int storedVersion(QSqlDatabase &db, const ArchiveLocation &location, QString &error)
{
    QSqlQuery exists(db);
    exists.prepare(ArchiveDialect::of(location.engine).tableExists);
    exists.addBindValue(QStringLiteral("archive_version"));
    if (!exists.exec()) {
        error = archiveError(location, QStringLiteral("cannot read the schema"), exists.lastError());
        return -1;
    }
    if (!exists.next())
        return 0;
    QSqlQuery version(db);
    if (!version.exec(QStringLiteral("SELECT max(version) FROM archive_version")) || !version.next()) {
        error = archiveError(location, QStringLiteral("cannot read the schema version"), version.lastError());
        return -1;
    }
    return version.value(0).toInt();
}

bool newerThanProgram(int version, const ArchiveLocation &location, QString &error)
{
    if (version <= ArchiveSchema::currentVersion())
        return false;
    error = archiveError(location, QStringLiteral("the archive was written by a newer program (schema version %1, "
                                                  "this program knows up to %2)")
                                       .arg(version)
                                       .arg(ArchiveSchema::currentVersion()));
    return true;
}

bool migrate(QSqlDatabase &db, const ArchiveLocation &location, QString &error)
{
    const ArchiveDialect &dialect = ArchiveDialect::of(location.engine);
    QSqlQuery query(db);
    const auto run = [&](const QString &sql) {
        if (query.exec(sql))
            return true;
        error = archiveError(location, QStringLiteral("cannot create or update the tables"), query.lastError());
        return false;
    };
    if (!dialect.lockSchema.isEmpty() && !run(dialect.lockSchema))
        return false;
    // Another program may have done the work while this one waited for the lock.
    const int version = storedVersion(db, location, error);
    if (version < 0 || newerThanProgram(version, location, error))
        return false;
    if (version == 0 && !run(QStringLiteral("CREATE TABLE archive_version (version INTEGER NOT NULL)")))
        return false;
    for (int step = version; step < steps().size(); ++step) {
        for (QString sql : steps().at(step)) {
            sql.replace(QLatin1String("%ID%"), dialect.idColumn).replace(QLatin1String("%BYTES%"), dialect.bytesType);
            if (!run(sql))
                return false;
        }
    }
    return run(QStringLiteral("DELETE FROM archive_version"))
           && run(QStringLiteral("INSERT INTO archive_version (version) VALUES (%1)").arg(steps().size()));
}

} // namespace

int ArchiveSchema::currentVersion()
{
    return int(steps().size());
}

int ArchiveSchema::readableVersion(QSqlDatabase &db, const ArchiveLocation &location, QString &error)
{
    const int version = storedVersion(db, location, error);
    return version >= 0 && newerThanProgram(version, location, error) ? -1 : version;
}

bool ArchiveSchema::bringUpToDate(QSqlDatabase &db, const ArchiveLocation &location, QString &error)
{
    // Usually the database is up to date and nothing needs the write lock.
    const int version = storedVersion(db, location, error);
    if (version < 0 || newerThanProgram(version, location, error))
        return false;
    if (version == currentVersion())
        return true;

    QSqlQuery transaction(db);
    if (!transaction.exec(ArchiveDialect::of(location.engine).beginWrite)) {
        error = archiveError(location, QStringLiteral("cannot begin creating the tables"), transaction.lastError());
        return false;
    }
    if (!migrate(db, location, error)) {
        transaction.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    if (!transaction.exec(QStringLiteral("COMMIT"))) {
        error = archiveError(location, QStringLiteral("cannot commit the new tables"), transaction.lastError());
        transaction.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}
