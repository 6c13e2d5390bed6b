#pragma once

#include <array>

// The spectral part of one measurement record: the values at 400 nm to 700 nm in steps of 10 nm
// and whether its curve is drawn in the chart. The name of a record lives only in its table cell.
struct SpectralRecord
{
    static constexpr int valueCount = 31;
    static constexpr int firstWavelength = 400;
    static constexpr int wavelengthStep = 10;

    std::array<float, valueCount> values{};
    bool curveVisible = true;
};
