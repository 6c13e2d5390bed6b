// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterFacts.h"

#include <array>

// The spectral part of one measurement record: the values at 400 nm to 700 nm in steps of 10 nm
// and whether its curve is drawn in the chart.
struct SpectralRecord
{
    static constexpr int valueCount = MeterFacts::SpectralValueCount;
    static constexpr int firstWavelength = MeterFacts::FirstWavelength;
    static constexpr int wavelengthStep = MeterFacts::WavelengthStep;

    std::array<float, valueCount> values{};
    bool curveVisible = true;
};
