// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordsTableModel.h"

#include "ExportTable.h"
#include "MeterKind.h"
#include "RecordDecoder.h"
#include "RecordRowTexts.h"
#include "TableRoles.h"
#include "TextCatalogue.h"

#include <algorithm>
#include <functional>

namespace {

bool sameTitles(const QList<ColumnTitle> &a, const QList<ColumnTitle> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const ColumnTitle &x, const ColumnTitle &y) {
        return x.title == y.title && x.unit == y.unit;
    });
}

} // namespace

RecordsTableModel::RecordsTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void RecordsTableModel::setChinese(bool languageFlag)
{
    if (chinese == languageFlag)
        return;
    chinese = languageFlag;
    if (columnCount() > 0)
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    if (rowCount() > 0 && columnCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

void RecordsTableModel::setUpColumns(int uiIndex, int mode, const QList<int> &unitSlots, const UnitCatalog &unitCatalog)
{
    ColumnSetup setup = ColumnModel::setUpColumns(uiIndex, mode, unitSlots, unitCatalog);
    if (setup.unchanged)
        return;
    setup.applyDecimals(decimalsLists);
    // The same columns again (a language switch, a meter of the same kind): the views keep their
    // selection, current cell and open editor.
    if (sameTitles(setup.titles, columns.titles)) {
        columns = std::move(setup);
        return;
    }
    beginResetModel();
    columns = std::move(setup);
    endResetModel();
}

void RecordsTableModel::appendDownload(int uiIndex, int mode, const MeterFlow::Download &download,
                                       const ProbeNames &probeNames, qint64 firstIndex)
{
    const MeterKind *kind = MeterKind::find(uiIndex);
    if (!kind)
        return;
    const RecordDecoder decoder(*kind, mode, probeNames);
    const QList<int> &decimals = decimalsLists[size_t(uiIndex - 1)];
    const qint64 available = qMin<qint64>(download.count, decoder.availableRecords(download.records, download.names));
    std::vector<Row> added;
    added.reserve(size_t(qMax<qint64>(available, 0)));
    DecodedRecord record;
    for (int j = 0; j < available; ++j) {
        if (decoder.decode(download.records, download.names, j, record)
            && RecordRowTexts::fits(*kind, mode, record, decimals))
            added.push_back({kind, decimals, std::move(record), firstIndex + j});
    }
    if (added.empty())
        return;
    removals.clear();
    const int first = rowCount();
    beginInsertRows({}, first, first + int(added.size()) - 1);
    rows.insert(rows.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    endInsertRows();
}

void RecordsTableModel::removeRecord(int row)
{
    removeRecords({row});
}

void RecordsTableModel::removeRecords(QList<int> rowList)
{
    std::sort(rowList.begin(), rowList.end(), std::greater<int>());
    rowList.erase(std::unique(rowList.begin(), rowList.end()), rowList.end());
    std::vector<std::pair<int, Row>> removed;
    for (const int row : std::as_const(rowList)) {
        if (row < 0 || row >= rowCount())
            continue;
        beginRemoveRows({}, row, row);
        removed.emplace_back(row, std::move(rows[size_t(row)]));
        rows.erase(rows.begin() + row);
        endRemoveRows();
    }
    if (removed.empty())
        return;
    std::reverse(removed.begin(), removed.end());
    removals.push_back(std::move(removed));
}

bool RecordsTableModel::undoRemoval()
{
    if (removals.empty())
        return false;
    std::vector<std::pair<int, Row>> removed = std::move(removals.back());
    removals.pop_back();
    // Lowest place first: each row goes back where it was before the rows above it returned.
    for (auto &[row, content] : removed) {
        const int place = qBound(0, row, rowCount());
        beginInsertRows({}, place, place);
        rows.insert(rows.begin() + place, std::move(content));
        endInsertRows();
    }
    return true;
}

void RecordsTableModel::clear()
{
    removals.clear();
    if (rows.empty())
        return;
    beginResetModel();
    rows.clear();
    rows.shrink_to_fit();
    endResetModel();
}

bool RecordsTableModel::isNameColumn(int column) const
{
    return column == 0 && !columns.titles.isEmpty() && columns.titles.first().title == Text::TestName;
}

int RecordsTableModel::cellCount(const Row &row) const
{
    // A row has its name (where the kind has one) and one cell per field; cells past the table's
    // columns have nowhere to go.
    const int cells = int(row.record.fields.size()) + (row.kind->nameColumn ? 1 : 0);
    return qMin(cells, columnCount());
}

QString RecordsTableModel::cellText(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0)
        return QString();
    const Row &entry = rows[size_t(row)];
    if (column >= cellCount(entry))
        return QString();
    const int field = entry.kind->nameColumn ? column - 1 : column;
    if (field < 0)
        return entry.record.name;
    return RecordRowTexts::fieldText(entry.record.fields[size_t(field)], entry.decimals.at(field), chinese,
                                     entry.record.probeName);
}

Text RecordsTableModel::columnTitle(int column) const
{
    if (column < 0 || column >= operationColumn())
        return Text::Operation;
    return columns.titles.at(column).title;
}

RecordsTableModel::RowFields RecordsTableModel::rowFields(int row) const
{
    const Row &entry = rows[size_t(row)];
    return {entry.record.fields, entry.decimals, entry.kind->nameColumn ? 1 : 0};
}

ExportTable RecordsTableModel::exportTable(const QStringList &exportHeaders) const
{
    const int exported = qMax(columnCount() - 1, 0); // without the delete buttons
    ExportTable table(rowCount(), exported);
    for (int c = 0; c < exported && c < exportHeaders.size(); ++c)
        table.setHeaderText(c, exportHeaders.at(c));
    for (int r = 0; r < rowCount(); ++r) {
        const Row &entry = rows[size_t(r)];
        const int cells = qMin(cellCount(entry), exported);
        for (int c = 0; c < cells; ++c) {
            // Measured values go out as numbers; names and marker texts as texts.
            const int field = entry.kind->nameColumn ? c - 1 : c;
            if (field >= 0 && entry.record.fields[size_t(field)].marker == ValueMarker::None)
                table.setCellNumber(r, c, cellText(r, c));
            else
                table.setCellText(r, c, cellText(r, c));
        }
    }
    return table;
}

int RecordsTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int RecordsTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns.titles.size());
}

QVariant RecordsTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (index.column() == operationColumn()) {
            // The delete button stands in the last column of rows whose cells end just before it.
            if (cellCount(rows[size_t(index.row())]) == operationColumn())
                return TextCatalogue::text(Text::DeleteButton, chinese);
            return {};
        }
        return cellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case ButtonRole:
        return index.column() == operationColumn() && cellCount(rows[size_t(index.row())]) == operationColumn();
    default:
        return {};
    }
}

QVariant RecordsTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columnCount())
        return columns.titles.at(section).text(chinese);
    if (orientation == Qt::Horizontal && role == CompactColumnRole)
        return section == operationColumn();
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags RecordsTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && isNameColumn(index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool RecordsTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() >= rowCount() || !isNameColumn(index.column()))
        return false;
    rows[size_t(index.row())].record.name = value.toString();
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}
