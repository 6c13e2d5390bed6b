#include "RecordDecoder.h"

#include "MeterProtocol.h"
#include "ValueMarkers.h"

#include <cstring>

RecordDecoder::RecordDecoder(const RowLayout &layout, bool languageFlag, const QMap<QString, QString> &probeNames)
    : rowLayout(layout),
      languageFlag(languageFlag),
      probeNames(probeNames)
{}

int RecordDecoder::availableRecords(const QByteArray &records, const QByteArray &names) const
{
    const qsizetype held = records.size() / recordSize;
    if (!rowLayout.nameColumn)
        return int(held);
    return int(qMin(held, names.size() / nameSlotSize));
}

bool RecordDecoder::decode(const QByteArray &records, const QByteArray &names, int j, DecodedRecord &out) const
{
    if (j < 0 || j >= availableRecords(records, names))
        return false;

    const auto *record = reinterpret_cast<const uchar *>(records.constData()) + qsizetype(j) * recordSize;
    DecodedRecord decoded;
    if (rowLayout.nameColumn)
        decoded.name = recordName(names, j);
    decoded.fields.reserve(rowLayout.fieldCount());
    for (const int word : rowLayout.words) {
        if (word == RowLayout::ProbeWord)
            decoded.fields.append(probeField(record));
        else if (rowLayout.markerCheck)
            decoded.fields.append(ValueMarkers::decodeWord(record + 4 * word, languageFlag));
        else
            decoded.fields.append(ValueMarkers::plainWord(record + 4 * word));
    }
    out = std::move(decoded);
    return true;
}

QString RecordDecoder::recordName(const QByteArray &names, int j)
{
    if (j < 0 || (qsizetype(j) + 1) * nameSlotSize > names.size())
        return QString();
    const char *slot = names.constData() + qsizetype(j) * nameSlotSize;
    const void *zero = std::memchr(slot, 0, nameLength);
    const qsizetype length = zero ? static_cast<const char *>(zero) - slot : nameLength;
    return QString::fromLocal8Bit(slot, length);
}

QString RecordDecoder::probeNumberText(const uchar *bytes)
{
    const QByteArray stored(reinterpret_cast<const char *>(bytes), 4);
    return QString::fromLatin1(MeterProtocol::reverseHexBytes(stored.toHex()));
}

RecordField RecordDecoder::probeField(const uchar *bytes) const
{
    // A number missing from the catalog leaves the text empty, so the cell shows the value 0.
    // The lookup must not add the number to the catalog.
    return {0.0f, probeNames.value(probeNumberText(bytes))};
}
