// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterFacts.h"

#include <array>

// The spectral part of one measurement record: the values at 400 nm to 700 nm in steps of 10 nm
// and whether its curve is drawn in the chart, with the record's photometric value.
struct SpectralRecord
{
    static constexpr int valueCount = MeterFacts::SpectralValueCount;
    static constexpr int firstWavelength = MeterFacts::FirstWavelength;
    static constexpr int wavelengthStep = MeterFacts::WavelengthStep;

    std::array<float, valueCount> values{};
    bool curveVisible = true;
    // The record's own photometric value as the meter stored it: its illuminance (luminance for
    // luminance meters). None in the PPFD mode, whose records hold no such word, or where the
    // word is a marker.
    bool hasPhotometric = false;
    float photometric = 0;
    // The meter marked the record as too dim to measure (its colour temperature is the invalid
    // marker): the values are noise, and the record has no colour figures.
    bool tooDim = false;
    // Which record of its download this is (0-based, as the meter numbered them); -1 for a record
    // that came from no download.
    qint64 recordIndex = -1;
};
