// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveConnection.h"

#include "ArchiveDialect.h"
#include "ArchiveError.h"
#include "ArchiveLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {

bool run(QSqlDatabase &db, const ArchiveLocation &location, const QString &sql, const QString &what, QString &error)
{
    QSqlQuery query(db);
    if (query.exec(sql))
        return true;
    error = archiveError(location, what, query.lastError());
    return false;
}

bool openSqlite(QSqlDatabase &db, const ArchiveLocation &location, int busyTimeoutMs, QString &error)
{
    // SQLite would open a device or write its journals beside it (/dev/null-journal).
    QString unusable;
    if (!location.fileUsable(unusable)) {
        error = archiveError(location, unusable);
        return false;
    }
    const QString folder = QFileInfo(location.path).absolutePath();
    if (!QDir().mkpath(folder)) {
        error =
            archiveError(location, QStringLiteral("cannot create the folder %1").arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    db.setDatabaseName(location.path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!db.open()) {
        error = archiveError(location, QStringLiteral("cannot open the file"), db.lastError());
        return false;
    }
    // SQLite reads the file only when it is first asked something: ask now, so that a file that is
    // not a database (or whose first page is damaged) fails here and not in the middle of a store.
    return run(db, location, QStringLiteral("SELECT count(*) FROM sqlite_master"),
               QStringLiteral("not a usable database"), error)
           && run(db, location, QStringLiteral("PRAGMA journal_mode=WAL"),
                  QStringLiteral("cannot switch to write-ahead logging"), error)
           && run(db, location, QStringLiteral("PRAGMA foreign_keys=ON"), QStringLiteral("cannot enable foreign keys"),
                  error);
}

bool openSqliteForReading(QSqlDatabase &db, const ArchiveLocation &location, int busyTimeoutMs, bool &withoutLocks,
                          QString &error)
{
    withoutLocks = !(QFileInfo::exists(location.path + QStringLiteral("-wal"))
                     && QFileInfo::exists(location.path + QStringLiteral("-shm")));
    QUrl uri = QUrl::fromLocalFile(location.path);
    uri.setQuery(withoutLocks ? QStringLiteral("immutable=1") : QStringLiteral("mode=ro"));
    db.setDatabaseName(uri.toString(QUrl::FullyEncoded));
    db.setConnectOptions(
        QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs));
    if (!db.open()) {
        error = archiveError(location, QStringLiteral("cannot open the file"), db.lastError());
        return false;
    }
    return run(db, location, QStringLiteral("SELECT count(*) FROM sqlite_master"),
               QStringLiteral("not a usable database"), error);
}

bool openPostgresql(QSqlDatabase &db, const ArchiveLocation &location, int busyTimeoutMs, QString &error)
{
    // libpq takes a host starting with '/' as the folder of the server's Unix socket.
    if (!location.host.isEmpty())
        db.setHostName(location.host);
    if (location.port > 0)
        db.setPort(location.port);
    db.setUserName(location.user);
    db.setPassword(location.password);
    db.setDatabaseName(location.databaseName);
    db.setConnectOptions(location.driverOptions((busyTimeoutMs + 999) / 1000));
    if (!db.open()) {
        error = archiveError(location, QStringLiteral("cannot connect"), db.lastError());
        return false;
    }
    // Waiting for another program's lock ends after the same time as SQLite's busy time-out;
    // the notices of CREATE ... IF NOT EXISTS are not worth printing.
    return run(db, location, QStringLiteral("SET lock_timeout = %1").arg(busyTimeoutMs),
               QStringLiteral("cannot set the lock time-out"), error)
           && run(db, location, QStringLiteral("SET client_min_messages = warning"),
                  QStringLiteral("cannot set the message level"), error);
}

} // namespace

bool openArchiveConnection(const ArchiveLocation &location, const QString &connectionName, int busyTimeoutMs,
                           QString &error)
{
    const ArchiveDialect &dialect = ArchiveDialect::of(location.engine);
    if (!QSqlDatabase::isDriverAvailable(dialect.driver)) {
        error = archiveError(location, QStringLiteral("Qt's %1 driver is not installed").arg(dialect.driver));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(dialect.driver, connectionName);
    return location.engine == ArchiveLocation::Sqlite ? openSqlite(db, location, busyTimeoutMs, error)
                                                      : openPostgresql(db, location, busyTimeoutMs, error);
}

bool openArchiveForReading(const ArchiveLocation &location, const QString &connectionName, int busyTimeoutMs,
                           bool &withoutLocks, QString &error)
{
    withoutLocks = false;
    const ArchiveDialect &dialect = ArchiveDialect::of(location.engine);
    if (!QSqlDatabase::isDriverAvailable(dialect.driver)) {
        error = archiveError(location, QStringLiteral("Qt's %1 driver is not installed").arg(dialect.driver));
        return false;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(dialect.driver, connectionName);
    if (location.engine == ArchiveLocation::Sqlite)
        return openSqliteForReading(db, location, busyTimeoutMs, withoutLocks, error);
    return openPostgresql(db, location, busyTimeoutMs, error)
           && run(db, location, QStringLiteral("SET default_transaction_read_only = on"),
                  QStringLiteral("cannot begin reading only"), error);
}
