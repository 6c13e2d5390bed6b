#include "RowLayout.h"

namespace {

// Layout A words: illuminance (luminance for kind 3), max, min, avg, CCT, UV index, flicker
// frequency, percent flicker, Ra (w10), temperature, humidity, SDCM, blue-light hazard (w14).
const QList<int> standardWords{0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14};
// Layout B words: PPFD, max, min, avg, blue, green, red, YPFD, chlorophyll a and b,
// temperature, humidity (w31 … w42).
const QList<int> ppfdWords{31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42};

const RowLayout layouts[] = {
    {RowLayout::Kind1Standard, "1A", 1, false, true, standardWords},
    {RowLayout::Kind1Ppfd, "1B", 1, false, true, ppfdWords},
    // Illuminance, its maximum, UV power (w46), its maximum (w47), CCT.
    {RowLayout::Kind2, "2", 2, false, true, {0, 1, 46, 47, 4}},
    {RowLayout::Kind3, "3", 3, false, true, {0, 1, 2, 3, 4, 6, 7, 10}},
    {RowLayout::Kind4Standard, "4A", 4, true, true, standardWords},
    {RowLayout::Kind4Ppfd, "4B", 4, true, true, ppfdWords},
    {RowLayout::Kind5, "5", 5, false, true, {0, 1, 2, 3, 4, 10, 13, 14}},
    // Layout C: probe number, then power real-time, max, min, avg, uniformity, energy, time.
    {RowLayout::Kind6, "6", 6, true, false, {RowLayout::ProbeWord, 1, 2, 3, 4, 5, 6, 7}},
};

} // namespace

const RowLayout *RowLayout::forKind(int uiIndex, int mode)
{
    const bool ppfd = mode == 1;
    switch (uiIndex) {
    case 1:
        return &layouts[ppfd ? Kind1Ppfd : Kind1Standard];
    case 2:
        return &layouts[Kind2];
    case 3:
        return &layouts[Kind3];
    case 4:
        return &layouts[ppfd ? Kind4Ppfd : Kind4Standard];
    case 5:
        return &layouts[Kind5];
    case 6:
        return &layouts[Kind6];
    default:
        return nullptr;
    }
}
