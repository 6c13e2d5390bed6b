// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ColourSpaces.h"

// The Planckian locus in the CIE 1960 UCS, from Planck's law (c2 = 1.4388e-2 m·K) and the full CIE
// 1931 2° observer (360 nm to 830 nm), and the correlated colour temperature and Duv of a
// chromaticity against it.
class PlanckianLocus
{
public:
    static constexpr double minimumKelvin = 1000;
    static constexpr double maximumKelvin = 25000;
    // At or beyond this distance from the locus a CCT means nothing.
    static constexpr double duvLimit = 0.05;

    // The locus point of a blackbody at `kelvin`, computed afresh (471 exponentials, a few µs):
    // any finite kelvin > 0, else {0, 0}.
    static ChromaticityUv at(double kelvin);
    // The point `duv` away from the locus point at `kelvin`, along the locus normal (positive duv
    // lies above the locus, towards green): the ends of an isotemperature line. Kelvin as for at().
    static ChromaticityUv offset(double kelvin, double duv);

    struct CctDuv
    {
        bool valid = false; // false outside [minimumKelvin, maximumKelvin] or at |duv| >= duvLimit
        double kelvin = 0;
        double duv = 0;
    };
    // The nearest point of the locus (Ohno's criterion; how it is found: PlanckianLocus.cpp), in
    // about a microsecond; invalid for a non-finite chromaticity. Thread-safe: the locus table it
    // searches is built once, on first use.
    static CctDuv cctDuv(const ChromaticityUv &uv1960);
};
