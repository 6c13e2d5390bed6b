// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveLocation.h"

#include <QString>

// Where SQLite and PostgreSQL need different SQL: everything else the archive runs is the same
// text on both engines.
struct ArchiveDialect
{
    QString driver;      // the Qt SQL driver
    QString idColumn;    // a download's id, given by the database and never reused
    QString bytesType;   // raw memory
    QString beginWrite;  // a transaction that writes
    QString lockSchema;  // serialises schema changes across programs (empty: beginWrite does)
    QString tableExists; // one row when the table named by the only placeholder exists

    static const ArchiveDialect &of(ArchiveLocation::Engine engine);
};
