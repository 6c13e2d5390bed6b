// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourSpaces.h"

namespace ColourSpaces {

ChromaticityXy xyOf(const Tristimulus &t)
{
    const double sum = t.X + t.Y + t.Z;
    return {t.X / sum, t.Y / sum};
}

ChromaticityUv uv1960Of(const ChromaticityXy &c)
{
    const double d = -2 * c.x + 12 * c.y + 3;
    return {4 * c.x / d, 6 * c.y / d};
}

ChromaticityXy xyOf(const ChromaticityUv &uv1960)
{
    const double d = 2 * uv1960.u - 8 * uv1960.v + 4;
    return {3 * uv1960.u / d, 2 * uv1960.v / d};
}

ChromaticityUv uvPrimeOf(const ChromaticityXy &c)
{
    const double d = -2 * c.x + 12 * c.y + 3;
    return {4 * c.x / d, 9 * c.y / d};
}

} // namespace ColourSpaces
