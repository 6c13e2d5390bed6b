// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterKind.h"

#include "MeterFacts.h"

namespace {

// Illuminance (luminance for kind 3), max, min, avg, CCT, UV index, flicker frequency, percent
// flicker, Ra (w10), temperature, humidity, SDCM, blue-light hazard (w14).
const QList<MeterColumn> standardColumns{
    {0, 0, Text::Illuminance},       {1, 1, Text::Maximum},           {2, 2, Text::Minimum},
    {3, 3, Text::Average},           {4, 4, Text::ColourTemperature}, {5, 5, Text::UvIndex},
    {6, 6, Text::FlickerFrequency},  {7, 7, Text::FlickerPercent},    {10, 10, Text::ColourRendering},
    {11, 11, Text::Temperature},     {12, 12, Text::Humidity},        {13, 13, Text::ColourTolerance},
    {14, 14, Text::BlueLightHazard},
};

// PPFD, max, min, avg, blue, green, red, YPFD, chlorophyll a and b (w31..w40, units in slots
// 48..57), temperature and humidity (w41, w42, units in slots 11 and 12).
const QList<MeterColumn> ppfdColumns{
    {31, 48, Text::Ppfd},         {32, 49, Text::Maximum},      {33, 50, Text::Minimum},     {34, 51, Text::Average},
    {35, 52, Text::PpfdBlue},     {36, 53, Text::PpfdGreen},    {37, 54, Text::PpfdRed},     {38, 55, Text::Ypfd},
    {39, 56, Text::ChlorophyllA}, {40, 57, Text::ChlorophyllB}, {41, 11, Text::Temperature}, {42, 12, Text::Humidity},
};

// Illuminance, its maximum, UV power (w46), its maximum (w47), CCT.
const QList<MeterColumn> illuminanceUvColumns{
    {0, 0, Text::Illuminance},      {1, 1, Text::IlluminanceMaximum}, {46, 46, Text::UvPower},
    {47, 47, Text::UvPowerMaximum}, {4, 4, Text::ColourTemperature},
};

const QList<MeterColumn> luminanceColumns{
    {0, 0, Text::Luminance},      {1, 1, Text::Maximum},           {2, 2, Text::Minimum},
    {3, 3, Text::Average},        {4, 4, Text::ColourTemperature}, {6, 6, Text::FlickerFrequency},
    {7, 7, Text::FlickerPercent}, {10, 10, Text::ColourRendering},
};

const QList<MeterColumn> spectralIlluminanceColumns{
    {0, 0, Text::Illuminance},       {1, 1, Text::Maximum},           {2, 2, Text::Minimum},
    {3, 3, Text::Average},           {4, 4, Text::ColourTemperature}, {10, 10, Text::ColourRendering},
    {13, 13, Text::ColourTolerance}, {14, 14, Text::BlueLightHazard},
};

// Probe number, then power real-time, max, min, avg, uniformity, energy, measuring time.
const QList<MeterColumn> probeColumns{
    {MeterColumn::ProbeWord, 0, Text::ProbeModel},
    {1, 1, Text::PowerRealTime},
    {2, 2, Text::PowerMaximum},
    {3, 3, Text::PowerMinimum},
    {4, 4, Text::PowerAverage},
    {5, 5, Text::PowerUniformity},
    {6, 6, Text::Energy},
    {7, 7, Text::MeasuringTime},
};

// uiIndex, hasMode, readsNames, nameColumn, hasSpectra, markerCheck, spectralName, mode request,
// columns.
const MeterKind kinds[] = {
    {1, true, false, false, true, true, false, MeterFacts::ReadCommand, 0x38, standardColumns, ppfdColumns},
    {2, false, false, false, true, true, false, 0, 0, illuminanceUvColumns, {}},
    {3, false, false, false, true, true, false, 0, 0, luminanceColumns, {}},
    {4, true, true, true, true, true, true, MeterFacts::ReadCommandAlt, 0x40, standardColumns, ppfdColumns},
    {5, false, false, false, true, true, false, 0, 0, spectralIlluminanceColumns, {}},
    {6, false, true, true, false, false, false, 0, 0, probeColumns, {}},
};

static_assert(sizeof kinds / sizeof kinds[0] == MeterKind::Last - MeterKind::First + 1, "one entry per kind");

} // namespace

const MeterKind *MeterKind::find(int uiIndex)
{
    if (uiIndex < First || uiIndex > Last)
        return nullptr;
    return &kinds[uiIndex - First];
}
