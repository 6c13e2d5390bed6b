// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ColourSpaces.h"
#include "MeterFacts.h"

#include <array>

// What the colour of one record's spectrum is, from its 31 values (400 nm to 700 nm in 10 nm steps,
// as downloaded). The meter measures only 400 nm to 700 nm, so the figures are those of that part
// of the spectrum: close to, not equal to, what a full 380 nm to 780 nm measurement gives.
struct ColourMetrics
{
    bool valid = false; // false: all values zero, or one is negative, NaN or infinite
    // Relative: the sums of value × x̄, ȳ, z̄ (CIE 1931 2°) at the 31 wavelengths, times the 10 nm
    // step, so Y estimates the integral of the spectrum times ȳ (683 lm/W · Y is the illuminance in
    // lux of the 400 nm to 700 nm part when the values are W/(m²·nm)).
    Tristimulus tristimulus;
    ChromaticityXy xy;
    ChromaticityUv uvPrime; // CIE 1976 u', v'
    bool hasCct = false;    // false: outside 1,000 K to 25,000 K or |Duv| >= 0.05 (PlanckianLocus)
    double cct = 0;         // K
    double duv = 0;
    int peakWavelength = 0; // nm; the largest value, ties to the shorter wavelength
    // nm, fractional, against the equal-energy white point E (x = y = 1/3) in the CIE 1931 xy
    // diagram; complementary (a purple, whose dominant wavelength does not exist) is negative:
    // minus the complementary wavelength. The spectral locus is the observer's from 360 nm to
    // 700 nm (from 699 nm to 830 nm the table's chromaticity is one point, 700 nm's), linear
    // between 1 nm points; the purple line joins its 360 nm and 700 nm ends. A sample at E has
    // no direction: dominantWavelength 0, complementary false, purity 0.
    double dominantWavelength = 0;
    bool complementary = false;
    // Excitation purity, 0 to 1: distance from E to the sample over distance from E to the
    // locus point (or, for a purple, to the purple line's point) on the same ray.
    double purity = 0;
};

class SpectrumColour
{
public:
    using Values = std::array<float, MeterFacts::SpectralValueCount>;

    // Thread-safe and quick (a few µs): the tables it needs are built once, on first use.
    static ColourMetrics compute(const Values &values);
};
