// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct ArchiveLocation;

// Adds the Qt SQL connection connectionName for the location and opens it ready for the archive:
// SQLite with its folder created, the busy time-out, write-ahead logging and foreign keys, and the
// file checked to be a database; PostgreSQL logged in, with the same lock time-out. False, with
// the reason, when the database cannot be reached or used; the connection stays added either way
// (the caller removes it).
bool openArchiveConnection(const ArchiveLocation &location, const QString &connectionName, int busyTimeoutMs,
                           QString &error);

// The same for reading only, writing nothing into the database or beside it. An SQLite file in use
// (its write-ahead log and shared memory beside it) is read through the shared memory that its
// writer made; a file no program has open is read as an unchanging file, without locks and
// without the shared-memory file (withoutLocks set), which a reader could leave behind belonging
// to the wrong user and which cannot be made beside a file the user may only read. PostgreSQL
// sessions refuse writes.
bool openArchiveForReading(const ArchiveLocation &location, const QString &connectionName, int busyTimeoutMs,
                           bool &withoutLocks, QString &error);
