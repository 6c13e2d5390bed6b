// SPDX-License-Identifier: GPL-3.0-or-later
#include "CieObserver.h"
#include "PlanckianLocus.h"
#include "SpectrumColour.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

// Every expected figure is computed here from the definitions, not by the code under test: the
// tristimulus sums, Planck's law and a fine direct search for the nearest locus point.
namespace {

using Values = SpectrumColour::Values;

// A record of f(λ) at 400, 410, ... 700 nm.
template <typename F>
Values sampled(F f)
{
    Values v{};
    for (int i = 0; i < 31; ++i)
        v[size_t(i)] = float(f(400.0 + 10 * i));
    return v;
}
Values planck(double kelvin)
{
    return sampled([kelvin](double l) { return 1e-14 / (std::pow(l, 5) * std::expm1(1.4388e7 / (l * kelvin))); });
}

// A record that is zero but at the given points.
Values spikes(std::initializer_list<std::pair<int, float>> points)
{
    Values v{};
    for (const auto &[index, value] : points)
        v[size_t(index)] = value;
    return v;
}

// x, y of the spectrum weight(λ) over first..last nm.
template <typename Weight>
ChromaticityXy chromaticity(int first, int last, int step, Weight weight)
{
    double s[3] = {};
    for (int l = first; l <= last; l += step) {
        const Tristimulus cmf = CieObserver::at(l);
        s[0] += weight(l) * cmf.X, s[1] += weight(l) * cmf.Y, s[2] += weight(l) * cmf.Z;
    }
    return {s[0] / (s[0] + s[1] + s[2]), s[1] / (s[0] + s[1] + s[2])};
}
ChromaticityUv uvOf(ChromaticityXy c)
{
    return {4 * c.x / (-2 * c.x + 12 * c.y + 3), 6 * c.y / (-2 * c.x + 12 * c.y + 3)};
}

// The Planckian locus at `mired` with the full observer at 1 nm.
ChromaticityUv locus(double mired)
{
    return uvOf(chromaticity(360, 830, 1,
                             [mired](int l) { return 1 / (std::pow(l / 1e3, 5) * std::expm1(14.388 * mired / l)); }));
}

// The nearest locus point (kelvin, duv) between 909 K and 50,000 K: a 5 mired scan, then golden sections.
std::pair<double, double> nearest(ChromaticityUv p)
{
    auto distance = [p](double m) { return std::hypot(locus(m).u - p.u, locus(m).v - p.v); };
    double best = 20;
    for (double m = 20; m <= 1100; m += 5)
        best = distance(m) < distance(best) ? m : best;
    double a = best - 5, b = best + 5;
    while (b - a > 1e-9) {
        const double c = b - 0.618034 * (b - a), d = a + 0.618034 * (b - a);
        (distance(c) < distance(d) ? b : a) = distance(c) < distance(d) ? d : c;
    }
    const double m = (a + b) / 2;
    return {1e6 / m, std::copysign(distance(m), p.v - locus(m).v)};
}

} // namespace

class TestColour : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void observerAndLocus()
    {
        // The table's column sums are 106.86547, 106.85692 and 106.89225: E has these x, y.
        const ChromaticityXy e = chromaticity(360, 830, 1, [](int) { return 1.0; });
        QVERIFY(std::abs(e.x - 106.86547 / 320.61464) < 1e-7 && std::abs(e.y - 106.85692 / 320.61464) < 1e-7);
        for (const double kelvin : {1000.0, 6504.0, 25000.0}) {
            const ChromaticityUv exact = locus(1e6 / kelvin), got = PlanckianLocus::at(kelvin);
            QVERIFY(std::hypot(exact.u - got.u, exact.v - got.v) < 1e-9);
        }
    }

    void spectra_data()
    {
        QTest::addColumn<Values>("values");
        QTest::addColumn<bool>("purple");
        for (const double kelvin : {1200.0, 2000.0, 3000.0, 4500.0, 6500.0, 10000.0, 20000.0, 40000.0})
            QTest::addRow("Planck %.0f K", kelvin) << planck(kelvin) << false;
        QTest::addRow("illuminant A") << sampled([](double l) {
            return 100 * std::pow(560 / l, 5) * std::expm1(1.435e7 / (2848 * 560)) / std::expm1(1.435e7 / (2848 * l));
        }) << false;
        QTest::addRow("white LED") << sampled([](double l) {
            return std::exp(-std::pow((l - 450) / 12, 2)) + 2.5 * std::exp(-std::pow((l - 580) / 60, 2));
        }) << false;
        // CIE standard illuminant D65, relative SPD at 400 nm to 700 nm (CIE 15:2004 Colorimetry, Table T.1).
        QTest::addRow("D65") << Values{82.7549f, 91.486f,  93.4318f, 86.6823f, 104.865f, 117.008f, 117.812f, 114.861f,
                                       115.923f, 108.811f, 109.354f, 107.802f, 104.79f,  107.689f, 104.405f, 104.046f,
                                       100.0f,   96.3342f, 95.788f,  88.6856f, 90.0062f, 89.5991f, 87.6987f, 83.2886f,
                                       83.6992f, 80.0268f, 80.2146f, 82.2778f, 78.2842f, 69.7213f, 71.6091f}
                             << false;
        for (int i = 0; i < 31; ++i)
            QTest::addRow("line %d nm", 400 + 10 * i) << spikes({{i, 1}}) << false;
        QTest::addRow("purple 400+700") << spikes({{0, 1}, {30, 4}}) << true;
        QTest::addRow("purple 440+640") << spikes({{4, 1}, {24, 1}}) << true;
    }

    void spectra()
    {
        QFETCH(Values, values);
        QFETCH(bool, purple);
        const ColourMetrics m = SpectrumColour::compute(values);
        const ChromaticityXy xy = chromaticity(400, 700, 10, [&](int l) { return values[size_t(l - 400) / 10]; });
        const ChromaticityUv uv = uvOf(xy);
        QVERIFY(m.valid && std::abs(m.xy.x - xy.x) < 1e-4 && std::abs(m.xy.y - xy.y) < 1e-4);
        QVERIFY(std::abs(m.uvPrime.u - uv.u) < 1e-4 && std::abs(m.uvPrime.v - 1.5 * uv.v) < 1e-4);

        const auto [kelvin, duv] = nearest(uv);
        QCOMPARE(m.hasCct, kelvin >= 1000 && kelvin <= 25000 && std::abs(duv) < 0.05);
        if (m.hasCct)
            QVERIFY(std::abs(m.cct - kelvin) < 2 && std::abs(m.duv - duv) < 2e-4);

        // E + (sample - E) / purity is the dominant wavelength's locus point; for a purple, a point
        // of the purple line, with E between it and the complementary wavelength's point.
        QVERIFY(m.complementary == purple && (m.dominantWavelength < 0) == purple && m.purity > 0 && m.purity <= 1);
        const double l = std::abs(m.dominantWavelength), dx = (xy.x - 1.0 / 3) / m.purity,
                     dy = (xy.y - 1.0 / 3) / m.purity;
        const ChromaticityXy p0 = CieObserver::spectralLocus(int(l)), p1 = CieObserver::spectralLocus(int(l) + 1);
        const double px = p0.x + (l - int(l)) * (p1.x - p0.x) - 1.0 / 3,
                     py = p0.y + (l - int(l)) * (p1.y - p0.y) - 1.0 / 3;
        const ChromaticityXy b = CieObserver::spectralLocus(360), r = CieObserver::spectralLocus(700);
        if (purple)
            QVERIFY(std::abs((dx + 1.0 / 3 - b.x) * (r.y - b.y) - (dy + 1.0 / 3 - b.y) * (r.x - b.x)) < 1e-9
                    && std::abs(dx * py - dy * px) < 1e-9 && dx * px + dy * py < 0 && l >= 360 && l <= 700);
        else
            QVERIFY(std::hypot(dx - px, dy - py) < 1e-6);
        if (std::count(values.begin(), values.end(), 0.0f) == 30)
            QCOMPARE(m.dominantWavelength, double(m.peakWavelength));
    }

    void invalid_data()
    {
        QTest::addColumn<Values>("values");
        const float inf = std::numeric_limits<float>::infinity();
        QTest::newRow("all zero") << Values{};
        for (const float bad : {-1e-6f, std::numeric_limits<float>::quiet_NaN(), inf, -inf})
            QTest::addRow("%g among others", double(bad)) << spikes({{3, 1}, {7, bad}, {20, 2}});
    }

    void invalid()
    {
        QFETCH(Values, values);
        QVERIFY(!SpectrumColour::compute(values).valid);
    }

    void peakTies()
    {
        QCOMPARE(SpectrumColour::compute(spikes({{3, 1}, {5, 2}, {20, 2}, {30, 2}})).peakWavelength, 450);
        QCOMPARE(SpectrumColour::compute(sampled([](double) { return 0.5; })).peakWavelength, 400);
    }
};

QTEST_GUILESS_MAIN(TestColour)
#include "tst_colour.moc"
