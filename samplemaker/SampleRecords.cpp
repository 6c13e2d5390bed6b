// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleRecords.h"

#include "MeterFacts.h"
#include "SampleColumns.h"

#include <QtEndian>

#include <cstring>

namespace SampleRecords {

namespace {

using namespace SampleColumns;

// The probe column's word (MeterColumn::ProbeWord) is the probe number in record word 0.
constexpr int ProbeNumberWord = 0;

// One record, all words zero until set.
class RecordWords
{
public:
    void setUnsigned(int word, quint32 value)
    {
        Q_ASSERT(word >= 0 && word < MeterFacts::RecordWords);
        qToLittleEndian(value, bytes.data() + qsizetype(sizeof value) * word);
    }
    void setFloat(int word, double value)
    {
        const float single = float(value);
        quint32 bits = 0;
        std::memcpy(&bits, &single, sizeof bits);
        setUnsigned(word, bits);
    }
    void setFloats(int firstWord, const QList<double> &values)
    {
        for (int i = 0; i < values.size(); ++i)
            setFloat(firstWord + i, values[i]);
    }
    void mark(int word, Marker marker) { setUnsigned(word, quint32(marker)); }
    QString hex() const { return QString::fromLatin1(bytes.toHex().toUpper()); }

private:
    QByteArray bytes = QByteArray(MeterFacts::RecordSize, '\0');
};

// The standard record's words: kind 1's columns in mode 0, then kind 2's UV power columns.
int standardWord(Text title)
{
    const MeterColumn *column = find(StandardKind, StandardMode, title);
    return (column ? *column : require(UvPowerKind, StandardMode, title)).word;
}

int ppfdWord(Text title)
{
    return require(StandardKind, PpfdMode, title).word;
}

int probeWord(Text title)
{
    const int word = require(ProbeKind, StandardMode, title).word;
    return word == MeterColumn::ProbeWord ? ProbeNumberWord : word;
}

} // namespace

QString standardRecord(const StandardReading &reading, const QList<MarkedWord> &markers)
{
    const double lux = reading.lux;
    RecordWords words;
    words.setFloat(standardWord(Text::Illuminance), lux);
    words.setFloat(standardWord(Text::Maximum), SampleMaths::roundDecimal(lux * 1.04, 1));
    words.setFloat(standardWord(Text::Minimum), SampleMaths::roundDecimal(lux * 0.93, 1));
    words.setFloat(standardWord(Text::Average), SampleMaths::roundDecimal(lux * 0.99, 1));
    words.setFloat(standardWord(Text::ColourTemperature), reading.colourTemperature);
    words.setFloat(standardWord(Text::UvIndex), reading.uvIndex);
    words.setFloat(standardWord(Text::FlickerFrequency), reading.flickerFrequency);
    words.setFloat(standardWord(Text::FlickerPercent), reading.flickerPercent);
    words.setFloat(standardWord(Text::ColourRendering), reading.colourRendering);
    words.setFloat(standardWord(Text::Temperature), reading.temperature);
    words.setFloat(standardWord(Text::Humidity), reading.humidity);
    words.setFloat(standardWord(Text::ColourTolerance), reading.colourTolerance);
    words.setFloat(standardWord(Text::BlueLightHazard), reading.blueLightHazard);
    words.setFloats(firstSpectralWord(StandardKind, StandardMode), SampleMaths::spectrumFor(reading.light, lux));
    words.setFloat(standardWord(Text::UvPower), reading.uvPower);
    words.setFloat(standardWord(Text::UvPowerMaximum), reading.uvPowerMaximum);
    for (const MarkedWord &marked : markers)
        words.mark(standardWord(marked.title), marked.marker);
    return words.hex();
}

QString ppfdRecord(const PpfdReading &reading, const QList<MarkedWord> &markers)
{
    const QList<double> spectrum = SampleMaths::spectrumFor(reading.light, reading.lux);
    const double ppfd = SampleMaths::photonFlux(spectrum);
    RecordWords words;
    words.setFloats(firstSpectralWord(StandardKind, PpfdMode), spectrum);
    words.setFloat(ppfdWord(Text::Ppfd), ppfd);
    words.setFloat(ppfdWord(Text::Maximum), SampleMaths::roundDecimal(ppfd * 1.05, 2));
    words.setFloat(ppfdWord(Text::Minimum), SampleMaths::roundDecimal(ppfd * 0.94, 2));
    words.setFloat(ppfdWord(Text::Average), SampleMaths::roundDecimal(ppfd * 0.99, 2));
    words.setFloat(ppfdWord(Text::PpfdBlue), SampleMaths::photonFlux(spectrum, 400, 500));
    words.setFloat(ppfdWord(Text::PpfdGreen), SampleMaths::photonFlux(spectrum, 500, 600));
    words.setFloat(ppfdWord(Text::PpfdRed), SampleMaths::photonFlux(spectrum, 600, 700));
    words.setFloat(ppfdWord(Text::Ypfd), SampleMaths::roundDecimal(ppfd * 0.9, 2));
    words.setFloat(ppfdWord(Text::ChlorophyllA), SampleMaths::roundDecimal(ppfd * 0.42, 2));
    words.setFloat(ppfdWord(Text::ChlorophyllB), SampleMaths::roundDecimal(ppfd * 0.31, 2));
    words.setFloat(ppfdWord(Text::Temperature), reading.temperature);
    words.setFloat(ppfdWord(Text::Humidity), reading.humidity);
    for (const MarkedWord &marked : markers)
        words.mark(ppfdWord(marked.title), marked.marker);
    return words.hex();
}

QString probeRecord(const ProbeReading &reading)
{
    const double power = reading.power;
    RecordWords words;
    words.setUnsigned(probeWord(Text::ProbeModel), reading.probe);
    words.setFloat(probeWord(Text::PowerRealTime), power);
    words.setFloat(probeWord(Text::PowerMaximum), SampleMaths::roundDecimal(power * 1.08, 1));
    words.setFloat(probeWord(Text::PowerMinimum), SampleMaths::roundDecimal(power * 0.9, 1));
    words.setFloat(probeWord(Text::PowerAverage), SampleMaths::roundDecimal(power * 0.99, 1));
    words.setFloat(probeWord(Text::PowerUniformity), SampleMaths::roundDecimal(0.9 / 1.08, 2));
    words.setFloat(probeWord(Text::Energy), reading.energy);
    words.setFloat(probeWord(Text::MeasuringTime), reading.seconds);
    return words.hex();
}

QString nameSlot(const QString &name)
{
    QByteArray slot = name.toUtf8().left(MeterFacts::NameLength);
    slot.append(MeterFacts::NameSlotSize - slot.size(), '\0');
    return QString::fromLatin1(slot.toHex().toUpper());
}

} // namespace SampleRecords
