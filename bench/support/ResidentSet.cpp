// SPDX-License-Identifier: GPL-3.0-or-later
#include "ResidentSet.h"

#include <QFile>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace ResidentSet {

qint64 currentBytes()
{
    // Files under /proc report a size of 0: read until the end rather than up to the size.
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

ChildRun runChild(const QList<QByteArray> &arguments, qint64 &peakBytes)
{
    if (arguments.isEmpty())
        return ChildRun::NotStarted;
    // posix_spawn takes the arguments as a null-terminated array of writable strings; it does not
    // change them.
    std::vector<char *> argv;
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv.front(), nullptr, nullptr, argv.data(), environ) != 0)
        return ChildRun::NotStarted;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return ChildRun::Failed;
    // Linux reports ru_maxrss in KiB.
    peakBytes = qint64(usage.ru_maxrss) * 1024;
    return ChildRun::Finished;
}

} // namespace ResidentSet
