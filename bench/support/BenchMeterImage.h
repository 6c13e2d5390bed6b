// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A virtual meter image for the command-line benchmarks, built from the kind-1 sample: its unit
// slots and mode, its records repeated up to 1,000 stored records, and the count of the whole
// download, past which the memory reads as zeros (each still a record of 15 cells).
namespace BenchMeterImage {

constexpr int StoredRecords = 1000;

bool writeKind1(const QString &path, int records);

} // namespace BenchMeterImage
