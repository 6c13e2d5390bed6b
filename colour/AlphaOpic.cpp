// SPDX-License-Identifier: GPL-3.0-or-later
#include "AlphaOpic.h"

#include "AlphaOpicTable.h"
#include "CieObserver.h"

#include <cmath>

static_assert(alphaOpicRows == MeterFacts::SpectralValueCount, "one row per wavelength of the meter");
static_assert(alphaOpicColumns == AlphaOpic::ReceptorCount, "one column per receptor");

double AlphaOpic::d65Efficacy(Receptor receptor)
{
    // CIE S 026:2018, Table 3: S-cone-opic, M-cone-opic, L-cone-opic, rhodopic, melanopic.
    static constexpr double d65[ReceptorCount] = {0.8173, 1.4558, 1.6289, 1.4497, 1.3262};
    return d65[receptor];
}

AlphaOpicMetrics AlphaOpic::compute(const Values &values)
{
    AlphaOpicMetrics metrics;
    // The 10 nm step is common to every sum and cancels in the ratios.
    double luminous = 0;
    std::array<double, ReceptorCount> weighted{};
    for (int i = 0; i < MeterFacts::SpectralValueCount; ++i) {
        const double value = values[size_t(i)];
        if (!std::isfinite(value) || value < 0)
            return metrics;
        luminous += value * CieObserver::at(MeterFacts::FirstWavelength + i * MeterFacts::WavelengthStep).Y;
        for (int r = 0; r < ReceptorCount; ++r)
            weighted[size_t(r)] += value * alphaOpicTable[i][r];
    }
    if (!(luminous > 0))
        return metrics;
    for (int r = 0; r < ReceptorCount; ++r) {
        const double efficacy = 1000 * weighted[size_t(r)] / (Km * luminous);
        if (!std::isfinite(efficacy))
            return metrics;
        metrics.efficacy[size_t(r)] = efficacy;
        metrics.der[size_t(r)] = efficacy / d65Efficacy(Receptor(r));
    }
    metrics.valid = true;
    return metrics;
}
