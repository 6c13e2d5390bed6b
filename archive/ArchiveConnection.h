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
