// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterKind.h"

#include "MeterFacts.h"

namespace {

// Illuminance (luminance for kind 3), max, min, avg, CCT, UV index, flicker frequency, percent
// flicker, Ra (w10), temperature, humidity, SDCM, blue-light hazard (w14).
const QList<MeterColumn> standardColumns{
    {0, 0, Text::Illuminance, "illuminance"},
    {1, 1, Text::Maximum, "illuminance_max"},
    {2, 2, Text::Minimum, "illuminance_min"},
    {3, 3, Text::Average, "illuminance_avg"},
    {4, 4, Text::ColourTemperature, "cct"},
    {5, 5, Text::UvIndex, "uv_index"},
    {6, 6, Text::FlickerFrequency, "flicker_frequency"},
    {7, 7, Text::FlickerPercent, "flicker_percent"},
    {10, 10, Text::ColourRendering, "ra"},
    {11, 11, Text::Temperature, "temperature"},
    {12, 12, Text::Humidity, "humidity"},
    {13, 13, Text::ColourTolerance, "sdcm"},
    {14, 14, Text::BlueLightHazard, "blue_light_hazard"},
};

// PPFD, max, min, avg, blue, green, red, YPFD, chlorophyll a and b (w31..w40, units in slots
// 48..57), temperature and humidity (w41, w42, units in slots 11 and 12).
const QList<MeterColumn> ppfdColumns{
    {31, 48, Text::Ppfd, "ppfd"},
    {32, 49, Text::Maximum, "ppfd_max"},
    {33, 50, Text::Minimum, "ppfd_min"},
    {34, 51, Text::Average, "ppfd_avg"},
    {35, 52, Text::PpfdBlue, "ppfd_blue"},
    {36, 53, Text::PpfdGreen, "ppfd_green"},
    {37, 54, Text::PpfdRed, "ppfd_red"},
    {38, 55, Text::Ypfd, "ypfd"},
    {39, 56, Text::ChlorophyllA, "chlorophyll_a"},
    {40, 57, Text::ChlorophyllB, "chlorophyll_b"},
    {41, 11, Text::Temperature, "temperature"},
    {42, 12, Text::Humidity, "humidity"},
};

// Illuminance, its maximum, UV power (w46), its maximum (w47), CCT.
const QList<MeterColumn> illuminanceUvColumns{
    {0, 0, Text::Illuminance, "illuminance"}, {1, 1, Text::IlluminanceMaximum, "illuminance_max"},
    {46, 46, Text::UvPower, "uv_power"},      {47, 47, Text::UvPowerMaximum, "uv_power_max"},
    {4, 4, Text::ColourTemperature, "cct"},
};

const QList<MeterColumn> luminanceColumns{
    {0, 0, Text::Luminance, "luminance"},
    {1, 1, Text::Maximum, "luminance_max"},
    {2, 2, Text::Minimum, "luminance_min"},
    {3, 3, Text::Average, "luminance_avg"},
    {4, 4, Text::ColourTemperature, "cct"},
    {6, 6, Text::FlickerFrequency, "flicker_frequency"},
    {7, 7, Text::FlickerPercent, "flicker_percent"},
    {10, 10, Text::ColourRendering, "ra"},
};

const QList<MeterColumn> spectralIlluminanceColumns{
    {0, 0, Text::Illuminance, "illuminance"}, {1, 1, Text::Maximum, "illuminance_max"},
    {2, 2, Text::Minimum, "illuminance_min"}, {3, 3, Text::Average, "illuminance_avg"},
    {4, 4, Text::ColourTemperature, "cct"},   {10, 10, Text::ColourRendering, "ra"},
    {13, 13, Text::ColourTolerance, "sdcm"},  {14, 14, Text::BlueLightHazard, "blue_light_hazard"},
};

// Probe number, then power real-time, max, min, avg, uniformity, energy, measuring time.
const QList<MeterColumn> probeColumns{
    {MeterColumn::ProbeWord, 0, Text::ProbeModel, "probe"},
    {1, 1, Text::PowerRealTime, "power"},
    {2, 2, Text::PowerMaximum, "power_max"},
    {3, 3, Text::PowerMinimum, "power_min"},
    {4, 4, Text::PowerAverage, "power_avg"},
    {5, 5, Text::PowerUniformity, "power_uniformity"},
    {6, 6, Text::Energy, "energy"},
    {7, 7, Text::MeasuringTime, "measuring_time"},
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
