// SPDX-License-Identifier: GPL-3.0-or-later
// Computes the colour metrics (XYZ, xy, u'v', CCT and Duv, peak, dominant wavelength and purity)
// and the α-opic figures (the melanopic columns and the export's other ratios) of 10,000 records and compares the time with the time the USB link needs to deliver those
// records (3.16 ms each): the colour table must cost next to nothing beside a download. The
// spectra are varied and realistic: blackbodies from 1,500 K to 12,000 K, phosphor-white LEDs,
// RGB LEDs and single-colour LEDs, scaled over six decades. The first call, which builds the
// locus tables, is timed on its own; the machine is shared, so the best of three runs counts.
//
// Run a Release build: colour_bench. The lines "first call: N us" and "colour ratio: X".

#include "AlphaOpic.h"
#include "SpectrumColour.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <vector>

namespace {

constexpr int records = 10000;
constexpr double linkMsPerRecord = 3.16;
constexpr int runs = 3;

double band(double nm, double centre, double width)
{
    const double t = (nm - centre) / width;
    return std::exp(-t * t / 2);
}

std::vector<SpectrumColour::Values> spectra()
{
    std::mt19937 random(20240517);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<SpectrumColour::Values> all(records);
    for (int r = 0; r < records; ++r) {
        const double scale = std::pow(10.0, 6 * unit(random) - 3);
        const double kelvin = 1500 + 10500 * unit(random);
        const double blue = 440 + 20 * unit(random), phosphor = 540 + 70 * unit(random);
        const double green = 515 + 15 * unit(random), red = 615 + 20 * unit(random), single = 400 + 300 * unit(random);
        const double mix = 0.5 + 3 * unit(random);
        for (int i = 0; i < MeterFacts::SpectralValueCount; ++i) {
            const double nm = MeterFacts::FirstWavelength + i * MeterFacts::WavelengthStep;
            double v = 0;
            switch (r % 4) {
            case 0:
                v = 1e-14 / (std::pow(nm, 5) * std::expm1(1.4388e7 / (nm * kelvin))) * 1e3;
                break;
            case 1:
                v = band(nm, blue, 9) + mix * band(nm, phosphor, 45);
                break;
            case 2:
                v = band(nm, blue, 10) + mix * band(nm, green, 14) + band(nm, red, 8);
                break;
            default:
                v = band(nm, single, 10);
                break;
            }
            all[size_t(r)][size_t(i)] = float(scale * v * (1 + 0.01 * unit(random)));
        }
    }
    return all;
}

} // namespace

int main()
{
    const std::vector<SpectrumColour::Values> all = spectra();

    QElapsedTimer timer;
    timer.start();
    ColourMetrics first = SpectrumColour::compute(all.front());
    std::printf("first call: %.0f us\n", timer.nsecsElapsed() / 1e3);

    double best = std::numeric_limits<double>::max();
    int withCct = 0;
    for (int run = 0; run < runs; ++run) {
        std::vector<ColourMetrics> metrics(all.size());
        std::vector<AlphaOpicMetrics> opics(all.size());
        timer.start();
        for (size_t r = 0; r < all.size(); ++r) {
            metrics[r] = SpectrumColour::compute(all[r]);
            opics[r] = AlphaOpic::compute(all[r]);
        }
        const double ms = timer.nsecsElapsed() / 1e6;
        withCct = int(std::count_if(metrics.begin(), metrics.end(), [](const ColourMetrics &m) { return m.hasCct; }));
        std::printf("compute %d records: %.2f ms\n", records, ms);
        best = std::min(best, ms);
    }
    std::printf("records with a CCT: %d of %d (first: %.0f K)\n", withCct, records, first.cct);
    std::printf("colour ratio: %.5f\n", best / (records * linkMsPerRecord));
    return 0;
}
