// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberText.h"

namespace {

// Powers of ten up to 10^15 are exact doubles.
constexpr double powersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

} // namespace

std::optional<NumberText> NumberText::read(const QString &text)
{
    const QChar *c = text.constData();
    const QChar *const end = c + text.size();
    const bool negative = c != end && *c == QLatin1Char('-');
    if (negative)
        ++c;
    const QChar *const firstDigit = c;
    qint64 mantissa = 0;
    int digits = 0; // significant digits so far
    int decimals = 0;
    bool point = false;
    for (; c != end; ++c) {
        const char16_t ch = c->unicode();
        if (ch == u'.' && !point && c != firstDigit) {
            point = true;
            continue;
        }
        if (ch < u'0' || ch > u'9')
            return std::nullopt;
        if (point && ++decimals > MaxDigits)
            return std::nullopt;
        if (mantissa != 0 || ch != u'0') {
            if (++digits > MaxDigits)
                return std::nullopt;
        }
        mantissa = mantissa * 10 + (ch - u'0');
    }
    const qsizetype integerDigits = (c - firstDigit) - (point ? decimals + 1 : 0);
    if (integerDigits <= 0 || (point && decimals == 0))
        return std::nullopt;
    if (integerDigits > 1 && *firstDigit == QLatin1Char('0'))
        return std::nullopt;
    if (negative && mantissa == 0)
        return std::nullopt;
    // Both operands are exact, so the one rounding of the division gives the double nearest to
    // the decimal the text shows, as reading the text would.
    const double magnitude = double(mantissa) / powersOfTen[decimals];
    return NumberText{negative ? -magnitude : magnitude, decimals};
}

QString NumberText::format(int decimals)
{
    if (decimals <= 0)
        return QStringLiteral("0");
    return QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
}
