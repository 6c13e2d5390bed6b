// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleUnits.h"

#include "MeterFacts.h"
#include "SampleColumns.h"

#include <initializer_list>

namespace SampleUnits {

namespace {

using namespace SampleColumns;

// Rows of the unit catalogue.
constexpr int Plain = 0;
constexpr int OneDecimal = 1;
constexpr int ThreeDecimals = 3;
constexpr int Lux = 5;
constexpr int MicrowattPerCm2 = 11;
constexpr int Hertz = 15;
constexpr int Percent = 17;
constexpr int Kelvin = 18;
constexpr int Celsius = 19;
constexpr int RelativeHumidity = 20;
constexpr int MicromolePerM2s = 22;
constexpr int MicrowattPerCm2Nm = 24;
constexpr int CandelaPerM2 = 26;
constexpr int PercentTwoDecimals = 64;
constexpr int MilliwattPerCm2 = 97;
constexpr int MillijoulePerCm2 = 101;
constexpr int Seconds = 108;

struct UnitOf
{
    Text title;
    int unit;
};

// Puts each unit in the unit slot of the column with its title of kind `kind` in `mode`.
void assign(QList<int> &unitSlots, int kind, int mode, std::initializer_list<UnitOf> units)
{
    for (const UnitOf &unitOf : units)
        unitSlots[require(kind, mode, unitOf.title).slot] = unitOf.unit;
}

// The unitSlots every sample shares: temperature, humidity, the spectrum and the PPFD columns.
QList<int> sharedUnits()
{
    QList<int> unitSlots(MeterFacts::UnitSlotCount, 0);
    assign(unitSlots, StandardKind, StandardMode, {{Text::Temperature, Celsius}, {Text::Humidity, RelativeHumidity}});
    for (int i = 0; i < MeterFacts::SpectralValueCount; ++i)
        unitSlots[MeterFacts::FirstWavelengthSlot + i] = MicrowattPerCm2Nm;
    assign(unitSlots, StandardKind, PpfdMode,
           {{Text::Ppfd, MicromolePerM2s},
            {Text::Maximum, MicromolePerM2s},
            {Text::Minimum, MicromolePerM2s},
            {Text::Average, MicromolePerM2s},
            {Text::PpfdBlue, MicromolePerM2s},
            {Text::PpfdGreen, MicromolePerM2s},
            {Text::PpfdRed, MicromolePerM2s},
            {Text::Ypfd, MicromolePerM2s},
            {Text::ChlorophyllA, MicromolePerM2s},
            {Text::ChlorophyllB, MicromolePerM2s}});
    return unitSlots;
}

QList<int> standardUnits(int light, int uvPower)
{
    QList<int> unitSlots = sharedUnits();
    assign(unitSlots, StandardKind, StandardMode,
           {{Text::Illuminance, light},
            {Text::Maximum, light},
            {Text::Minimum, light},
            {Text::Average, light},
            {Text::ColourTemperature, Kelvin},
            {Text::UvIndex, OneDecimal},
            {Text::FlickerFrequency, Hertz},
            {Text::FlickerPercent, Percent},
            {Text::ColourRendering, OneDecimal},
            {Text::ColourTolerance, OneDecimal},
            {Text::BlueLightHazard, ThreeDecimals}});
    assign(unitSlots, UvPowerKind, StandardMode, {{Text::UvPower, uvPower}, {Text::UvPowerMaximum, uvPower}});
    return unitSlots;
}

} // namespace

QList<int> illuminanceUnits()
{
    return standardUnits(Lux, MicrowattPerCm2);
}

QList<int> luminanceUnits()
{
    return standardUnits(CandelaPerM2, Plain);
}

QList<int> probeUnits()
{
    QList<int> unitSlots = sharedUnits();
    assign(unitSlots, ProbeKind, StandardMode,
           {{Text::ProbeModel, Plain},
            {Text::PowerRealTime, MilliwattPerCm2},
            {Text::PowerMaximum, MilliwattPerCm2},
            {Text::PowerMinimum, MilliwattPerCm2},
            {Text::PowerAverage, MilliwattPerCm2},
            {Text::PowerUniformity, PercentTwoDecimals},
            {Text::Energy, MillijoulePerCm2},
            {Text::MeasuringTime, Seconds}});
    return unitSlots;
}

} // namespace SampleUnits
