// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SampleMaths.h"
#include "TextCatalogue.h"

#include <QList>
#include <QString>

// The bit patterns a meter stores in place of a value (the stored little-endian bytes of each
// number are AB 18 1B 6E, F2 2B 0E 6E and 64 05 28 6E).
enum class Marker : quint32 {
    NoFlicker = 0x6E1B18ABu,
    Invalid = 0x6E0E2BF2u,
    Invalid2 = 0x6E280564u,
};

// A marker stored in the word of the column with this title.
struct MarkedWord
{
    Text title;
    Marker marker;
};

// A measurement of the standard record (kinds 1 and 4 in mode 0; kinds 2, 3 and 5 show part of
// its words, kind 2 also the UV power words). Max, min and avg follow from `lux`, the spectrum
// from `light` and `lux`.
struct StandardReading
{
    double lux;
    SampleMaths::LightShape light;
    double colourTemperature;
    double colourRendering;
    double colourTolerance;
    double blueLightHazard;
    double flickerFrequency = 0.0;
    double flickerPercent = 0.0;
    double uvIndex = 0.0;
    double uvPower = 0.0;
    double uvPowerMaximum = 0.0;
    double temperature = 24.5;
    double humidity = 45.0;
};

// A measurement of the PPFD record (mode 1): the spectrum of `light` at `lux` and the photon
// fluxes that follow from it.
struct PpfdReading
{
    SampleMaths::LightShape light;
    double lux;
    double temperature = 25.0;
    double humidity = 60.0;
};

// A measurement of a probe power meter (kind 6); max, min, avg and uniformity follow from `power`.
struct ProbeReading
{
    quint32 probe;
    double power;
    double energy;
    double seconds;
};

// The records of the sample images as hexadecimal text (upper case, memory order): floats as
// IEEE single precision, numbers as 32-bit unsigned, both little-endian.
namespace SampleRecords {

// `markers` are stored last, over the values of their words.
QString standardRecord(const StandardReading &reading, const QList<MarkedWord> &markers = {});
QString ppfdRecord(const PpfdReading &reading, const QList<MarkedWord> &markers = {});
QString probeRecord(const ProbeReading &reading);

// A name slot holding the first bytes of `name` in UTF-8 (as many as a name may have), zero-padded.
QString nameSlot(const QString &name);

} // namespace SampleRecords
