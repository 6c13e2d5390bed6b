// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadTables.h"

#include "ArchiveEntry.h"

#include <QByteArray>
#include <QList>

#include <optional>

class MeasurementArchive;

// Puts a successful download into the archive and gets it back out: its entry (meter, kind,
// mode, slots, catalogs, time, station, program), its memory as read, and its records decoded
// exactly as the records or spectral table shows them, in English, as one JSON array of values
// per record (numbers as numbers, markers and names as texts).
namespace DownloadArchiver {

// Stores the download of count records, which was written as the given table, taking its memory
// a batch at a time. The records are decoded first, into a temporary file, and only then copied
// into the archive in one short transaction. The archive id, or 0 with the reason.
qint64 archive(MeasurementArchive &archive, const DownloadOrigin &origin, qint64 count,
               const DownloadTables::BatchOf &batchOf, QString &reason,
               DownloadTables::Contents contents = DownloadTables::PurposeTable);
// The same for a download held in memory.
qint64 archive(MeasurementArchive &archive, const DownloadOrigin &origin, const MeterFlow::Download &download,
               QString &reason);

// What is wrong with an archived download, so that its table cannot be made again as it was
// written (its kind, table, unit slots or catalogs unreadable, its count not that of the memory
// held), in the chosen language; nullopt when it agrees with itself.
std::optional<QString> damage(const ArchiveEntry &entry, const ArchivedMemory (&memory)[2], bool chinese);

// The origin an archived download was made from, with the catalogs it was decoded with, and the
// table that was written from it. Only for an entry without damage.
DownloadOrigin originOf(const ArchiveEntry &entry);
DownloadTables::Contents contentsOf(const ArchiveEntry &entry);

// The catalogs of a download as the archive keeps them (JSON), and back.
QByteArray catalogsJson(const UnitCatalog &units, const ProbeNames &probes);
bool catalogsFromJson(const QByteArray &json, UnitCatalog &units, ProbeNames &probes);

} // namespace DownloadArchiver
