// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterFacts.h"
#include "RecordField.h"

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
    // The photometric word of record j (word 0: illuminance, luminance for luminance meters) with
    // the kind's marker rule; false (field untouched) in the PPFD mode, whose word 0 is part of
    // the spectrum, or when the memory does not hold record j in full.
    static bool photometric(const QByteArray &records, int j, const MeterKind &kind, int mode, RecordField &field);
    // Whether the meter marked record j as too dim to measure: its colour-temperature column (in
    // this mode) holds the invalid marker, the same word the records table shows as "----". Its
    // spectrum is then noise, and no colour figure computed from it means anything. False for
    // kinds and modes without that column or without the marker rule, or when the memory does not
    // hold record j in full.
    static bool tooDim(const QByteArray &records, int j, const MeterKind &kind, int mode);
};
