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
};

// In Figure order; the equivalent daylight figure's title is the illuminance one here.
const FigureFacts facts[] = {
    {Text::MelanopicEfficacy, 4}, {Text::MelanopicDer, 4}, {Text::MelanopicEdi, 1}, {Text::SConeDer, 4},
    {Text::MConeDer, 4},          {Text::LConeDer, 4},     {Text::RhodopicDer, 4},
};

static_assert(sizeof facts / sizeof facts[0] == size_t(MelanopicFigures::Count), "one entry per figure");

double valueOf(const RecordOpic &opic, MelanopicFigures::Figure figure)
{
    const auto der = [&opic](AlphaOpic::Receptor receptor) { return opic.metrics.der[size_t(receptor)]; };
    switch (figure) {
    case MelanopicFigures::Efficacy:
        return opic.metrics.efficacy[AlphaOpic::Melanopic];
    case MelanopicFigures::Der:
        return der(AlphaOpic::Melanopic);
    case MelanopicFigures::EquivalentDaylight:
        return der(AlphaOpic::Melanopic) * opic.photometric;
    case MelanopicFigures::SConeDer:
        return der(AlphaOpic::SCone);
    case MelanopicFigures::MConeDer:
        return der(AlphaOpic::MCone);
    case MelanopicFigures::LConeDer:
        return der(AlphaOpic::LCone);
    case MelanopicFigures::RhodopicDer:
        return der(AlphaOpic::Rhodopic);
    }
    return 0;
}

} // namespace

RecordOpic RecordOpic::of(const SpectralRecord &record)
{
    return {AlphaOpic::compute(record.values), record.hasPhotometric, record.photometric};
}

QString MelanopicFigures::title(Figure figure, bool chinese, bool luminance)
{
    if (figure == EquivalentDaylight && luminance)
        return TextCatalogue::text(Text::MelanopicEdl, chinese);
    return TextCatalogue::text(facts[figure].title, chinese);
}

bool MelanopicFigures::has(const RecordOpic &opic, Figure figure)
{
    if (!opic.metrics.valid || (figure == EquivalentDaylight && !opic.hasPhotometric))
        return false;
    return std::isfinite(valueOf(opic, figure));
}

QString MelanopicFigures::text(const RecordOpic &opic, Figure figure, bool chinese)
{
    if (!has(opic, figure))
        return TextCatalogue::text(Text::InvalidValue, chinese);
    return ColourFigures::fixed(valueOf(opic, figure), facts[figure].decimals);
}
