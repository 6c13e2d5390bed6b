// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"

#include <QList>
#include <QMap>
#include <QString>

class RecordsTableModel;
class SpectralTableModel;

// What the user made of a download's records in a table (names typed, rows deleted, curves
// ticked), as the archive keeps it: the window compares the table with what was saved last and
// saves the difference, and a table made again from the archive gets the saved edits back.
namespace TableEdits {

// One record as the table shows it.
struct RecordState
{
    bool deleted = false;
    QString name;
    bool ticked = true;

    bool operator==(const RecordState &other) const
    {
        return deleted == other.deleted && name == other.name && ticked == other.ticked;
    }
    bool operator!=(const RecordState &other) const { return !(*this == other); }
};
// By record index in the download.
using TableState = QMap<qint64, RecordState>;

// The records a table holds, by record index (records that came from no download left out).
TableState stateOf(const RecordsTableModel &table);
TableState stateOf(const SpectralTableModel &table);

// The table now, with every record of `saved` the table no longer holds marked deleted (its name
// and tick as saved). Records unknown to `saved` (not of the download) are left out.
TableState follow(const TableState &saved, const TableState &now);
// The edits that take the archive from `saved` to `now` (as follow() gives it): per record the
// fields that differ, by record index ascending.
QList<RecordEdit> changes(const TableState &saved, const TableState &now);

// Applies archived edits to a table just made from its download: deleted records go (for good:
// no undo brings them back), names and ticks as edited.
void apply(RecordsTableModel &table, const QList<RecordEdit> &edits);
void apply(SpectralTableModel &table, const QList<RecordEdit> &edits);

} // namespace TableEdits
