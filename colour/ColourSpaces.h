// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Chromaticity coordinates and the conversions between the CIE 1931 xy diagram, the CIE 1960 UCS
// (u, v: where CCT and Duv are measured) and the CIE 1976 UCS (u', v').
struct Tristimulus
{
    double X = 0, Y = 0, Z = 0;
};

struct ChromaticityXy
{
    double x = 0, y = 0;
};

struct ChromaticityUv
{
    double u = 0, v = 0;
};

namespace ColourSpaces {
// Defined for X + Y + Z > 0.
ChromaticityXy xyOf(const Tristimulus &t);
ChromaticityUv uv1960Of(const ChromaticityXy &c);
ChromaticityXy xyOf(const ChromaticityUv &uv1960);
// u' = u, v' = 1.5 v.
ChromaticityUv uvPrimeOf(const ChromaticityXy &c);
} // namespace ColourSpaces
