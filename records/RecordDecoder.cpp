// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordDecoder.h"

#include "MeterFacts.h"
#include "MeterKind.h"
#include "MeterProtocol.h"
#include "NameEncoding.h"
#include "ValueMarkers.h"

#include <cstring>

RecordDecoder::RecordDecoder(const MeterKind &kind, int mode, const ProbeNames &probeNames)
    : kind(kind),
      mode(mode),
      probeNames(probeNames)
{}

int RecordDecoder::availableRecords(const QByteArray &records, const QByteArray &names) const
{
    const qsizetype held = records.size() / MeterFacts::RecordSize;
    if (!kind.nameColumn)
        return int(held);
    return int(qMin(held, names.size() / MeterFacts::NameSlotSize));
}

bool RecordDecoder::decode(const QByteArray &records, const QByteArray &names, int j, DecodedRecord &out) const
{
    if (j < 0 || j >= availableRecords(records, names))
        return false;

    const auto *record = reinterpret_cast<const uchar *>(records.constData()) + qsizetype(j) * MeterFacts::RecordSize;
    DecodedRecord decoded;
    if (kind.nameColumn)
        decoded.name = recordName(names, j);
    const QList<MeterColumn> &columns = kind.columns(mode);
    decoded.fields.reserve(size_t(columns.size()));
    for (const MeterColumn &column : columns) {
        if (column.word == MeterColumn::ProbeWord) {
            // A number missing from the catalog leaves the name empty, so the cell shows the value 0.
            // The lookup must not add the number to the catalog.
            decoded.probeNumber = probeNumberText(record);
            decoded.probeName = probeNames.value(decoded.probeNumber);
            decoded.fields.push_back({0.0f, ValueMarker::Probe});
        } else if (kind.markerCheck) {
            decoded.fields.push_back(ValueMarkers::decodeWord(record + 4 * column.word));
        } else {
            decoded.fields.push_back(ValueMarkers::plainWord(record + 4 * column.word));
        }
    }
    out = std::move(decoded);
    return true;
}

QString RecordDecoder::recordName(const QByteArray &names, int j)
{
    if (j < 0 || (qsizetype(j) + 1) * MeterFacts::NameSlotSize > names.size())
        return QString();
    const char *slot = names.constData() + qsizetype(j) * MeterFacts::NameSlotSize;
    const void *zero = std::memchr(slot, 0, MeterFacts::NameLength);
    const qsizetype length = zero ? static_cast<const char *>(zero) - slot : MeterFacts::NameLength;
    return NameEncoding::decode(QByteArrayView(slot, length));
}

QString RecordDecoder::probeNumberText(const uchar *bytes)
{
    const QByteArray stored(reinterpret_cast<const char *>(bytes), 4);
    return QString::fromLatin1(MeterProtocol::reverseHexBytes(stored.toHex()));
}
