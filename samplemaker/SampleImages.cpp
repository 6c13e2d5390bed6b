// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleImages.h"

#include "SampleRecords.h"
#include "SampleUnits.h"

#include <QDir>
#include <QSaveFile>

namespace SampleImages {

namespace {

namespace light = SampleMaths;
using namespace SampleRecords;
using namespace SampleUnits;

// The light does not flicker: both flicker words hold the marker.
const QList<MarkedWord> noFlicker{{Text::FlickerFrequency, Marker::NoFlicker},
                                  {Text::FlickerPercent, Marker::NoFlicker}};

// Kinds 1 and 4 in mode 0.
QStringList standardRecords()
{
    return {
        standardRecord({512.0, light::whiteLed, 4012.0, 82.4, 3.1, 0.112, 100.0, 4.2}),
        standardRecord({148.6, light::incandescent, 2861.0, 99.1, 1.4, 0.021, 100.0, 12.7}),
        standardRecord({21450.0, light::daylight, 6488.0, 97.6, 2.2, 0.356, 0.0, 0.0, 2.1}, noFlicker),
        standardRecord({736.0, light::whiteLed, 5630.0, 91.3, 4.8, 0.187},
                       noFlicker + QList<MarkedWord>{{Text::UvIndex, Marker::Invalid}}),
        standardRecord({302.5, light::whiteLed, 3025.0, 80.2, 6.5, 0.064, 120.0, 31.5},
                       {{Text::ColourTolerance, Marker::Invalid2}}),
        standardRecord({0.4, light::incandescent, 2730.0, 98.7, 1.1, 0.002},
                       {{Text::ColourTemperature, Marker::Invalid}, {Text::ColourRendering, Marker::Invalid2}}),
    };
}

// Kinds 1 and 4 in mode 1.
QStringList ppfdRecords()
{
    return {
        ppfdRecord({light::growLight, 9800.0, 26.5, 68.0}),
        ppfdRecord({light::whiteLed, 18500.0}),
        ppfdRecord({light::daylight, 54000.0, 29.0, 52.0}),
        ppfdRecord({light::growLight, 1200.0}, {{Text::Ypfd, Marker::Invalid}, {Text::ChlorophyllA, Marker::Invalid2}}),
    };
}

// Kind 2: colour rendering, tolerance and hazard left at zero; the UV power words set.
QStringList uvPowerRecords()
{
    return {
        standardRecord({1850.0, light::daylight, 6120.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 412.35, 436.8}),
        standardRecord({640.0, light::whiteLed, 4380.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 3.42, 3.9}),
        standardRecord({98000.0, light::daylight, 5790.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 5120.0, 5388.5},
                       {{Text::UvPowerMaximum, Marker::Invalid}}),
    };
}

// Kind 3: colour tolerance and hazard left at zero.
QStringList luminanceRecords()
{
    return {
        standardRecord({215.3, light::whiteLed, 6420.0, 84.0, 0.0, 0.0, 60.0, 2.1}),
        standardRecord({1240.0, light::whiteLed, 9010.0, 72.5, 0.0, 0.0}, noFlicker),
        standardRecord({35.7, light::incandescent, 2950.0, 98.9, 0.0, 0.0, 100.0, 9.8}),
    };
}

// Kind 5.
QStringList spectralIlluminanceRecords()
{
    return {
        standardRecord({498.0, light::whiteLed, 4105.0, 83.7, 3.4, 0.118}),
        standardRecord({1012.0, light::daylight, 6402.0, 96.8, 1.9, 0.301}),
        standardRecord({87.0, light::incandescent, 2790.0, 99.3, 1.2, 0.015},
                       {{Text::BlueLightHazard, Marker::Invalid}}),
    };
}

QStringList probeRecords()
{
    return {
        probeRecord({0xA000000Fu, 12.4, 372.0, 30.0}), probeRecord({0xA0000010u, 86.1, 2583.0, 30.0}),
        probeRecord({0xA0000011u, 3.7, 222.0, 60.0}),  probeRecord({0xB0000001u, 152.9, 1529.0, 10.0}),
        probeRecord({0xC0000099u, 7.5, 75.0, 10.0}), // a probe the catalog does not know
    };
}

QStringList nameSlots(const QStringList &names)
{
    QStringList hex;
    for (const QString &name : names)
        hex.append(nameSlot(name));
    return hex;
}

} // namespace

QList<SampleImage> all()
{
    const QStringList standard = standardRecords();
    const QStringList ppfd = ppfdRecords();
    // The fourth record of kind 4 has an empty name.
    const QStringList kind4Names =
        nameSlots({"Office desk 1", "Corridor", QStringLiteral("会议室"), QString(), "Stairs B2", "Lab bench"});
    const QStringList kind4PpfdNames = nameSlots({"Tomato bed 1", "Lettuce rack", "Greenhouse NW", "Seedlings"});
    const QStringList kind6Names = nameSlots({"UV curing 365", "Cabinet A", "Belt line", "Lamp test", "Spare probe"});

    return {
        {"kind1.json", 1001, 10010001, 102, "2023-12-31", illuminanceUnits(), 0, standard, std::nullopt},
        {"kind1-ppfd.json", 1001, 10010002, 102, "2024-03-18", illuminanceUnits(), 1, ppfd, std::nullopt},
        {"kind2.json", 2001, 20010001, 101, "2024-02-05", illuminanceUnits(), std::nullopt, uvPowerRecords(),
         std::nullopt},
        {"kind3.json", 3001, 30010001, 100, "2024-05-20", luminanceUnits(), std::nullopt, luminanceRecords(),
         std::nullopt},
        {"kind4.json", 4001, 40010001, 105, "2024-06-11", illuminanceUnits(), 0, standard, kind4Names},
        {"kind4-ppfd.json", 4001, 40010002, 105, "2024-06-12", illuminanceUnits(), 1, ppfd, kind4PpfdNames},
        {"kind5.json", 5001, 50010001, 103, "2024-08-02", illuminanceUnits(), std::nullopt,
         spectralIlluminanceRecords(), std::nullopt},
        {"kind6.json", 6001, 60010001, 110, "2024-10-09", probeUnits(), std::nullopt, probeRecords(), kind6Names},
    };
}

bool writeAll(const QString &dir, QString &error)
{
    for (const SampleImage &image : all()) {
        QSaveFile file(QDir(dir).filePath(image.fileName));
        if (!file.open(QIODevice::WriteOnly) || file.write(SampleJson::imageText(image)) < 0 || !file.commit()) {
            error = file.fileName() + QStringLiteral(": ") + file.errorString();
            return false;
        }
    }
    return true;
}

} // namespace SampleImages
