// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

// How much of a benchmark's memory is held in RAM (the resident set), as Linux reports it.
namespace ResidentSet {

// This process's resident set now, in bytes (VmRSS of /proc/self/status); -1 where it cannot be
// read.
qint64 currentBytes();

enum class ChildRun {
    Finished,   // the program exited with status 0
    NotStarted, // it could not be started
    Failed      // it ended by a signal or with another status
};

// Runs `arguments` (the program's path first) to its end, with this process's environment, and
// sets peakBytes to the highest resident set it reached (wait4's maximum resident set size) once
// it finished.
ChildRun runChild(const QList<QByteArray> &arguments, qint64 &peakBytes);

} // namespace ResidentSet
