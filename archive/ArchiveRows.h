// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"

#include <QString>

class QSqlQuery;

// A download's row in the downloads table: which columns hold an entry, and the conversions both
// ways, the same for both engines.
namespace ArchiveRows {

// The columns an entry fills, in the order bind() gives their values (the id comes from the
// database), and as many placeholders.
QString columns();
QString placeholders();
void bind(QSqlQuery &query, const ArchiveEntry &entry);
// The entry on the query's current row, selected as "id, " + columns().
ArchiveEntry read(const QSqlQuery &query);

// The notes and whether the download has edits, as columns that follow those of read(), for
// `SELECT ... FROM downloads`; readNotes() reads them after those read() reads.
QString notesColumns();
void readNotes(const QSqlQuery &query, ArchiveEntry &entry);

} // namespace ArchiveRows
