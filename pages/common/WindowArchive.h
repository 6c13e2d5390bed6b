// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadOrigin.h"
#include "MeasurementArchive.h"

#include <QString>

#include <memory>
#include <optional>

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

// Archives the download; the reason when it could not be archived (the archive is on but cannot
// be opened or written), nullopt when it was archived or the archive is off.
std::optional<QString> archive(const DownloadOrigin &origin, const MeterFlow::Download &download);

} // namespace WindowArchive
