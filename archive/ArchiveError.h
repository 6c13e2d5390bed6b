// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSqlError;
struct ArchiveLocation;

// "archive LOCATION: WHAT: the database's reason", the form of every archive error. The location
// is described without its password.
QString archiveError(const ArchiveLocation &location, const QString &what, const QSqlError &error);
QString archiveError(const ArchiveLocation &location, const QString &what);
