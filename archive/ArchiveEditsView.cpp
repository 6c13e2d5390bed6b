// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveEditsView.h"

#include <algorithm>

ArchiveEditsView::ArchiveEditsView(const QList<RecordEdit> &edits)
{
    for (const RecordEdit &edit : edits) {
        // A later edit of the same record adds to the earlier one, field by field.
        RecordEdit &held = byRecord[edit.record];
        held.record = edit.record;
        held.deleted = edit.deleted ? edit.deleted : held.deleted;
        held.name = edit.name ? edit.name : held.name;
        held.ticked = edit.ticked ? edit.ticked : held.ticked;
    }
    for (const RecordEdit &edit : std::as_const(byRecord)) {
        if (edit.deleted.value_or(false))
            deleted << edit.record;
    }
    std::sort(deleted.begin(), deleted.end());
}

bool ArchiveEditsView::isDeleted(qint64 record) const
{
    return std::binary_search(deleted.cbegin(), deleted.cend(), record);
}

QString ArchiveEditsView::name(qint64 record, const QString &meterName) const
{
    const auto found = byRecord.constFind(record);
    return found != byRecord.cend() && found->name ? *found->name : meterName;
}

bool ArchiveEditsView::hasName(qint64 record) const
{
    const auto found = byRecord.constFind(record);
    return found != byRecord.cend() && found->name.has_value();
}

bool ArchiveEditsView::isTicked(qint64 record, bool meterTick) const
{
    const auto found = byRecord.constFind(record);
    return found != byRecord.cend() && found->ticked ? *found->ticked : meterTick;
}

QList<qint64> ArchiveEditsView::kept(qint64 count) const
{
    QList<qint64> records;
    records.reserve(qMax<qint64>(0, count - deletedBefore(count)));
    for (qint64 record = 0; record < count; ++record) {
        if (!isDeleted(record))
            records << record;
    }
    return records;
}

qint64 ArchiveEditsView::deletedBefore(qint64 count) const
{
    return std::lower_bound(deleted.cbegin(), deleted.cend(), count) - deleted.cbegin();
}

QList<RecordEdit> ArchiveEditsView::edits() const
{
    QList<RecordEdit> all;
    for (const RecordEdit &edit : std::as_const(byRecord)) {
        if (edit.deleted || edit.name || edit.ticked)
            all << edit;
    }
    std::sort(all.begin(), all.end(), [](const RecordEdit &a, const RecordEdit &b) { return a.record < b.record; });
    return all;
}

qint64 ArchiveEditsView::originalOf(qint64 keptPlace) const
{
    // The records kept up to and including r rise with r, by one at each record kept: the first
    // r at which they reach keptPlace + 1 is the record sought (and never a deleted one).
    qint64 low = keptPlace;
    qint64 high = keptPlace + deleted.size();
    while (low < high) {
        const qint64 middle = low + (high - low) / 2;
        if (middle + 1 - deletedBefore(middle + 1) >= keptPlace + 1)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}
