// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExportTable.h"

#include <QString>

// The table the export benchmarks write: 65,535 rows x 15 columns like those of the records
// table (a name, measured values in fixed notation marked as numbers, a time stamp), and the
// reference they are measured against: the same cell texts written as plain CSV through
// QTextStream in the same process.
namespace BenchTable {

constexpr int Rows = 65535;
constexpr int Columns = 15;

ExportTable make();
// Nanoseconds the CSV took, or -1 when the file could not be written.
qint64 writeCsv(const ExportTable &table, const QString &fileName);

} // namespace BenchTable
