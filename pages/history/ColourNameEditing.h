// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIdentityProxyModel>

class ColourTableModel;
class SpectralTableModel;

// A colour table as the History dialog lets the user edit it: its name cells take a typed name,
// which goes to the record in the spectral table the colours follow (and so to the download's
// edits, as a name typed on the spectral page). Every other cell stays as the colours read.
class ColourNameEditing : public QIdentityProxyModel
{
    Q_OBJECT

public:
    // `spectra` is the table `colours` follows; both must outlive the proxy.
    ColourNameEditing(ColourTableModel &colours, SpectralTableModel &spectra, QObject *parent);

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    bool isName(const QModelIndex &index) const;

    const ColourTableModel &colours;
    SpectralTableModel &spectra;
};
