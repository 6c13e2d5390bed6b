// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveLocation.h"

#include <QTemporaryDir>

// A throw-away PostgreSQL cluster for the archive tests, in a temporary folder that also holds
// its only socket (no TCP), with trust logins for the role "lumivane". PostgreSQL refuses to run
// as root, so under root the server programs run as the postgres user, who owns the folder.
class PostgresServer
{
public:
    PostgresServer();
    ~PostgresServer();
    // Empty while the server runs; otherwise why it does not.
    QString error() const { return failure; }
    // A new empty database on the server.
    ArchiveLocation newDatabase();

private:
    bool run(const QString &program, const QStringList &arguments);

    QTemporaryDir folder;
    QString failure;
    int databases = 0;
};
