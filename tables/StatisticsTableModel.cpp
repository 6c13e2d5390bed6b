// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatisticsTableModel.h"

#include "RecordsTableModel.h"
#include "TableRoles.h"
#include "TextCatalogue.h"

StatisticsTableModel::StatisticsTableModel(const RecordsTableModel &records, QObject *parent)
    : QAbstractTableModel(parent),
      records(records)
{
    // Every change of the records table changes the figures or their texts.
    const auto changed = [this] { refresh(); };
    connect(&records, &QAbstractItemModel::rowsInserted, this, changed);
    connect(&records, &QAbstractItemModel::rowsRemoved, this, changed);
    connect(&records, &QAbstractItemModel::modelReset, this, changed);
    connect(&records, &QAbstractItemModel::dataChanged, this, changed);
    connect(&records, &QAbstractItemModel::headerDataChanged, this, changed);
    refresh();
}

void StatisticsTableModel::setSelectedRows(SelectedRows rows)
{
    selected = std::move(rows);
    refresh();
}

void StatisticsTableModel::refresh()
{
    beginResetModel();
    std::vector<RecordStatistics::RowRange> ranges;
    if (selected)
        ranges = selected();
    selection = !ranges.empty();
    figures.start(records);
    figures.addRows(records, std::move(ranges));
    // A selection of rows the table no longer has counts as none.
    if (selection && figures.rowCount() == 0) {
        selection = false;
        figures.start(records);
        figures.addRows(records);
    }
    endResetModel();
}

QString StatisticsTableModel::summary() const
{
    const bool chinese = records.isChinese();
    if (!selection)
        return TextCatalogue::text(Text::StatisticsAllRows, chinese).arg(records.rowCount());
    return TextCatalogue::text(Text::StatisticsSelectedRows, chinese).arg(figures.rowCount()).arg(records.rowCount());
}

int StatisticsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || figures.columns().empty() ? 0 : RecordStatistics::FigureCount;
}

int StatisticsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || figures.columns().empty() ? 0 : int(figures.columns().size()) + 1;
}

QVariant StatisticsTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    const auto figure = RecordStatistics::Figure(index.row());
    if (role == Qt::ToolTipRole && index.column() == 0)
        return tip(figure);
    if (role != Qt::DisplayRole)
        return {};
    if (index.column() == 0)
        return RecordStatistics::figureLabel(figure, records.isChinese());
    return figures.text(figures.columns()[size_t(index.column() - 1)], figure, records.isChinese());
}

QVariant StatisticsTableModel::tip(RecordStatistics::Figure figure) const
{
    switch (figure) {
    case RecordStatistics::Values:
        return TextCatalogue::text(Text::StatisticsCountTip, records.isChinese());
    case RecordStatistics::Deviation:
        return TextCatalogue::text(Text::StatisticsDeviationTip, records.isChinese());
    case RecordStatistics::U0:
        return TextCatalogue::text(Text::StatisticsU0Tip, records.isChinese());
    case RecordStatistics::Ud:
        return TextCatalogue::text(Text::StatisticsUdTip, records.isChinese());
    case RecordStatistics::Minimum:
    case RecordStatistics::Maximum:
    case RecordStatistics::Mean:
        break;
    }
    return {};
}

QVariant StatisticsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < columnCount()) {
        if (role == Qt::DisplayRole) {
            if (section == 0)
                return TextCatalogue::text(Text::StatisticsFigure, records.isChinese());
            return records.headerData(figures.columns()[size_t(section - 1)].column, Qt::Horizontal, role);
        }
        if (role == CompactColumnRole)
            return false;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}
