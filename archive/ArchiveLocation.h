// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <optional>

// Where the measurement archive lives: an SQLite file (the default, in the user's data folder) or
// a PostgreSQL database that several stations share.
struct ArchiveLocation
{
    enum Engine {
        Sqlite,
        Postgresql
    };

    Engine engine = Sqlite;
    QString path;         // SQLite: the database file
    QString user;         // PostgreSQL: the role (empty: the server's default)
    QString password;     // PostgreSQL: never shown
    QString host;         // PostgreSQL: a host name, or a socket folder (starts with '/')
    int port = 0;         // PostgreSQL; 0: libpq's own (PGPORT, else 5432)
    QString databaseName; // PostgreSQL

    // PostgreSQL: every other libpq connection option the address gives (sslmode,
    // connect_timeout, options...), in libpq's order.
    struct Option
    {
        QString key;
        QString value;
        bool secret = false; // a password of some kind: never shown
    };
    QList<Option> options;

    // "postgresql://[user[:password]@]host[:port]/database[?option=value&...]" as libpq reads it
    // (also "postgres://"; a host written as %2Fpath names a socket folder; every libpq
    // connection option may follow the '?'), "sqlite:PATH", or a plain file path for SQLite.
    // nullopt, with the reason, for anything else. The reason never repeats a password.
    static std::optional<ArchiveLocation> parse(const QString &text, QString &error);
    // As parse, except that an empty text names the default location.
    static std::optional<ArchiveLocation> parseOrDefault(const QString &text, QString &error);
    // The user's own archive, shared by the window and the command line:
    // Lumivane/archive.sqlite in the user's data folder (~/.local/share/Lumivane/archive.sqlite).
    static ArchiveLocation defaultLocation();
    // The location as messages name it: the file, or postgresql://user@host:port/database?options
    // without any password.
    QString describe() const;
    // Whether the address holds a password (which any user can read in the process list).
    bool holdsPassword() const;
    // The options for Qt's PostgreSQL driver ("key='value';..."): connect_timeout (seconds) first,
    // so that the address's own options win.
    QString driverOptions(int connectTimeoutSeconds) const;
    // For SQLite: whether the file can be an archive: an existing regular file (through links), or
    // a new file whose nearest existing folder can be written. False, with the reason, for
    // anything else (a device such as /dev/null, a folder).
    bool fileUsable(QString &error) const;
};
