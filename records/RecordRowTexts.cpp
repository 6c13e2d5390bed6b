// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordRowTexts.h"

#include "FixedNotation.h"
#include "MeterKind.h"
#include "TextCatalogue.h"

#include <cmath>
#include <iterator>

namespace {

// The decimal counts come from a catalog file the user maintains; keep them in a range that
// fixed notation can honour.
constexpr int maxDecimals = 16;

} // namespace

QString RecordRowTexts::number(float value, int decimals)
{
    return FixedNotation::text(double(value), qBound(0, decimals, maxDecimals));
}

double RecordRowTexts::shownValue(float value, int decimals)
{
    const int places = qBound(0, decimals, maxDecimals);
    // A float times 10^places (up to 10^8) is exact in a double, and Qt's fixed notation rounds
    // the exact value half away from zero, as std::round does; the quotient is then the double
    // nearest the decimal text, as reading the text gives it. Past 8 places, or for values that
    // are not finite, the text is read.
    static constexpr double powers[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    const double wide = double(value);
    if (places < int(std::size(powers)) && std::isfinite(wide)) {
        const double scale = powers[places];
        return std::round(wide * scale) / scale;
    }
    return number(value, decimals).toDouble();
}

QString RecordRowTexts::fieldText(const RecordField &field, int decimals, bool chinese, const QString &probeName)
{
    switch (field.marker) {
    case ValueMarker::NoFlicker:
        return TextCatalogue::text(Text::NoFlicker, chinese);
    case ValueMarker::Invalid:
        return TextCatalogue::text(Text::InvalidValue, chinese);
    case ValueMarker::Probe:
        if (!probeName.isEmpty())
            return probeName;
        break;
    case ValueMarker::None:
        break;
    }
    return number(field.value, decimals);
}

bool RecordRowTexts::fits(const MeterKind &kind, int mode, const DecodedRecord &record, const QList<int> &decimals)
{
    const qsizetype fieldCount = kind.columns(mode).size();
    return decimals.size() >= fieldCount && qsizetype(record.fields.size()) >= fieldCount;
}

QStringList RecordRowTexts::cells(const MeterKind &kind, const DecodedRecord &record, const QList<int> &decimals,
                                  bool chinese)
{
    QStringList texts;
    texts.reserve(qsizetype(record.fields.size()) + 1);
    if (kind.nameColumn)
        texts.append(record.name);
    for (size_t k = 0; k < record.fields.size() && qsizetype(k) < decimals.size(); ++k)
        texts.append(fieldText(record.fields[k], decimals.at(qsizetype(k)), chinese, record.probeName));
    return texts;
}
