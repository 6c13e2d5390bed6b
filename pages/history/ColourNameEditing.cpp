// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourNameEditing.h"

#include "ColourTableModel.h"
#include "SpectralTableModel.h"

ColourNameEditing::ColourNameEditing(ColourTableModel &colourTable, SpectralTableModel &spectralTable,
                                     QObject *parent)
    : QIdentityProxyModel(parent),
      colours(colourTable),
      spectra(spectralTable)
{
    setSourceModel(&colourTable);
}

bool ColourNameEditing::isName(const QModelIndex &index) const
{
    return index.isValid() && colours.nameColumn() >= 0 && index.column() == colours.nameColumn();
}

Qt::ItemFlags ColourNameEditing::flags(const QModelIndex &index) const
{
    const Qt::ItemFlags shown = QIdentityProxyModel::flags(index);
    return isName(index) ? shown | Qt::ItemIsEditable : shown;
}

QVariant ColourNameEditing::data(const QModelIndex &index, int role) const
{
    // The editor opens on the record's name as the spectral table holds it.
    if (role == Qt::EditRole && isName(index))
        return spectra.data(spectra.index(index.row() + 1, spectra.nameColumn()), Qt::EditRole);
    return QIdentityProxyModel::data(index, role);
}

bool ColourNameEditing::setData(const QModelIndex &index, const QVariant &value, int role)
{
    // Row r of the colours is record r, row r + 1 of the spectral table (below its title row).
    if (role != Qt::EditRole || !isName(index))
        return false;
    return spectra.setData(spectra.index(index.row() + 1, spectra.nameColumn()), value, Qt::EditRole);
}
