#pragma once

#include "RecordField.h"
#include "RowLayout.h"

#include <QList>
#include <QStringList>

// The cell texts of one records-table row, shared by the window and the command line so that
// both show and write the very same texts.
class RecordRowTexts
{
public:
    // The text of one measurement cell: the field's text when it has one, otherwise its value in
    // fixed notation with the given number of decimals (3.14159 with 2 gives "3.14", with 0 "3").
    static QString fieldText(const RecordField &field, int decimals);

    // The texts of a row without the delete-button column: the name first for layouts with a
    // name column, then one text per measurement field, entry k of decimals formatting field k.
    // False (cells untouched) when decimals is shorter than the layout needs, or the record does
    // not hold the layout's fields: such a record gets no row.
    static bool cells(const RowLayout &layout, const DecodedRecord &record, const QList<int> &decimals,
                      QStringList &cells);
};
