// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectrumColour.h"

#include "CieObserver.h"
#include "PlanckianLocus.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double whiteX = 1.0 / 3, whiteY = 1.0 / 3; // the equal-energy white point E

// x̄, ȳ, z̄ at the record's 31 wavelengths, times the 10 nm step: X, Y, Z are then the rectangle
// rule's estimate of the integrals of the spectrum times x̄, ȳ, z̄ (683 lm/W · Y is the illuminance
// in lux of the 400 nm to 700 nm part when the values are spectral irradiance in W/(m²·nm)).
struct Weights
{
    double x[MeterFacts::SpectralValueCount], y[MeterFacts::SpectralValueCount], z[MeterFacts::SpectralValueCount];
};

const Weights &weights()
{
    static const Weights table = [] {
        Weights w{};
        for (int i = 0; i < MeterFacts::SpectralValueCount; ++i) {
            const Tristimulus cmf = CieObserver::at(MeterFacts::FirstWavelength + i * MeterFacts::WavelengthStep);
            w.x[i] = cmf.X * MeterFacts::WavelengthStep;
            w.y[i] = cmf.Y * MeterFacts::WavelengthStep;
            w.z[i] = cmf.Z * MeterFacts::WavelengthStep;
        }
        return w;
    }();
    return table;
}

// The angle of the direction (dx, dy) from E, turning clockwise from the direction of `zero`, in
// [0, 2π): along the spectral locus it grows with the wavelength.
double clockwiseAngle(double dx, double dy, double zero)
{
    double a = zero - std::atan2(dy, dx);
    while (a < 0)
        a += 2 * pi;
    while (a >= 2 * pi)
        a -= 2 * pi;
    return a;
}

// The spectral locus for the dominant wavelength: 360 nm to 700 nm at 1 nm. From 699 nm to 830 nm
// the table's chromaticity is one point (x̄ : ȳ : z̄ is constant there to the table's seven
// figures, so its last digits only make the curve jitter about that point): 700 nm stands for all
// of it, and the purple line joins 360 nm to 700 nm. Points are kept only where the angle seen from
// E strictly grows, walking down from 700 nm (which drops 699 nm), so each direction between the
// ends meets the locus once.
struct SpectralLocus
{
    struct Point
    {
        double wavelength, x, y, angle;
    };
    std::vector<Point> points; // by wavelength, the angle rising from 0 at 360 nm
    double zero = 0;           // the direction of the 360 nm point from E
};

const SpectralLocus &spectralLocus()
{
    static const SpectralLocus locus = [] {
        SpectralLocus l;
        const ChromaticityXy blue = CieObserver::spectralLocus(CieObserver::firstWavelength);
        l.zero = std::atan2(blue.y - whiteY, blue.x - whiteX);
        std::vector<SpectralLocus::Point> downwards;
        for (int nm = 700; nm >= CieObserver::firstWavelength; --nm) {
            const ChromaticityXy c = CieObserver::spectralLocus(nm);
            double angle = clockwiseAngle(c.x - whiteX, c.y - whiteY, l.zero);
            if (nm == CieObserver::firstWavelength)
                angle = 0;
            if (downwards.empty() || angle < downwards.back().angle)
                downwards.push_back({double(nm), c.x, c.y, angle});
        }
        l.points.assign(downwards.rbegin(), downwards.rend());
        return l;
    }();
    return locus;
}

// Where the ray from E along (dx, dy) crosses the segment a-b: the fraction along a-b and the
// distance along the ray in units of (dx, dy).
struct Crossing
{
    double along = 0, ray = 0;
};

Crossing cross(double dx, double dy, double ax, double ay, double bx, double by)
{
    // E + ray·d = a + along·(b - a)
    const double ex = bx - ax, ey = by - ay;
    const double fx = ax - whiteX, fy = ay - whiteY;
    const double det = ex * dy - ey * dx;
    if (det == 0)
        return {0, 0};
    return {(dx * fy - dy * fx) / det, (ex * fy - ey * fx) / det};
}

// The dominant wavelength of the direction (dx, dy) from E, whose angle lies within the locus,
// and how far along that direction the locus is.
struct LocusHit
{
    double wavelength = 0, ray = 0;
};

LocusHit hitLocus(const SpectralLocus &locus, double dx, double dy, double angle)
{
    const std::vector<SpectralLocus::Point> &p = locus.points;
    size_t lo = 0, hi = p.size() - 1; // p[lo].angle <= angle <= p[hi].angle
    while (hi - lo > 1) {
        const size_t mid = (lo + hi) / 2;
        (p[mid].angle <= angle ? lo : hi) = mid;
    }
    const Crossing c = cross(dx, dy, p[lo].x, p[lo].y, p[hi].x, p[hi].y);
    const double along = std::min(1.0, std::max(0.0, c.along));
    return {p[lo].wavelength + along * (p[hi].wavelength - p[lo].wavelength), c.ray};
}

void dominantWavelength(const ChromaticityXy &xy, ColourMetrics &m)
{
    const double dx = xy.x - whiteX, dy = xy.y - whiteY;
    if (std::hypot(dx, dy) < 1e-12)
        return; // at E: no direction, so dominant wavelength 0 and purity 0
    const SpectralLocus &locus = spectralLocus();
    const SpectralLocus::Point &blue = locus.points.front(), &red = locus.points.back();
    // A sample in the direction of an end of the locus (a line at 700 nm) may come out a rounding
    // error past it, where the purple sector begins.
    constexpr double rounding = 1e-12;
    double angle = clockwiseAngle(dx, dy, locus.zero);
    if (angle > 2 * pi - rounding)
        angle = 0;
    double ray = 0; // the locus or purple line lies at E + ray · (dx, dy)
    if (angle <= red.angle + rounding) {
        const LocusHit hit = hitLocus(locus, dx, dy, std::min(angle, red.angle));
        m.dominantWavelength = hit.wavelength;
        ray = hit.ray;
    } else {
        ray = cross(dx, dy, red.x, red.y, blue.x, blue.y).ray;
        const double opposite = angle - pi; // within the locus: the purple sector spans less than π
        m.dominantWavelength = -hitLocus(locus, -dx, -dy, opposite).wavelength;
        m.complementary = true;
    }
    m.purity = ray > 0 ? std::min(1.0, 1 / ray) : 0;
}

} // namespace

ColourMetrics SpectrumColour::compute(const Values &values)
{
    ColourMetrics m;
    bool any = false;
    for (const float v : values) {
        if (!std::isfinite(v) || v < 0)
            return m;
        any = any || v > 0;
    }
    if (!any)
        return m;

    const Weights &w = weights();
    double X = 0, Y = 0, Z = 0;
    int peak = 0;
    for (int i = 0; i < MeterFacts::SpectralValueCount; ++i) {
        const double v = values[size_t(i)];
        X += v * w.x[i];
        Y += v * w.y[i];
        Z += v * w.z[i];
        if (values[size_t(i)] > values[size_t(peak)])
            peak = i;
    }
    m.valid = true;
    m.tristimulus = {X, Y, Z};
    m.xy = ColourSpaces::xyOf(m.tristimulus);
    m.uvPrime = ColourSpaces::uvPrimeOf(m.xy);
    m.peakWavelength = MeterFacts::FirstWavelength + peak * MeterFacts::WavelengthStep;

    const PlanckianLocus::CctDuv cct = PlanckianLocus::cctDuv(ColourSpaces::uv1960Of(m.xy));
    if (cct.valid) {
        m.hasCct = true;
        m.cct = cct.kelvin;
        m.duv = cct.duv;
    }
    dominantWavelength(m.xy, m);
    return m;
}
