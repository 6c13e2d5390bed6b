// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordField.h"

#include <QtGlobal>

// The meter writes fixed bit patterns instead of a measured value where there is none. They are
// recognised on the exact stored bytes, before the word is read as a float: any other value,
// however large, is a number.
class ValueMarkers
{
public:
    // Stored bytes AB 18 1B 6E (about 1.2e28): the light does not flicker.
    static constexpr quint32 noFlickerMarker = 0x6E1B18ABu;
    // Stored bytes F2 2B 0E 6E (about 1.1e28) and 64 05 28 6E (about 1.3e28): no valid value.
    static constexpr quint32 invalidMarker = 0x6E0E2BF2u;
    static constexpr quint32 invalidMarker2 = 0x6E280564u;

    // The field of one stored little-endian word with the marker rule applied.
    static RecordField decodeWord(const uchar *bytes);
    // The field of one stored word read as a plain float, without the marker rule.
    static RecordField plainWord(const uchar *bytes);
};
