#include "RecordRowTexts.h"

namespace {

// The decimal counts come from a catalog file the user maintains; keep them in a range that
// fixed notation can honour.
constexpr int maxDecimals = 16;

} // namespace

QString RecordRowTexts::fieldText(const RecordField &field, int decimals)
{
    if (!field.text.isEmpty())
        return field.text;
    return QString::number(double(field.value), 'f', qBound(0, decimals, maxDecimals));
}

bool RecordRowTexts::cells(const RowLayout &layout, const DecodedRecord &record, const QList<int> &decimals,
                           QStringList &cells)
{
    const int fieldCount = layout.fieldCount();
    if (decimals.size() < layout.leastDecimals() || record.fields.size() < fieldCount)
        return false;
    QStringList texts;
    texts.reserve(layout.deleteButtonColumn());
    if (layout.nameColumn)
        texts.append(record.name);
    for (int k = 0; k < fieldCount; ++k)
        texts.append(fieldText(record.fields.at(k), decimals.at(k)));
    cells = std::move(texts);
    return true;
}
