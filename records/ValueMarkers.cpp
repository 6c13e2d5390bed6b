// SPDX-License-Identifier: GPL-3.0-or-later
#include "ValueMarkers.h"

#include <QtEndian>
#include <cstring>

namespace {

float wordAsFloat(quint32 word)
{
    float value;
    std::memcpy(&value, &word, sizeof value);
    return value;
}

} // namespace

RecordField ValueMarkers::decodeWord(const uchar *bytes)
{
    const quint32 word = qFromLittleEndian<quint32>(bytes);
    if (word == noFlickerMarker)
        return {0.0f, ValueMarker::NoFlicker};
    if (word == invalidMarker || word == invalidMarker2)
        return {0.0f, ValueMarker::Invalid};
    return {wordAsFloat(word), ValueMarker::None};
}

RecordField ValueMarkers::plainWord(const uchar *bytes)
{
    return {wordAsFloat(qFromLittleEndian<quint32>(bytes)), ValueMarker::None};
}
