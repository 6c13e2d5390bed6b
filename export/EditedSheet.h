// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BiffRecord.h"
#include "WorksheetCells.h"

#include <QString>
#include <QVector>

#include <memory>

// A worksheet substream taken apart for writing cells: its records apart from the cell table, kept
// as they are, and the cell table, which is rebuilt on writing (without INDEX and DBCELL, whose
// offsets would be stale) together with a DIMENSIONS record that covers it.
class EditedSheet
{
public:
    // Takes apart the bytes of one worksheet substream. Fails on a broken substream, a cell table
    // that does not fit the format, or a worksheet without DIMENSIONS.
    static std::unique_ptr<EditedSheet> read(const QByteArray &bytes, QString *error);

    WorksheetCells &cells() { return table; }
    const WorksheetCells &cells() const { return table; }

    // Appends the whole substream, from BOF to EOF.
    void write(QByteArray &out) const;

private:
    EditedSheet() = default;

    QVector<BiffRecord> records; // the substream without its cell table
    int cellTableAt = -1;        // the cell table is written before records[cellTableAt]
    int dimensionsAt = -1;
    WorksheetCells table;
};
