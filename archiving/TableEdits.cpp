// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableEdits.h"

#include "RecordsTableModel.h"
#include "SpectralTableModel.h"

#include <QHash>

namespace TableEdits {

TableState stateOf(const RecordsTableModel &table)
{
    TableState state;
    for (int row = 0; row < table.rowCount(); ++row)
        state.insert(table.recordIndex(row), {false, table.record(row).name, true});
    return state;
}

TableState stateOf(const SpectralTableModel &table)
{
    TableState state;
    for (int k = 0; k < table.recordCount(); ++k) {
        const SpectralRecord &record = table.records()[size_t(k)];
        if (record.recordIndex >= 0)
            state.insert(record.recordIndex, {false, table.recordNames().at(k), record.curveVisible});
    }
    return state;
}

TableState follow(const TableState &saved, const TableState &now)
{
    TableState followed;
    for (auto record = saved.cbegin(); record != saved.cend(); ++record) {
        const auto shown = now.constFind(record.key());
        if (shown != now.cend()) {
            followed.insert(record.key(), shown.value());
        } else {
            RecordState gone = record.value();
            gone.deleted = true;
            followed.insert(record.key(), gone);
        }
    }
    return followed;
}

QList<RecordEdit> changes(const TableState &saved, const TableState &now)
{
    QList<RecordEdit> edits;
    for (auto record = now.cbegin(); record != now.cend(); ++record) {
        const auto before = saved.constFind(record.key());
        if (before == saved.cend() || before.value() == record.value())
            continue;
        RecordEdit edit;
        edit.record = record.key();
        if (before->deleted != record->deleted)
            edit.deleted = record->deleted;
        if (before->name != record->name)
            edit.name = record->name;
        if (before->ticked != record->ticked)
            edit.ticked = record->ticked;
        edits.append(edit);
    }
    return edits;
}

namespace {

// The row of each record index, for tables of many records.
template <typename IndexOf>
QHash<qint64, int> rowsByRecord(int rows, const IndexOf &indexOf)
{
    QHash<qint64, int> byRecord;
    byRecord.reserve(rows);
    for (int row = 0; row < rows; ++row)
        byRecord.insert(indexOf(row), row);
    return byRecord;
}

} // namespace

void apply(RecordsTableModel &table, const QList<RecordEdit> &edits)
{
    const QHash<qint64, int> rowOf =
        rowsByRecord(table.rowCount(), [&table](int row) { return table.recordIndex(row); });
    QList<int> deleted;
    for (const RecordEdit &edit : edits) {
        const auto row = rowOf.constFind(edit.record);
        if (row == rowOf.cend())
            continue;
        if (edit.name && table.isNameColumn(0))
            table.setData(table.index(*row, 0), *edit.name);
        if (edit.deleted.value_or(false))
            deleted.append(*row);
    }
    table.removeRecords(deleted);
    table.forgetRemovals();
}

void apply(SpectralTableModel &table, const QList<RecordEdit> &edits)
{
    const QHash<qint64, int> recordAt = rowsByRecord(
        table.recordCount(), [&table](int k) { return table.records()[size_t(k)].recordIndex; });
    QList<int> deleted;
    for (const RecordEdit &edit : edits) {
        const auto k = recordAt.constFind(edit.record);
        if (k == recordAt.cend())
            continue;
        // Table row k + 1 shows record k: row 0 holds the titles.
        if (edit.name && table.nameColumn() >= 0)
            table.setData(table.index(*k + 1, table.nameColumn()), *edit.name);
        if (edit.ticked)
            table.setCurveVisible(*k + 1, *edit.ticked);
        if (edit.deleted.value_or(false))
            deleted.append(*k);
    }
    // Highest first, so that each removal leaves the others in place.
    std::sort(deleted.begin(), deleted.end(), std::greater<int>());
    for (const int k : std::as_const(deleted))
        table.removeRecord(k);
}

} // namespace TableEdits
