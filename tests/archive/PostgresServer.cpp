// SPDX-License-Identifier: GPL-3.0-or-later
#include "PostgresServer.h"

#include <QFileInfo>
#include <QProcess>

#include <pwd.h>
#include <unistd.h>

namespace {
const QString binaries = QStringLiteral("/usr/lib/postgresql/15/bin/");
}

PostgresServer::PostgresServer()
{
    if (!QFileInfo(binaries + "initdb").isExecutable()) {
        failure = "no PostgreSQL server programs in " + binaries + " (scripts/install-deps.sh installs them)";
        return;
    }
    const passwd *postgres = ::geteuid() == 0 ? ::getpwnam("postgres") : nullptr;
    if (::geteuid() == 0 && (!postgres || ::chown(qPrintable(folder.path()), postgres->pw_uid, postgres->pw_gid))) {
        failure = "cannot hand " + folder.path() + " to the postgres user";
        return;
    }
    // Paths in the temporary folder hold no spaces, so the arguments can be written as one text.
    const QString data = folder.filePath("data");
    run("initdb", QStringLiteral("-D %1 -U lumivane -A trust --no-sync").arg(data).split(' '))
        && run("pg_ctl", QStringList{"-D", data, "-l", data + ".log", "-w", "-o",
                                     "-k " + folder.path() + " -c listen_addresses='' -c fsync=off", "start"});
}

PostgresServer::~PostgresServer()
{
    if (failure.isEmpty())
        run("pg_ctl", {"-D", folder.filePath("data"), "-m", "immediate", "stop"});
}

bool PostgresServer::run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder.path()); // the postgres user may not enter ours
    process.setProcessChannelMode(QProcess::MergedChannels);
    if (::geteuid() == 0)
        process.start("runuser", QStringList{"-u", "postgres", "--", binaries + program} + arguments);
    else
        process.start(binaries + program, arguments);
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    failure = "PostgreSQL " + program + " failed: " + QString::fromLocal8Bit(process.readAll());
    return false;
}

ArchiveLocation PostgresServer::newDatabase()
{
    ArchiveLocation location;
    location.engine = ArchiveLocation::Postgresql;
    location.host = folder.path();
    location.user = "lumivane";
    location.databaseName = "archive" + QString::number(++databases);
    if (failure.isEmpty())
        run("createdb", {"-h", location.host, "-U", location.user, location.databaseName});
    return location;
}
