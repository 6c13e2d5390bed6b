#pragma once

#include <QByteArray>
#include <array>

// The 31 spectral values (400 nm to 700 nm in steps of 10 nm) of a stored record. They lie at
// byte 0 of the record for the PPFD mode of kinds 1 and 4, and at byte 60 in every other case.
class SpectralValues
{
public:
    static constexpr int count = 31;
    using Values = std::array<float, count>;

    static int offset(int uiIndex, int mode);

    // The values of record j of the record memory; false (values untouched) when the memory does
    // not hold record j in full.
    static bool extract(const QByteArray &records, int j, int uiIndex, int mode, Values &values);
};
