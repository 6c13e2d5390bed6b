// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourTableModel.h"

#include "ColourFigures.h"
#include "ExportTable.h"
#include "SpectralTableModel.h"
#include "TableRoles.h"
#include "TextCatalogue.h"
#include "TwoLineTitle.h"

ColourTableModel::ColourTableModel(const SpectralTableModel &spectra, QObject *parent)
    : QAbstractTableModel(parent),
      spectra(spectra),
      chinese(spectra.isChinese())
{
    computeRecords(0, spectra.recordCount() - 1, 0);

    connect(&spectra, &QAbstractItemModel::rowsInserted, this, &ColourTableModel::spectraInserted);
    connect(&spectra, &QAbstractItemModel::rowsRemoved, this, &ColourTableModel::spectraRemoved);
    connect(&spectra, &QAbstractItemModel::modelAboutToBeReset, this, &ColourTableModel::beginResetModel);
    connect(&spectra, &QAbstractItemModel::modelReset, this, &ColourTableModel::spectraReset);
    connect(&spectra, &QAbstractItemModel::dataChanged, this, &ColourTableModel::spectraChanged);
}

int ColourTableModel::nameColumn() const
{
    return spectra.nameColumn() < 0 ? -1 : 1;
}

void ColourTableModel::spectraInserted(const QModelIndex &parent, int first, int last)
{
    // The title row comes and goes only with a reset.
    if (parent.isValid() || first < 1)
        return;
    const int from = first - 1;
    const int to = last - 1;
    beginInsertRows({}, from, to);
    computeRecords(from, to, from);
    endInsertRows();
    numbersChangedFrom(to + 1);
}

void ColourTableModel::spectraRemoved(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid() || first < 1 || last > rowCount())
        return;
    const int from = first - 1;
    const int to = last - 1;
    beginRemoveRows({}, from, to);
    colours.erase(colours.begin() + from, colours.begin() + to + 1);
    opics.erase(opics.begin() + from, opics.begin() + to + 1);
    endRemoveRows();
    numbersChangedFrom(from);
}

void ColourTableModel::spectraReset()
{
    // beginResetModel ran when the spectral table was about to reset.
    chinese = spectra.isChinese();
    colours.clear();
    opics.clear();
    computeRecords(0, spectra.recordCount() - 1, 0);
    endResetModel();
}

void ColourTableModel::spectraChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    // The spectral table tells a language switch by a change of all its cells; every title and
    // text here follows, the figures themselves stay.
    if (spectra.isChinese() != chinese) {
        chinese = spectra.isChinese();
        if (columnCount() > 0)
            Q_EMIT headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
        if (rowCount() > 0 && columnCount() > 0)
            Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1),
                               {Qt::DisplayRole, Qt::ToolTipRole});
        return;
    }
    // Of the rest only a renamed record shows here; values never change in place, and curve
    // ticks and the spectral table's numbering are no concern of this table.
    const int spectralName = spectra.nameColumn();
    if (spectralName < 0 || topLeft.column() > spectralName || bottomRight.column() < spectralName)
        return;
    const int top = qMax(topLeft.row(), 1) - 1;
    const int bottom = qMin(bottomRight.row() - 1, rowCount() - 1);
    if (top <= bottom)
        Q_EMIT dataChanged(index(top, nameColumn()), index(bottom, nameColumn()), {Qt::DisplayRole});
}

void ColourTableModel::computeRecords(int first, int last, int row)
{
    if (last < first)
        return;
    std::vector<ColourMetrics> addedColours;
    std::vector<RecordOpic> addedOpics;
    addedColours.reserve(size_t(last - first + 1));
    addedOpics.reserve(size_t(last - first + 1));
    for (int k = first; k <= last; ++k) {
        const SpectralRecord &record = spectra.records().at(size_t(k));
        // A record the meter marked as too dim has only noise for a spectrum: its colour stays
        // invalid, so every figure reads "----".
        addedColours.push_back(record.tooDim ? ColourMetrics{} : SpectrumColour::compute(record.values));
        addedOpics.push_back(RecordOpic::of(record));
    }
    colours.insert(colours.begin() + row, addedColours.begin(), addedColours.end());
    opics.insert(opics.begin() + row, addedOpics.begin(), addedOpics.end());
}

void ColourTableModel::numbersChangedFrom(int row)
{
    if (row < rowCount())
        Q_EMIT dataChanged(index(row, 0), index(rowCount() - 1, 0), {Qt::DisplayRole});
}

QString ColourTableModel::title(int column) const
{
    if (column == 0)
        return TextCatalogue::text(Text::RowNumber, spectra.isChinese());
    if (column == nameColumn())
        return TextCatalogue::text(Text::TestName, spectra.isChinese());
    if (column >= firstMelanopicColumn())
        return MelanopicFigures::title(MelanopicFigures::Figure(column - firstMelanopicColumn()), spectra.isChinese(),
                                       spectra.measuresLuminance());
    return ColourFigures::title(ColourFigures::Figure(column - firstFigureColumn()), spectra.isChinese());
}

QString ColourTableModel::name(int row) const
{
    // Read from the spectral table, where a record is renamed; empty while a row the spectral
    // table already removed is still being removed here.
    return spectra.data(spectra.index(row + 1, spectra.nameColumn())).toString();
}

bool ColourTableModel::tooDim(int row) const
{
    // Read from the spectral table's record; false while a row it already removed is still being
    // removed here.
    const std::vector<SpectralRecord> &records = spectra.records();
    return row >= 0 && size_t(row) < records.size() && records[size_t(row)].tooDim;
}

QString ColourTableModel::text(int row, int column) const
{
    if (column == 0) {
        const std::vector<SpectralRecord> &records = spectra.records();
        return size_t(row) < records.size() ? records[size_t(row)].numberText(row + 1) : QString::number(row + 1);
    }
    if (column == nameColumn())
        return name(row);
    if (column >= firstMelanopicColumn())
        return MelanopicFigures::text(opics[size_t(row)], MelanopicFigures::Figure(column - firstMelanopicColumn()),
                                      spectra.isChinese());
    return ColourFigures::text(colours[size_t(row)], ColourFigures::Figure(column - firstFigureColumn()),
                               spectra.isChinese());
}

ExportTable ColourTableModel::exportTable(int firstNumber) const
{
    // The export has every melanopic figure, also those the window leaves out.
    const int columns = columnCount() == 0 ? 0 : firstMelanopicColumn() + MelanopicFigures::Count;
    ExportTable table(rowCount(), columns);
    for (int c = 0; c < columns; ++c)
        table.setHeaderText(c, title(c));
    for (int r = 0; r < rowCount(); ++r) {
        // A compared record's number names its download: a text.
        if (const SpectralRecord &record = spectra.records()[size_t(r)]; record.isCompared())
            table.setCellText(r, 0, record.numberText(r + 1));
        else
            table.setCellNumber(r, 0, QString::number(firstNumber + r));
        if (nameColumn() >= 0)
            table.setCellText(r, nameColumn(), name(r));
        for (int f = 0; f < ColourFigures::Count; ++f) {
            const auto figure = ColourFigures::Figure(f);
            const int column = firstFigureColumn() + f;
            // A figure the record does not give reads "----", a text.
            if (ColourFigures::has(colours[size_t(r)], figure))
                table.setCellNumber(r, column, text(r, column));
            else
                table.setCellText(r, column, text(r, column));
        }
        for (int f = 0; f < MelanopicFigures::Count; ++f) {
            const auto figure = MelanopicFigures::Figure(f);
            const int column = firstMelanopicColumn() + f;
            if (MelanopicFigures::has(opics[size_t(r)], figure))
                table.setCellNumber(r, column, text(r, column));
            else
                table.setCellText(r, column, text(r, column));
        }
    }
    return table;
}

int ColourTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(colours.size());
}

int ColourTableModel::columnCount(const QModelIndex &parent) const
{
    // No columns until the spectral table has its own.
    if (parent.isValid() || spectra.columnCount() == 0)
        return 0;
    return firstMelanopicColumn() + MelanopicFigures::ShownCount;
}

QVariant ColourTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    case Qt::ToolTipRole: {
        // A long name is cut to its column: the tooltip shows it whole.
        if (index.column() == nameColumn())
            return name(index.row());
        if (index.column() >= firstFigureColumn() && tooDim(index.row()))
            return TextCatalogue::text(Text::ColourTooDim, spectra.isChinese());
        const ColourMetrics &colour = colours[size_t(index.row())];
        if (index.column() != firstFigureColumn() + ColourFigures::Dominant || !colour.complementary
            || !ColourFigures::has(colour, ColourFigures::Dominant))
            return {};
        return TextCatalogue::text(Text::ComplementaryWavelength, spectra.isChinese());
    }
    default:
        return {};
    }
}

QVariant ColourTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section >= 0 && section < columnCount()) {
        // Titles on two lines: the table is narrower, and fits beside the charts on a laptop's screen.
        if (role == Qt::DisplayRole)
            return TwoLineTitle::split(title(section));
        if (role == CompactColumnRole)
            return section == 0;
        if (role == WidestColumnRole && section == nameColumn())
            return 16;
        // The figures come from 400–700 nm only; the first column is the record's number.
        if (role == Qt::ToolTipRole && section > 0)
            return QStringLiteral("%1\n%2").arg(title(section), TextCatalogue::text(Text::ColourRangeNote, chinese));
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}
