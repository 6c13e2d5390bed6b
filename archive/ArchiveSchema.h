// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSqlDatabase;
struct ArchiveLocation;

// The archive's tables. Each program knows the schema up to its own version and brings an older
// database forward, one step at a time, when it opens it; a newer database it leaves alone.
namespace ArchiveSchema {

// The version this program writes.
int currentVersion();

// Creates the tables of a new database or migrates an older one, in one transaction that other
// programs opening the same database wait for. False, with the reason, when the database is
// newer than this program or a step fails (then nothing of it stays).
bool bringUpToDate(QSqlDatabase &db, const ArchiveLocation &location, QString &error);

// The version of a database that is only read, which this program reads as it is when it is not
// newer: 0 when it has no tables yet, -1 with the reason when it cannot be read or is newer.
int readableVersion(QSqlDatabase &db, const ArchiveLocation &location, QString &error);

} // namespace ArchiveSchema
