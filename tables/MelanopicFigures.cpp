// SPDX-License-Identifier: GPL-3.0-or-later
#include "MelanopicFigures.h"

#include "ColourFigures.h"
#include "SpectralRecord.h"
#include "TextCatalogue.h"

#include <cmath>

namespace {

struct FigureFacts
{
    Text title;
    int decimals;
    const char *key; // the name in documents for scripts, the same in every language
    const char *unit; // UTF-8
};

// In Figure order; the equivalent daylight figure is the illuminance one here.
const FigureFacts facts[] = {
    {Text::MelanopicEfficacy, 4, "melanopic_elr", "mW/lm"},
    {Text::MelanopicDer, 4, "melanopic_der", ""},
    {Text::MelanopicEdi, 1, "melanopic_edi", "lx"},
    {Text::SConeDer, 4, "s_cone_der", ""},
    {Text::MConeDer, 4, "m_cone_der", ""},
    {Text::LConeDer, 4, "l_cone_der", ""},
    {Text::RhodopicDer, 4, "rhodopic_der", ""},
};

static_assert(sizeof facts / sizeof facts[0] == size_t(MelanopicFigures::Count), "one entry per figure");

// The equivalent daylight figure of a luminance meter.
const FigureFacts luminanceDaylight = {Text::MelanopicEdl, 1, "melanopic_edl", "cd/m²"};

const FigureFacts &factsOf(MelanopicFigures::Figure figure, bool luminance)
{
    return figure == MelanopicFigures::EquivalentDaylight && luminance ? luminanceDaylight : facts[figure];
}

} // namespace

RecordOpic RecordOpic::of(const SpectralRecord &record)
{
    // A record the meter marked as too dim has only noise for a spectrum: no figure at all.
    if (record.tooDim)
        return {};
    return {AlphaOpic::compute(record.values), record.hasPhotometric, record.photometric};
}

QString MelanopicFigures::title(Figure figure, bool chinese, bool luminance)
{
    return TextCatalogue::text(factsOf(figure, luminance).title, chinese);
}

QString MelanopicFigures::key(Figure figure, bool luminance)
{
    return QString::fromLatin1(factsOf(figure, luminance).key);
}

QString MelanopicFigures::unit(Figure figure, bool luminance)
{
    return QString::fromUtf8(factsOf(figure, luminance).unit);
}

int MelanopicFigures::decimals(Figure figure)
{
    return facts[figure].decimals;
}

double MelanopicFigures::value(const RecordOpic &opic, Figure figure)
{
    const auto der = [&opic](AlphaOpic::Receptor receptor) { return opic.metrics.der[size_t(receptor)]; };
    switch (figure) {
    case Efficacy:
        return opic.metrics.efficacy[AlphaOpic::Melanopic];
    case Der:
        return der(AlphaOpic::Melanopic);
    case EquivalentDaylight:
        return der(AlphaOpic::Melanopic) * opic.photometric;
    case SConeDer:
        return der(AlphaOpic::SCone);
    case MConeDer:
        return der(AlphaOpic::MCone);
    case LConeDer:
        return der(AlphaOpic::LCone);
    case RhodopicDer:
        return der(AlphaOpic::Rhodopic);
    }
    return 0;
}

bool MelanopicFigures::has(const RecordOpic &opic, Figure figure)
{
    if (!opic.metrics.valid || (figure == EquivalentDaylight && !opic.hasPhotometric))
        return false;
    return std::isfinite(value(opic, figure));
}

QString MelanopicFigures::text(const RecordOpic &opic, Figure figure, bool chinese)
{
    if (!has(opic, figure))
        return TextCatalogue::text(Text::InvalidValue, chinese);
    return ColourFigures::fixed(value(opic, figure), decimals(figure));
}
