// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"

#include <QAbstractTableModel>

// The archived downloads as the history lists them, newest first: number, time (local), the title
// and location of its notes, serial number, model code, the kind by name, record count and which
// table it filled.
class ArchiveListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        Id,
        Downloaded,
        Title,
        Location,
        Serial,
        Model,
        Kind,
        Records,
        Table,
        ColumnCount
    };
    // What the history's filter reads (in the serial number's column): the serial number and
    // every text of the notes, one a line.
    static constexpr int SearchRole = Qt::UserRole + 1;

    explicit ArchiveListModel(bool chinese, QObject *parent = nullptr);

    void setEntries(QList<ArchiveEntry> entries);
    const QList<ArchiveEntry> &entries() const { return listed; }
    // The notes of a listed download, as they were saved from the history (no listed download:
    // nothing changes).
    void setNotes(qint64 id, const ArchiveNotes &notes);

    // The name of meter kind `uiIndex` in the language; its number for a kind unknown to this program.
    static QString kindName(int uiIndex, bool chinese);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString cellText(const ArchiveEntry &entry, int column) const;

    const bool chinese;
    QList<ArchiveEntry> listed;
};
