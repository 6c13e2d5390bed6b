// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
    int port = 5432;      // PostgreSQL
    QString databaseName; // PostgreSQL

    // "postgresql://[user[:password]@]host[:port]/database" (also "postgres://"; a host written
    // as %2Fpath names a socket folder), "sqlite:PATH", or a plain file path for SQLite. nullopt,
    // with the reason, for anything else.
    static std::optional<ArchiveLocation> parse(const QString &text, QString &error);
    // The user's own archive, shared by the window and the command line:
    // Lumivane/archive.sqlite in the user's data folder (~/.local/share/Lumivane/archive.sqlite).
    static ArchiveLocation defaultLocation();
    // The location as messages name it: the file, or postgresql://user@host:port/database
    // without the password.
    QString describe() const;
};
