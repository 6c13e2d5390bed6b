// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixedNotation.h"

#include <cmath>
#include <iterator>

namespace FixedNotation {

namespace {

constexpr double powers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
// Below 1e9 the product with a power of ten is off the exact one by less than 1e-7 of a unit,
// so only a fraction this near one half can round otherwise than the exact value does.
constexpr double largestScaled = 1e9;
constexpr double nearHalf = 1e-6;

} // namespace

QString text(double value, int decimals)
{
    if (decimals < 0 || decimals >= int(std::size(powers)) || !std::isfinite(value))
        return QString::number(value, 'f', decimals);
    const double scaled = std::fabs(value) * powers[decimals];
    const double whole = std::floor(scaled);
    const double fraction = scaled - whole;
    if (scaled >= largestScaled || std::fabs(fraction - 0.5) < nearHalf)
        return QString::number(value, 'f', decimals);
    auto digits = static_cast<unsigned long long>(whole) + (fraction > 0.5 ? 1 : 0);
    // Qt writes a negative value that rounds to zero with its sign ("-0.00"); left to it.
    if (digits == 0 && std::signbit(value))
        return QString::number(value, 'f', decimals);

    // From the last digit backwards: the decimals, the point, then at least one whole digit.
    char16_t buffer[24];
    char16_t *end = std::end(buffer);
    char16_t *first = end;
    for (int k = 0; k < decimals; ++k) {
        *--first = char16_t(u'0' + digits % 10);
        digits /= 10;
    }
    if (decimals > 0)
        *--first = u'.';
    do {
        *--first = char16_t(u'0' + digits % 10);
        digits /= 10;
    } while (digits != 0);
    if (value < 0)
        *--first = u'-';
    return QString(reinterpret_cast<const QChar *>(first), qsizetype(end - first));
}

} // namespace FixedNotation
