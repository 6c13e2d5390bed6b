// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"

#include <QHash>
#include <QList>
#include <QString>

// A download's records as the user left them, seen through the archive's edits: for a record by
// its index in the download (as the meter gave it), whether it was deleted, the name shown in place
// of the meter's and whether its curve is ticked. The same for every reader of an archived table
// (window, comparison, command-line export), so that they all show one current state.
class ArchiveEditsView
{
public:
    ArchiveEditsView() = default;
    explicit ArchiveEditsView(const QList<RecordEdit> &edits);

    // Whether no record was edited: the download reads as the meter gave it.
    bool isEmpty() const { return byRecord.isEmpty(); }
    bool isDeleted(qint64 record) const;
    // The name typed for the record, or the meter's name when none was.
    QString name(qint64 record, const QString &meterName) const;
    bool hasName(qint64 record) const;
    // Whether the record's curve is shown; `meterTick` when the user never changed it.
    bool isTicked(qint64 record, bool meterTick = true) const;
    // The records of a download of `count` records that were not deleted, ascending.
    QList<qint64> kept(qint64 count) const;
    // The record (its index as the meter gave it) at a place among the records not deleted.
    qint64 originalOf(qint64 keptPlace) const;
    // How many of a download's first `count` records were deleted.
    qint64 deletedBefore(qint64 count) const;
    // The edits, one per record that has any field set, by record index ascending.
    QList<RecordEdit> edits() const;

private:
    QHash<qint64, RecordEdit> byRecord;
    QList<qint64> deleted; // ascending
};
