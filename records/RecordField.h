// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

// What a stored word stands for besides its number.
enum class ValueMarker : quint8 {
    None,      // a measured value
    NoFlicker, // the light does not flicker
    Invalid,   // no valid value
    Probe      // the probe field: the record's probe name, or the value 0 when it has none
};

// One decoded value of a stored record.
struct RecordField
{
    float value = 0.0f;
    ValueMarker marker = ValueMarker::None;
};

// One stored record decoded for the records table: the name (kinds with a name column, otherwise
// empty), the probe name (kind 6, empty when the probe number is not in the catalog) and number, and the
// measurement fields in column order.
struct DecodedRecord
{
    QString name;
    QString probeName;
    QString probeNumber; // kind 6: the probe number as the probe catalog names it ("A000000F")
    std::vector<RecordField> fields;
};
