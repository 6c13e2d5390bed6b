// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectralValues.h"

#include "MeterKind.h"
#include "ValueMarkers.h"

#include <QtEndian>
#include <cstring>

bool SpectralValues::extract(const QByteArray &records, int j, const MeterKind &kind, int mode, Values &values)
{
    constexpr int size = MeterFacts::RecordSize;
    if (j < 0 || (qsizetype(j) + 1) * size > records.size())
        return false;
    const auto *first =
        reinterpret_cast<const uchar *>(records.constData()) + qsizetype(j) * size + kind.spectralOffset(mode);
    for (size_t i = 0; i < values.size(); ++i) {
        const quint32 word = qFromLittleEndian<quint32>(first + 4 * i);
        std::memcpy(&values[i], &word, sizeof(float));
    }
    return true;
}

bool SpectralValues::photometric(const QByteArray &records, int j, const MeterKind &kind, int mode, RecordField &field)
{
    constexpr int size = MeterFacts::RecordSize;
    if (kind.isPpfd(mode) || j < 0 || (qsizetype(j) + 1) * size > records.size())
        return false;
    const auto *word = reinterpret_cast<const uchar *>(records.constData()) + qsizetype(j) * size;
    field = kind.markerCheck ? ValueMarkers::decodeWord(word) : ValueMarkers::plainWord(word);
    return true;
}

bool SpectralValues::tooDim(const QByteArray &records, int j, const MeterKind &kind, int mode)
{
    constexpr int size = MeterFacts::RecordSize;
    if (!kind.markerCheck || j < 0 || (qsizetype(j) + 1) * size > records.size())
        return false;
    const auto *record = reinterpret_cast<const uchar *>(records.constData()) + qsizetype(j) * size;
    for (const MeterColumn &column : kind.columns(mode)) {
        if (column.title == Text::ColourTemperature)
            return ValueMarkers::decodeWord(record + 4 * column.word).marker == ValueMarker::Invalid;
    }
    return false;
}
