// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"
#include "ColumnModel.h"
#include "MeterFlow.h"
#include "RecordField.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class ExportTable;
struct MeterKind;

// The records table: one row per downloaded measurement record, holding the decoded values with
// their markers, the record's name and probe name. Texts are made on demand in the model's
// language, so switching the language re-labels every cell and title without reading them back.
//
// Columns: the name column for kinds that have one, the measurement columns, and the last
// column "操作"/"Operation", whose cells carry the "删除"/"Delete" text of the row's delete button.
class RecordsTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit RecordsTableModel(QObject *parent = nullptr);

    bool isChinese() const { return chinese; }
    // Re-labels the titles, marker cells and delete buttons.
    void setChinese(bool languageFlag);

    // Rebuilds the columns and the decimals list of the kind from the unit slots and the unit
    // catalog; fewer than 60 slots change nothing. Rows stay.
    void setUpColumns(int uiIndex, int mode, const QList<int> &unitSlots, const UnitCatalog &unitCatalog);
    const DecimalsLists &decimals() const { return decimalsLists; }

    // Decodes the downloaded records of the kind and mode and appends, in one step, one row per
    // record whose fields the kind's decimals list covers. The download's first record is record
    // firstIndex of the meter's (a download read in parts numbers each part on).
    void appendDownload(int uiIndex, int mode, const MeterFlow::Download &download, const ProbeNames &probeNames,
                        qint64 firstIndex = 0);
    void removeRecord(int row);
    // Removes the rows (any order, duplicates ignored) as one deletion that undoRemoval() can
    // bring back, names as they were; clear() and a new download forget the deletions.
    void removeRecords(QList<int> rows);
    // Puts the rows of the last deletion not yet undone back in their places; false when there is none.
    bool undoRemoval();
    bool canUndoRemoval() const { return !removals.empty(); }
    // Deletions that cannot be undone (edits kept from an earlier session, applied again).
    void forgetRemovals() { removals.clear(); }
    void clear();

    // The last column (the delete buttons); -1 without columns.
    int operationColumn() const { return columnCount() - 1; }
    // Whether the column holds record names (column 0 of kinds with a name column).
    bool isNameColumn(int column) const;
    // The decoded record of a row (0 <= row < rowCount()).
    const DecodedRecord &record(int row) const { return rows[size_t(row)].record; }
    // Which record of its download a row shows (0-based, as the meter numbered them): rows keep
    // it through deletions, so that edits can name the record whatever row it stands in.
    qint64 recordIndex(int row) const { return rows[size_t(row)].recordIndex; }
    // The text of a data cell; empty where the row has no cell.
    QString cellText(int row, int column) const;
    // The title of a column (Text::TestName for a name column); Text::Operation past the data.
    Text columnTitle(int column) const;
    // A row's decoded fields as they stand in the table: field k in column firstColumn + k, shown
    // with decimals[k] (RecordRowTexts::shownValue gives the number a cell's text reads). For
    // whole-table figures, without a call per cell; row must be a row of the table.
    struct RowFields
    {
        const std::vector<RecordField> &fields;
        const QList<int> &decimals;
        int firstColumn;
    };
    RowFields rowFields(int row) const;

    // What the export writes: titled with exportHeaders (units from the built-in unit table), every
    // column but the delete buttons', every row.
    ExportTable exportTable(const QStringList &exportHeaders) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    struct Row
    {
        const MeterKind *kind;
        QList<int> decimals; // shared with the kind's list as it was when the row was added
        DecodedRecord record;
        qint64 recordIndex;
    };

    int cellCount(const Row &row) const;

    bool chinese = true;
    ColumnSetup columns;
    DecimalsLists decimalsLists;
    std::vector<Row> rows;
    // Each deletion not yet undone: its rows, lowest first, with the place each had.
    std::vector<std::vector<std::pair<int, Row>>> removals;
};
