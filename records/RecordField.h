#pragma once

#include <QList>
#include <QString>

// One decoded value of a stored record. A non-empty text stands in for the number in the table
// (a value marker's text, or a probe name).
struct RecordField
{
    float value = 0.0f;
    QString text;
};

// One stored record decoded for the records table: the name (kinds with a name column, otherwise
// empty) and the measurement fields in column order.
struct DecodedRecord
{
    QString name;
    QList<RecordField> fields;
};
