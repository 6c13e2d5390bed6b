// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectralTableModel.h"

#include "ColumnModel.h"
#include "ExportTable.h"
#include "MeterKind.h"
#include "RecordDecoder.h"
#include "RecordRowTexts.h"
#include "SpectralValues.h"
#include "TableRoles.h"
#include "TextCatalogue.h"

SpectralTableModel::SpectralTableModel(int uiIndex, QObject *parent)
    : QAbstractTableModel(parent),
      kind(MeterKind::find(uiIndex))
{}

void SpectralTableModel::setChinese(bool languageFlag)
{
    if (chinese == languageFlag)
        return;
    chinese = languageFlag;
    if (rowCount() > 0 && columnCount() > 0) {
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
        Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
    }
}

int SpectralTableModel::nameColumn() const
{
    if (comparison)
        return comparisonNames ? 1 : -1;
    return kind && kind->spectralName ? 1 : -1;
}

bool SpectralTableModel::measuresLuminance() const
{
    return kind && !kind->standardColumns.isEmpty() && kind->standardColumns.first().title == Text::Luminance;
}

int SpectralTableModel::firstValueColumn() const
{
    return nameColumn() == 1 ? 2 : 1;
}

void SpectralTableModel::setUp(const QList<int> &unitSlots, const UnitCatalog &unitCatalog)
{
    if (unitSlots.size() < MeterFacts::UnitSlotCount)
        return;
    QList<int> wavelengthSlots;
    for (int i = 0; i < MeterFacts::SpectralValueCount; ++i)
        wavelengthSlots << MeterFacts::FirstWavelengthSlot + i;
    QList<int> decimals;
    const QList<ColumnUnit> units = ColumnModel::unitsOfSlots(wavelengthSlots, unitSlots, unitCatalog);
    for (const ColumnUnit &slotUnit : units)
        decimals << slotUnit.decimals;
    beginResetModel();
    unit = units.isEmpty() ? QString() : units.first().text;
    titled = true;
    titleChecked = true;
    comparison = false;
    wavelengthDecimals = decimals;
    spectra.clear();
    names.clear();
    endResetModel();
    Q_EMIT curvesChanged();
}

bool SpectralTableModel::appendRecord(const SpectralRecord &record, const QString &name)
{
    if (!titled)
        return false;
    const int row = rowCount();
    beginInsertRows({}, row, row);
    spectra.push_back(record);
    names.append(name);
    endInsertRows();
    Q_EMIT curvesChanged();
    return true;
}

void SpectralTableModel::appendDownload(const MeterFlow::Download &download, int mode, qint64 firstIndex)
{
    if (kind)
        appendRecords(download, *kind, mode, SpectralRecord(), 0, firstIndex);
}

void SpectralTableModel::setUpComparison(bool withNames)
{
    beginResetModel();
    titled = true;
    titleChecked = true;
    comparison = true;
    comparisonNames = withNames;
    // Every record brings its own decimals; these stand for none.
    wavelengthDecimals = QList<int>(MeterFacts::SpectralValueCount, 2);
    spectra.clear();
    names.clear();
    endResetModel();
    Q_EMIT curvesChanged();
}

void SpectralTableModel::appendCompared(const MeterFlow::Download &download, qint64 id, int uiIndex, int mode,
                                        const QList<int> &unitSlots, const UnitCatalog &unitCatalog)
{
    const MeterKind *recordKind = MeterKind::find(uiIndex);
    if (!recordKind || !comparison || unitSlots.size() < MeterFacts::UnitSlotCount)
        return;
    QList<int> wavelengthSlots;
    for (int i = 0; i < MeterFacts::SpectralValueCount; ++i)
        wavelengthSlots << MeterFacts::FirstWavelengthSlot + i;
    SpectralRecord pattern;
    const QList<ColumnUnit> units = ColumnModel::unitsOfSlots(wavelengthSlots, unitSlots, unitCatalog);
    for (const ColumnUnit &unit : units)
        pattern.decimals << unit.decimals;
    // The wavelengths of a meter share one unit.
    pattern.unit = units.isEmpty() ? QString() : units.first().text;
    appendRecords(download, *recordKind, mode, pattern, id);
}

void SpectralTableModel::appendRecords(const MeterFlow::Download &download, const MeterKind &recordKind, int mode,
                                       const SpectralRecord &pattern, qint64 comparedId, qint64 firstIndex)
{
    for (qint64 k = 0; k < download.count; ++k) {
        SpectralRecord record = pattern;
        if (!SpectralValues::extract(download.records, int(k), recordKind, mode, record.values))
            break;
        RecordField photometric;
        if (SpectralValues::photometric(download.records, int(k), recordKind, mode, photometric)
            && photometric.marker == ValueMarker::None) {
            record.hasPhotometric = true;
            record.photometric = photometric.value;
        }
        record.tooDim = SpectralValues::tooDim(download.records, int(k), recordKind, mode);
        record.recordIndex = firstIndex + k;
        if (comparedId != 0) {
            record.download = comparedId;
            record.downloadRecord = int(k) + 1;
        }
        const QString name =
            recordKind.spectralName ? RecordDecoder::recordName(download.names, int(k)) : QString();
        if (!appendRecord(record, name))
            break;
    }
}

void SpectralTableModel::removeRecord(int index)
{
    if (index < 0 || index >= recordCount())
        return;
    beginRemoveRows({}, index + 1, index + 1);
    spectra.erase(spectra.begin() + index);
    names.removeAt(index);
    endRemoveRows();
    // The rows below took a new number.
    if (index < recordCount())
        Q_EMIT dataChanged(this->index(index + 1, 0), this->index(recordCount(), 0), {Qt::DisplayRole});
    Q_EMIT curvesChanged();
}

void SpectralTableModel::clearRecords()
{
    beginResetModel();
    spectra.clear();
    names.clear();
    endResetModel();
    Q_EMIT curvesChanged();
}

void SpectralTableModel::setCurveVisible(int row, bool visible)
{
    const bool wasTitleChecked = titleChecked;
    int first = 0, last = recordCount() - 1;
    if (row == 0) {
        titleChecked = visible;
        for (SpectralRecord &record : spectra)
            record.curveVisible = visible;
    } else if (row >= 1 && row <= recordCount()) {
        spectra[size_t(row - 1)].curveVisible = visible;
        first = last = row - 1;
        // Unticking one curve unticks the title box; ticking never ticks it.
        if (!visible)
            titleChecked = false;
    } else {
        return;
    }
    // One signal for the rows that changed: the title box with every record, or one record and
    // the title box where it changed too.
    const int column = curveColumn();
    if (column < 0) {
        // Not set up: no rows, nothing shown.
    } else if (row == 0) {
        Q_EMIT dataChanged(index(0, column), index(rowCount() - 1, column), {Qt::CheckStateRole});
    } else {
        Q_EMIT dataChanged(index(row, column), index(row, column), {Qt::CheckStateRole});
        if (titleChecked != wasTitleChecked)
            Q_EMIT dataChanged(index(0, column), index(0, column), {Qt::CheckStateRole});
    }
    if (first <= last)
        Q_EMIT curveVisibilityChanged(first, last);
}

QString SpectralTableModel::text(int row, int column) const
{
    const int values = firstValueColumn();
    if (row == 0) {
        if (column == 0)
            return TextCatalogue::text(Text::RowNumber, chinese);
        if (column == nameColumn())
            return TextCatalogue::text(Text::TestName, chinese);
        if (column >= values && column < values + MeterFacts::SpectralValueCount)
            return QStringLiteral("%1nm").arg(MeterFacts::FirstWavelength
                                              + MeterFacts::WavelengthStep * (column - values));
        if (column == curveColumn())
            return TextCatalogue::text(Text::Curve, chinese);
        return TextCatalogue::text(Text::Operation, chinese);
    }
    const SpectralRecord &record = spectra[size_t(row - 1)];
    if (column == 0)
        return record.numberText(row);
    if (column == nameColumn())
        return names.at(row - 1);
    if (column >= values && column < values + MeterFacts::SpectralValueCount) {
        const int i = column - values;
        const int shown = record.decimals.isEmpty() ? wavelengthDecimals.at(i) : record.decimals.value(i, 2);
        return RecordRowTexts::number(record.values[size_t(i)], shown);
    }
    if (column == operationColumn())
        return TextCatalogue::text(Text::DeleteButton, chinese);
    return QString(); // the curve column of a record: a check box without a label
}

ExportTable SpectralTableModel::exportTable(int firstNumber) const
{
    const int exported = qMax(columnCount() - 1, 0); // without the delete buttons
    ExportTable table(recordCount(), exported);
    for (int c = 0; c < exported; ++c) {
        // The curve column's title is a check box, not a text: it stays unset, as do its cells.
        if (c == curveColumn())
            continue;
        table.setHeaderText(c, text(0, c));
        // Record numbers and spectral values go out as numbers, names as texts.
        for (int r = 1; r <= recordCount(); ++r) {
            // A compared record's number names its download ("#12-3"): a text.
            if (c == 0 && spectra[size_t(r - 1)].isCompared())
                table.setCellText(r - 1, c, text(r, c));
            else if (c == 0)
                table.setCellNumber(r - 1, c, QString::number(firstNumber - 1 + r));
            else if (c == nameColumn())
                table.setCellText(r - 1, c, text(r, c));
            else
                table.setCellNumber(r - 1, c, text(r, c));
        }
    }
    return table;
}

int SpectralTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !titled)
        return 0;
    return 1 + recordCount();
}

int SpectralTableModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !titled)
        return 0;
    return firstValueColumn() + MeterFacts::SpectralValueCount + 2;
}

QVariant SpectralTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(row, column);
    case Qt::CheckStateRole:
        if (column != curveColumn())
            return {};
        return (row == 0 ? titleChecked : spectra[size_t(row - 1)].curveVisible) ? Qt::Checked : Qt::Unchecked;
    case Qt::TextAlignmentRole:
        // Titles and record cells are centred; check boxes and buttons keep their own places.
        if (column == curveColumn() || (row > 0 && column == operationColumn()))
            return {};
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::ToolTipRole: {
        // A compared record's values are in its own meter's unit: the cell says which.
        const int values = firstValueColumn();
        if (row == 0 || column < values || column >= values + MeterFacts::SpectralValueCount
            || spectra[size_t(row - 1)].unit.isEmpty())
            return {};
        return QStringLiteral("%1 %2").arg(text(row, column), spectra[size_t(row - 1)].unit);
    }
    case ButtonRole:
        return row > 0 && column == operationColumn();
    default:
        return {};
    }
}

QVariant SpectralTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == CompactColumnRole)
        return section == 0 || section == curveColumn() || section == operationColumn();
    // The header repeats the title row, so the titles stay in sight when the rows scroll; the
    // title row itself stays for the export and the title check box.
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && titled && section >= 0 && section < columnCount())
        return data(index(0, section), Qt::DisplayRole);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags SpectralTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid())
        return flags;
    // The title row is no record: a click on it (the title check box) selects nothing.
    if (index.row() == 0)
        flags &= ~Qt::ItemIsSelectable;
    if (index.column() == curveColumn())
        flags |= Qt::ItemIsUserCheckable;
    if (index.row() > 0 && index.column() == nameColumn())
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool SpectralTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.row() >= rowCount())
        return false;
    if (role == Qt::CheckStateRole && index.column() == curveColumn()) {
        setCurveVisible(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
        return true;
    }
    if (role == Qt::EditRole && index.row() > 0 && index.column() == nameColumn()) {
        names[index.row() - 1] = value.toString();
        Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
        return true;
    }
    return false;
}
