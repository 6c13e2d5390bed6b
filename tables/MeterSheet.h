// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadNotes.h"
#include "ExportSheet.h"
#include "KeyInfo.h"
#include "MeterState.h"

#include <QDateTime>
#include <QList>

// The sheet a workbook gets about where its rows came from: the meter's serial number, model
// code, firmware version, kind and mode, the number of records, when they were downloaded (local
// time and its offset from UTC) and the program that wrote the file, then what the user wrote
// about the download (title, location, operator, note; those left empty are left out). One row
// per fact, its label in column A and its value in column B, in the page's language.
namespace MeterSheet {

ExportSheet make(const KeyInfo &keyInfo, const MeterState &state, qint64 records, const QDateTime &downloaded,
                 bool chinese, const DownloadNotes &notes = {});

// One download of a comparison, as the sheet describes it.
struct ComparedDownload
{
    qint64 id = 0; // in the archive
    KeyInfo keyInfo;
    MeterState state;
    qint64 records = 0;
    QDateTime downloaded;
    QString spectralUnit; // the unit its spectral values are in
    DownloadNotes notes;
};

// The sheet of a comparison of downloads: the same facts, a column per download (B, C, ...), led
// by a row of the downloads' ids and followed by their spectral units, the program, and the notes
// that any of them has.
ExportSheet makeComparison(const QList<ComparedDownload> &downloads, bool chinese);

} // namespace MeterSheet
