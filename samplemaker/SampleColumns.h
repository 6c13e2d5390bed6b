// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterKind.h"

// Where the sample records put each quantity: the columns of the meter kind table, looked up by
// kind, mode and title.
namespace SampleColumns {

// Kind 1 shows every word of the standard record (mode 0) and of the PPFD record (mode 1); kind 2
// adds the UV power words; kind 6 shows the probe record.
constexpr int StandardKind = 1;
constexpr int UvPowerKind = 2;
constexpr int ProbeKind = 6;
constexpr int StandardMode = 0;
constexpr int PpfdMode = 1;

// The column titled `title` among the columns of meter kind `kind` in `mode`, or nullptr.
const MeterColumn *find(int kind, int mode, Text title);
// The same for a column the samples rely on: without it the samples cannot be written as the
// table describes them, so a missing column ends the program.
const MeterColumn &require(int kind, int mode, Text title);

// The record word of the first spectral value of kind `kind` in `mode`.
int firstSpectralWord(int kind, int mode);

} // namespace SampleColumns
