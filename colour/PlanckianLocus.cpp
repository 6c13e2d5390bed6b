// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlanckianLocus.h"

#include "CieObserverTable.h"

#include <algorithm>
#include <array>
#include <cmath>

// CCT and Duv are found as in Ohno's method (Y. Ohno, "Practical use and calculation of CCT and
// Duv", LEUKOS 10:1, 2014): the nearest point of the Planckian locus to the chromaticity, in the
// CIE 1960 UCS, searched in a table of locus points computed once. Where Ohno narrows the table in
// a cascade and then fits a triangle or a parabola to the distances, this solves for the nearest
// point directly on the table's cubic Hermite interpolant (the table holds the exact locus slope
// at each point too): a bracketed Newton iteration on d/dm |L(m) - p|^2 = 0 between the nearest
// table point's neighbours. The table is uniform in mired (m = 10^6 / T) with 5 mired steps, where
// the interpolant stays within 2e-10 of the locus in uv and its slope within 4e-7 rad, so CCT is
// within 0.03 K of the exact nearest point up to 25,000 K (and much closer below), Duv within 1e-8.
namespace {

constexpr double c2 = 1.4388e-2; // m·K
constexpr double miredStep = 5;
constexpr double firstMired = 30;  // 33,333 K: the table reaches past both ends of the valid range
constexpr double lastMired = 1050; // 952 K
constexpr int nodeCount = int((lastMired - firstMired) / miredStep) + 1;

struct LocusAndSlope
{
    double u, v;   // the locus point
    double du, dv; // d/dT
};

// The locus at T from Planck's law summed over the whole observer at 1 nm. The spectrum is scaled
// by exp(c2 / (830 nm · T)) so that neither very low nor very high temperatures overflow or vanish;
// chromaticity does not depend on the scale, nor does its derivative (a scale varying with T adds
// a multiple of X, Y, Z to their derivatives, which moves no chromaticity).
LocusAndSlope planck(double kelvin)
{
    const double xLongest = c2 / (830e-9 * kelvin);
    double X = 0, Y = 0, Z = 0, dX = 0, dY = 0, dZ = 0;
    for (int i = 0; i < cieObserverRows; ++i) {
        const double lambda = (360 + i) * 1e-9;
        const double x = c2 / (lambda * kelvin);
        const double oneMinusExp = -std::expm1(-x);
        const double l2 = lambda * lambda;
        const double b = std::exp(xLongest - x) / (l2 * l2 * lambda * oneMinusExp);
        const double db = b * (x / kelvin) / oneMinusExp; // d/dT of the unscaled spectrum, scaled
        const double *cmf = cieObserverTable[i];
        X += b * cmf[0];
        Y += b * cmf[1];
        Z += b * cmf[2];
        dX += db * cmf[0];
        dY += db * cmf[1];
        dZ += db * cmf[2];
    }
    const double d = X + 15 * Y + 3 * Z;
    const double dd = dX + 15 * dY + 3 * dZ;
    return {4 * X / d, 6 * Y / d, 4 * (dX * d - X * dd) / (d * d), 6 * (dY * d - Y * dd) / (d * d)};
}

bool usableKelvin(double kelvin)
{
    return std::isfinite(kelvin) && kelvin > 0;
}

struct Node
{
    double u, v;   // the locus point at firstMired + k · miredStep
    double du, dv; // d/d(mired) there
};

const std::array<Node, nodeCount> &locusTable()
{
    static const std::array<Node, nodeCount> table = [] {
        std::array<Node, nodeCount> nodes{};
        for (int k = 0; k < nodeCount; ++k) {
            const double mired = firstMired + k * miredStep;
            const double kelvin = 1e6 / mired;
            const LocusAndSlope l = planck(kelvin);
            const double dTdm = -kelvin * kelvin / 1e6;
            nodes[size_t(k)] = {l.u, l.v, l.du * dTdm, l.dv * dTdm};
        }
        return nodes;
    }();
    return table;
}

// The cubic Hermite interpolant between nodes k and k + 1 at mired m: the point and its first and
// second derivatives with respect to m.
struct Interpolated
{
    double u, v, du, dv, d2u, d2v;
};

Interpolated interpolate(const std::array<Node, nodeCount> &nodes, int k, double mired)
{
    const Node &a = nodes[size_t(k)];
    const Node &b = nodes[size_t(k + 1)];
    const double h = miredStep;
    const double t = (mired - (firstMired + k * miredStep)) / h;
    const double t2 = t * t, t3 = t2 * t;
    const double h00 = 2 * t3 - 3 * t2 + 1, h10 = t3 - 2 * t2 + t, h01 = 3 * t2 - 2 * t3, h11 = t3 - t2;
    const double g00 = (6 * t2 - 6 * t) / h, g10 = 3 * t2 - 4 * t + 1, g01 = -g00, g11 = 3 * t2 - 2 * t;
    const double s00 = (12 * t - 6) / (h * h), s10 = (6 * t - 4) / h, s01 = -s00, s11 = (6 * t - 2) / h;
    auto mix = [&](double p0, double m0, double p1, double m1, double w00, double w10, double w01, double w11) {
        return w00 * p0 + w10 * h * m0 + w01 * p1 + w11 * h * m1;
    };
    return {
        mix(a.u, a.du, b.u, b.du, h00, h10, h01, h11),         mix(a.v, a.dv, b.v, b.dv, h00, h10, h01, h11),
        mix(a.u, a.du, b.u, b.du, g00, g10 / h, g01, g11 / h), mix(a.v, a.dv, b.v, b.dv, g00, g10 / h, g01, g11 / h),
        mix(a.u, a.du, b.u, b.du, s00, s10 / h, s01, s11 / h), mix(a.v, a.dv, b.v, b.dv, s00, s10 / h, s01, s11 / h)};
}

} // namespace

ChromaticityUv PlanckianLocus::at(double kelvin)
{
    if (!usableKelvin(kelvin))
        return {};
    const LocusAndSlope l = planck(kelvin);
    return {l.u, l.v};
}

ChromaticityUv PlanckianLocus::offset(double kelvin, double duv)
{
    if (!usableKelvin(kelvin))
        return {};
    const LocusAndSlope l = planck(kelvin);
    // The locus runs towards higher u as T falls; its normal turned +90° from that direction
    // points above the locus.
    const double length = std::hypot(l.du, l.dv);
    return {l.u + duv * (l.dv / length), l.v + duv * (-l.du / length)};
}

PlanckianLocus::CctDuv PlanckianLocus::cctDuv(const ChromaticityUv &uv1960)
{
    if (!std::isfinite(uv1960.u) || !std::isfinite(uv1960.v))
        return {};
    const std::array<Node, nodeCount> &nodes = locusTable();
    int nearest = 0;
    double best = HUGE_VAL;
    for (int k = 0; k < nodeCount; ++k) {
        const double du = nodes[size_t(k)].u - uv1960.u, dv = nodes[size_t(k)].v - uv1960.v;
        const double d2 = du * du + dv * dv;
        if (d2 < best) {
            best = d2;
            nearest = k;
        }
    }
    // The table reaches two steps past each end of the valid range: a nearest point at its end
    // lies outside that range.
    if (nearest == 0 || nearest == nodeCount - 1)
        return {};

    // g(m) = (L(m) - p) · L'(m) is negative before the nearest point and positive after it.
    double lo = firstMired + (nearest - 1) * miredStep;
    double hi = firstMired + (nearest + 1) * miredStep;
    double mired = firstMired + nearest * miredStep;
    Interpolated l{};
    for (int iteration = 0; iteration < 50; ++iteration) {
        const int k = std::min(int((mired - firstMired) / miredStep), nodeCount - 2);
        l = interpolate(nodes, k, mired);
        const double eu = l.u - uv1960.u, ev = l.v - uv1960.v;
        const double g = eu * l.du + ev * l.dv;
        const double slope = l.du * l.du + l.dv * l.dv + eu * l.d2u + ev * l.d2v;
        if (g < 0)
            lo = mired;
        else
            hi = mired;
        double next = slope > 0 ? mired - g / slope : lo;
        if (!(next > lo && next < hi))
            next = (lo + hi) / 2;
        const bool done = std::abs(next - mired) < 1e-10;
        mired = next;
        if (done)
            break;
    }
    const int k = std::min(int((mired - firstMired) / miredStep), nodeCount - 2);
    l = interpolate(nodes, k, mired);
    const double eu = uv1960.u - l.u, ev = uv1960.v - l.v;
    // Above the locus: to the left of its direction of rising mired.
    const double cross = l.du * ev - l.dv * eu;
    CctDuv result;
    result.kelvin = 1e6 / mired;
    result.duv = std::copysign(std::hypot(eu, ev), cross);
    // The ends of the range count as inside it whatever the last bit of the search.
    result.valid = result.kelvin >= minimumKelvin * (1 - 1e-9) && result.kelvin <= maximumKelvin * (1 + 1e-9)
                   && std::abs(result.duv) < duvLimit;
    return result;
}
