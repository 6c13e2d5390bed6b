// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourFigures.h"

#include "FixedNotation.h"
#include "TextCatalogue.h"

#include <cmath>

namespace {

// One entry per figure, in Figure order.
struct FigureFacts
{
    Text title;
    int decimals;
    bool needsCct;   // CCT and Duv mean something only near the Planckian locus
    const char *key; // the name in documents for scripts, the same in every language
    const char *unit;
};

const FigureFacts facts[] = {
    {Text::ColourX, 4, false, "x", ""},
    {Text::ColourY, 4, false, "y", ""},
    {Text::ColourUPrime, 4, false, "u_prime", ""},
    {Text::ColourVPrime, 4, false, "v_prime", ""},
    {Text::ColourCct, 0, true, "cct", "K"},
    {Text::ColourDuv, 4, true, "duv", ""},
    {Text::PeakWavelength, 0, false, "peak_wavelength", "nm"},
    {Text::DominantWavelength, 1, false, "dominant_wavelength", "nm"},
    {Text::ColourPurity, 1, false, "purity", "%"},
};

static_assert(sizeof facts / sizeof facts[0] == size_t(ColourFigures::Count), "one entry per figure");

} // namespace

double ColourFigures::value(const ColourMetrics &metrics, Figure figure)
{
    switch (figure) {
    case ColourFigures::X:
        return metrics.xy.x;
    case ColourFigures::Y:
        return metrics.xy.y;
    case ColourFigures::UPrime:
        return metrics.uvPrime.u;
    case ColourFigures::VPrime:
        return metrics.uvPrime.v;
    case ColourFigures::Cct:
        return metrics.cct;
    case ColourFigures::Duv:
        return metrics.duv;
    case ColourFigures::Peak:
        return metrics.peakWavelength;
    case ColourFigures::Dominant:
        // The sign is what tells a complementary wavelength from a dominant one in the cell.
        return metrics.complementary ? -std::abs(metrics.dominantWavelength) : metrics.dominantWavelength;
    case ColourFigures::Purity:
        return 100 * metrics.purity;
    }
    return 0;
}

QString ColourFigures::title(Figure figure, bool chinese)
{
    return TextCatalogue::text(facts[figure].title, chinese);
}

QString ColourFigures::key(Figure figure)
{
    return QString::fromLatin1(facts[figure].key);
}

QString ColourFigures::unit(Figure figure)
{
    return QString::fromUtf8(facts[figure].unit);
}

int ColourFigures::decimals(Figure figure)
{
    return facts[figure].decimals;
}

bool ColourFigures::has(const ColourMetrics &metrics, Figure figure)
{
    if (!metrics.valid || (facts[figure].needsCct && !metrics.hasCct))
        return false;
    return std::isfinite(value(metrics, figure));
}

QString ColourFigures::text(const ColourMetrics &metrics, Figure figure, bool chinese)
{
    if (!has(metrics, figure))
        return TextCatalogue::text(Text::InvalidValue, chinese);
    return fixed(value(metrics, figure), facts[figure].decimals);
}

QString ColourFigures::fixed(double value, int decimals)
{
    // Fixed notation does not follow the locale: always '.', never a group separator.
    QString text = FixedNotation::text(value, decimals);
    if (text.startsWith(QLatin1Char('-'))) {
        bool zero = true;
        for (qsizetype i = 1; i < text.size() && zero; ++i)
            zero = text.at(i) == QLatin1Char('0') || text.at(i) == QLatin1Char('.');
        if (zero)
            text.remove(0, 1);
    }
    return text;
}
