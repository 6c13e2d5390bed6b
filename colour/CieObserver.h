// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ColourSpaces.h"

// The CIE 1931 2° standard observer: its colour matching functions x̄, ȳ, z̄ from 360 nm to 830 nm in
// steps of 1 nm (the table and its origin are in CieObserverTable.cpp).
class CieObserver
{
public:
    static constexpr int firstWavelength = 360;
    static constexpr int lastWavelength = 830;

    // x̄, ȳ, z̄ at a whole wavelength in [firstWavelength, lastWavelength]; zeros outside.
    static Tristimulus at(int wavelengthNm);
    // The chromaticity of a monochromatic light (a point of the spectral locus); {0, 0} outside
    // the range.
    static ChromaticityXy spectralLocus(int wavelengthNm);
};
