// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterFacts.h"

#include <array>

// What a record's spectrum does to the five photoreceptors of the eye (CIE S 026:2018), from its 31
// values at 400 nm to 700 nm: for each, the α-opic efficacy of luminous radiation
//   K_α,v = Σ S·s_α / (Km · Σ S·V)   (in mW/lm, V = ȳ of the CIE 1931 observer)
// and the daylight efficacy ratio DER = K_α,v / K_α,v(D65). The meter measures only 400 nm to 700
// nm, so these are the figures of that part of the spectrum; the functions are small outside it.
struct AlphaOpicMetrics
{
    bool valid = false; // false: all values zero, one negative, NaN or infinite, or no luminous part
    std::array<double, 5> efficacy{}; // mW/lm, in AlphaOpic::Receptor order
    std::array<double, 5> der{};      // daylight (D65) efficacy ratios
};

class AlphaOpic
{
public:
    using Values = std::array<float, MeterFacts::SpectralValueCount>;

    enum Receptor {
        SCone,
        MCone,
        LCone,
        Rhodopic,
        Melanopic
    };
    static constexpr int ReceptorCount = Melanopic + 1;

    // The maximum luminous efficacy of photopic vision, lm/W.
    static constexpr double Km = 683.002;

    // K_α,v of CIE standard illuminant D65 as CIE S 026:2018 gives it (380 nm to 780 nm, 1 nm), in
    // mW/lm: the reference of the daylight efficacy ratios.
    static double d65Efficacy(Receptor receptor);

    static AlphaOpicMetrics compute(const Values &values);
};
