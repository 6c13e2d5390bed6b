// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadOrigin.h"
#include "MeasurementArchive.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class QObject;

// The window's side of the measurement archive: whether it is on and where it lives come from the
// settings ("archive/enabled", default on; "archive/location", a postgresql:// address or an
// SQLite file, default the user's own archive), and each successful download goes into it before
// its rows reach the page's table.
namespace WindowArchive {

// The archive the settings name, open; nullptr, with the reason, when it cannot be used.
std::unique_ptr<MeasurementArchive> open(QString &reason,
                                         MeasurementArchive::Access access = MeasurementArchive::Access::ReadWrite);

// The SQLite file the settings name, which no export may replace; empty for a PostgreSQL archive
// or a location that cannot be read.
QString filePath();

// A yes-or-no setting as people write it in the settings file: true/false, yes/no, on/off or
// 1/0 in any case, blanks around it ignored; nullopt for anything else.
std::optional<bool> switchValue(const QVariant &value);

// Whether downloads are archived: the "archive/enabled" setting, on when it is missing or not
// understood.
bool isEnabled();

// What the user is told, once when the window starts, about an "archive/enabled" setting that is
// not understood (the debug log says it too); nullopt when it is understood or missing.
std::optional<QString> settingProblem(bool chinese);

// Archives the download; the reason when it could not be archived (the archive is on but cannot
// be opened or written), nullopt when it was archived or the archive is off. `id` gets the
// download's archive id (0 when it was not archived).
std::optional<QString> archive(const DownloadOrigin &origin, const MeterFlow::Download &download,
                               qint64 *id = nullptr);

// The same on a thread of the global thread pool, so that a database slow to answer (a server
// that accepts and then stalls) never holds up the window. `done` gets the archive id (0 when the
// download was not archived) and the reason on the thread of `receiver`, and not at all once
// `receiver` is gone. `archived`, when given, gets the id on the pool thread as soon as archiving
// ends, before `done` and whether or not `receiver` is still there: what must reach the archive
// even when the window went meanwhile (a table's edits waiting for the id) goes out there.
void archiveInBackground(const DownloadOrigin &origin, const MeterFlow::Download &download, QObject *receiver,
                         std::function<void(qint64 id, const std::optional<QString> &notArchived)> done,
                         std::function<void(qint64 id)> archived = {});

// Runs `write` against the archive the settings name on this thread, waiting for another
// program's write transaction as long as opening waits; the reason it failed, nullopt when written.
std::optional<QString> write(const std::function<bool(MeasurementArchive &archive)> &write);

// Runs `write` against the archive the settings name on a thread of the global thread pool, as
// archiving does; `done` gets the reason it failed (nullopt: written) on the thread of `receiver`
// (never once `receiver` is gone; a null receiver: nobody is told). A write waits for another
// program's write transaction only as long as opening waits, so that a locked archive is told
// soon rather than after a download's long wait.
void writeInBackground(std::function<bool(MeasurementArchive &archive)> write, QObject *receiver,
                       std::function<void(const std::optional<QString> &notWritten)> done);

// The notes of an archived download, read at once; nullopt when it has none or the archive
// cannot be read (the archive off included).
std::optional<ArchiveNotes> notesOf(qint64 id);

// Waits until every archiving begun has ended. The program calls it before the application object
// goes, which takes the database connections with it.
void waitForArchiving();

} // namespace WindowArchive
