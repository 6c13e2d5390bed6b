// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterFacts.h"

#include <QList>
#include <QString>

#include <array>

// The spectral part of one measurement record: the values at 400 nm to 700 nm in steps of 10 nm
// and whether its curve is drawn in the chart, with the record's photometric value.
struct SpectralRecord
{
    static constexpr int valueCount = MeterFacts::SpectralValueCount;
    static constexpr int firstWavelength = MeterFacts::FirstWavelength;
    static constexpr int wavelengthStep = MeterFacts::WavelengthStep;

    std::array<float, valueCount> values{};
    bool curveVisible = true;
    // The record's own photometric value as the meter stored it: its illuminance (luminance for
    // luminance meters). None in the PPFD mode, whose records hold no such word, or where the
    // word is a marker.
    bool hasPhotometric = false;
    float photometric = 0;
    // The meter marked the record as too dim to measure (its colour temperature is the invalid
    // marker): the values are noise, and the record has no colour figures.
    bool tooDim = false;
    // Which record of its download this is (0-based, as the meter numbered them); -1 for a record
    // that came from no download.
    qint64 recordIndex = -1;

    // A record compared with the records of other downloads carries its download with it: the
    // download's archive id and the record's number there (shown together, "#12-3"), and the
    // decimals (one per value) and unit its own meter gives its values. Zero and empty for a record
    // of one download: it is numbered by its place in the table and shown with the table's decimals.
    qint64 download = 0;
    int downloadRecord = 0;
    QList<int> decimals;
    QString unit;

    bool isCompared() const { return download != 0; }
    // The number the record is shown with at 1-based `position`.
    QString numberText(int position) const
    {
        return isCompared() ? QStringLiteral("#%1-%2").arg(download).arg(downloadRecord) : QString::number(position);
    }
};
