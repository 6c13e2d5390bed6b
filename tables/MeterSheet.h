// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadNotes.h"
#include "ExportSheet.h"

#include <QDateTime>

struct KeyInfo;
struct MeterState;

// The sheet a workbook gets about where its rows came from: the meter's serial number, model
// code, firmware version, kind and mode, the number of records, when they were downloaded (local
// time and its offset from UTC) and the program that wrote the file, then what the user wrote
// about the download (title, location, operator, note; those left empty are left out). One row
// per fact, its label in column A and its value in column B, in the page's language.
namespace MeterSheet {

ExportSheet make(const KeyInfo &keyInfo, const MeterState &state, qint64 records, const QDateTime &downloaded,
                 bool chinese, const DownloadNotes &notes = {});

} // namespace MeterSheet
