// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadTables.h"

#include <QByteArray>
#include <QList>

class MeasurementArchive;
struct ArchiveEntry;

// Puts a successful download into the archive and gets it back out: its entry (meter, kind,
// mode, slots, catalogs, time, station, program), its memory as read, and its records decoded
// exactly as the records or spectral table shows them, in English, as one JSON array of values
// per record (numbers as numbers, markers and names as texts).
namespace DownloadArchiver {

// Stores the download of count records, taking its memory a batch at a time, in one
// transaction. The archive id, or 0 with the reason.
qint64 archive(MeasurementArchive &archive, const DownloadOrigin &origin, qint64 count,
               const DownloadTables::BatchOf &batchOf, QString &reason);
// The same for a download held in memory.
qint64 archive(MeasurementArchive &archive, const DownloadOrigin &origin, const MeterFlow::Download &download,
               QString &reason);

// The origin an archived download was made from, with the catalogs it was decoded with.
DownloadOrigin originOf(const ArchiveEntry &entry);

// The catalogs of a download as the archive keeps them (JSON), and back.
QByteArray catalogsJson(const UnitCatalog &units, const ProbeNames &probes);
bool catalogsFromJson(const QByteArray &json, UnitCatalog &units, ProbeNames &probes);

} // namespace DownloadArchiver
