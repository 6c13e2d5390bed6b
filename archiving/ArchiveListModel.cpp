// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveListModel.h"

#include "MeterFlow.h"
#include "MeterKind.h"
#include "TextCatalogue.h"
#include "TwoLineTitle.h"

ArchiveListModel::ArchiveListModel(bool chinese, QObject *parent)
    : QAbstractTableModel(parent),
      chinese(chinese)
{}

void ArchiveListModel::setEntries(QList<ArchiveEntry> entries)
{
    beginResetModel();
    listed = std::move(entries);
    endResetModel();
}

void ArchiveListModel::setNotes(qint64 id, const ArchiveNotes &notes)
{
    for (int row = 0; row < rowCount(); ++row) {
        if (listed.at(row).id != id)
            continue;
        listed[row].notes = notes;
        Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
        return;
    }
}

QString ArchiveListModel::kindName(int uiIndex, bool chinese)
{
    if (uiIndex < MeterKind::First || uiIndex > MeterKind::Last)
        return QString::number(uiIndex);
    return TextCatalogue::text(Text(int(Text::KindName1) + uiIndex - MeterKind::First), chinese);
}

int ArchiveListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(listed.size());
}

int ArchiveListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ArchiveListModel::cellText(const ArchiveEntry &entry, int column) const
{
    switch (column) {
    case Id:
        return QString::number(entry.id);
    case Downloaded:
        return entry.downloadedUtc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case Serial:
        return MeterFlow::serialText(entry.keyInfo);
    case Model:
        return QString::number(qint32(entry.keyInfo.modelCode));
    case Kind:
        return kindName(entry.uiIndex, chinese);
    case Records:
        return QString::number(entry.recordCount);
    case Table:
        switch (entry.table) {
        case ArchivedTable::Records:
            return TextCatalogue::text(Text::HistoryRecords, chinese);
        case ArchivedTable::Spectra:
            return TextCatalogue::text(Text::HistorySpectra, chinese);
        case ArchivedTable::Colours:
            return TextCatalogue::text(Text::HistoryColours, chinese);
        }
        return QString::number(int(entry.table));
    case Title:
        return entry.notes.title;
    case Location:
        return entry.notes.location;
    }
    return QString();
}

QVariant ArchiveListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    const ArchiveEntry &entry = listed.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return cellText(entry, index.column());
    case Qt::ToolTipRole:
        // The kind's number stays at hand behind its name; a title or location cut short, whole.
        if (index.column() == Title || index.column() == Location)
            return cellText(entry, index.column());
        return index.column() == Kind ? QStringLiteral("%1 (%2)").arg(cellText(entry, Kind)).arg(entry.uiIndex)
                                      : QVariant();
    case Qt::TextAlignmentRole:
        // Notes are read from their start.
        if (index.column() == Title || index.column() == Location)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        return QVariant::fromValue(Qt::AlignCenter);
    case SearchRole:
        return QStringList{cellText(entry, Serial), entry.notes.title, entry.notes.location,
                           entry.notes.operatorName, entry.notes.text}
            .join(QLatin1Char('\n'));
    }
    return {};
}

QVariant ArchiveListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    static constexpr Text titles[] = {Text::HistoryId,          Text::MeterSheetDownloaded, Text::MeterSheetTitle,
                                      Text::MeterSheetLocation, Text::MeterSheetSerial,     Text::MeterSheetModel,
                                      Text::MeterSheetKind,      Text::MeterSheetRecords,    Text::HistoryTable};
    static_assert(sizeof titles / sizeof titles[0] == ColumnCount, "one title per column");
    // Titles on two lines: the list fits beside the notes on a laptop's screen.
    return TwoLineTitle::split(TextCatalogue::text(titles[section], chinese));
}
