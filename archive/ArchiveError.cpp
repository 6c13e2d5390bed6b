// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveError.h"

#include "ArchiveLocation.h"

#include <QSqlError>

QString archiveError(const ArchiveLocation &location, const QString &what, const QSqlError &error)
{
    // The database's own words ("database is locked", libpq's connection failure) say the most;
    // Qt's driver text ("Unable to fetch row") only when there are none.
    QString reason = error.databaseText().simplified();
    if (reason.isEmpty())
        reason = error.driverText().simplified();
    if (reason.isEmpty())
        return archiveError(location, what);
    return archiveError(location, what + QStringLiteral(": ") + reason);
}

QString archiveError(const ArchiveLocation &location, const QString &what)
{
    return QStringLiteral("archive %1: %2").arg(location.describe(), what);
}
