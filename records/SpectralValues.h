// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterFacts.h"

#include <QByteArray>
#include <array>

struct MeterKind;

// The 31 spectral values (400 nm to 700 nm in steps of 10 nm) of a stored record, at the offset
// the meter kind and mode give.
class SpectralValues
{
public:
    using Values = std::array<float, MeterFacts::SpectralValueCount>;

    // The values of record j of the record memory; false (values untouched) when the memory does
    // not hold record j in full.
    static bool extract(const QByteArray &records, int j, const MeterKind &kind, int mode, Values &values);
};
