// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEditsView.h"
#include "DownloadTables.h"

#include <memory>

// An archived download as the user left it: the records the meter gave, without those deleted
// (the others numbered on without a gap, as the window shows them), with the names typed in place
// of the meter's and the curves ticked or not. Batches are read from the original records a run
// at a time, so that the edited download streams like any other.
class EditedDownload
{
public:
    EditedDownload(const QList<RecordEdit> &edits, qint64 originalCount, DownloadTables::BatchOf original);

    // The records left.
    qint64 count() const { return keptCount; }
    // The records [first, first + count) of those left.
    const DownloadTables::BatchOf &batchOf() const { return edited; }
    // Has the tables put the typed names and ticks on each batch they load from batchOf().
    void applyTo(DownloadTables &tables) const;

private:
    std::shared_ptr<const ArchiveEditsView> view;
    qint64 keptCount = 0;
    DownloadTables::BatchOf edited;
};
