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
// be opened or written), nullopt when it was archived or the archive is off.
std::optional<QString> archive(const DownloadOrigin &origin, const MeterFlow::Download &download);

// The same on a thread of the global thread pool, so that a database slow to answer (a server
// that accepts and then stalls) never holds up the window. `done` gets the result on the thread
// of `receiver`, and not at all once `receiver` is gone.
void archiveInBackground(const DownloadOrigin &origin, const MeterFlow::Download &download, QObject *receiver,
                         std::function<void(const std::optional<QString> &notArchived)> done);

// Waits until every archiving begun has ended. The program calls it before the application object
// goes, which takes the database connections with it.
void waitForArchiving();

} // namespace WindowArchive
