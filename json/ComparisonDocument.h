// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterSheet.h"

#include <QList>

class JsonWriter;
class SpectralTableModel;

// A comparison of spectral downloads as one JSON document (docs/json-format.md): the downloads
// compared, each with its meter, time, record count and spectral unit, then every record with its
// number ("#12-3"), its download, its place there, its name where its kind has names, its unit
// and its 31 values. Keys never depend on the language.
namespace ComparisonDocument {

// False when the writer failed.
bool write(JsonWriter &json, const QList<MeterSheet::ComparedDownload> &downloads, const SpectralTableModel &model,
           bool chinese);

} // namespace ComparisonDocument
