// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordField.h"

#include <QList>
#include <QStringList>

struct MeterKind;

// The cell texts of the records table, shared by the window, the export and the command line so
// that all of them show and write the very same texts.
class RecordRowTexts
{
public:
    // The value in fixed notation with the given number of decimals (3.14159 with 2 gives "3.14",
    // with 0 "3"); decimals are kept within 0..16, as a catalog file may hold anything.
    static QString number(float value, int decimals);
    // The number that number() writes, as a double: what a spreadsheet reads from the cell.
    static double shownValue(float value, int decimals);

    // The text of one measurement cell: a marker's text in the language, the probe name where the
    // record has one, otherwise the value as number() gives it.
    static QString fieldText(const RecordField &field, int decimals, bool chinese, const QString &probeName = {});

    // Whether a record gets a row: the decimals list must cover the kind's columns in the mode, and
    // the record must hold that many fields.
    static bool fits(const MeterKind &kind, int mode, const DecodedRecord &record, const QList<int> &decimals);

    // The texts of a row without the delete-button column: the name first for kinds with a name
    // column, then one text per measurement field, entry k of decimals formatting field k. Call
    // only for records that fit().
    static QStringList cells(const MeterKind &kind, const DecodedRecord &record, const QList<int> &decimals,
                             bool chinese);
};
