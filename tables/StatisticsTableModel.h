// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RecordStatistics.h"

#include <QAbstractTableModel>

#include <functional>

class RecordsTableModel;

// The records page's statistics strip: the figures of RecordStatistics over the selected rows of
// the records table, or over all of them when none is selected. Row f shows figure f; column 0
// holds the figures' labels, and every numeric column of the records table follows under its own
// title; summary() says which rows are counted. The figures follow the records table
// (rows added, removed, cleared, columns rebuilt, language) and, through refresh(), the selection.
// The records table must outlive it.
class StatisticsTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using SelectedRows = std::function<std::vector<RecordStatistics::RowRange>()>;

    explicit StatisticsTableModel(const RecordsTableModel &records, QObject *parent = nullptr);

    // Where the selected rows come from (no rows: all of them); none at first.
    void setSelectedRows(SelectedRows selected);
    // Computes the figures again.
    void refresh();

    const RecordStatistics &statistics() const { return figures; }
    // "统计: 全部 N 行" or "统计: 选中 n 行 (共 N 行)", in the records table's language.
    QString summary() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // How a figure is had, for its label's tooltip; none for the plain ones.
    QVariant tip(RecordStatistics::Figure figure) const;

    const RecordsTableModel &records;
    SelectedRows selected;
    RecordStatistics figures;
    bool selection = false; // the figures are those of selected rows
};
