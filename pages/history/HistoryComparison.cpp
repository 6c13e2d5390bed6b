// SPDX-License-Identifier: GPL-3.0-or-later
// The History dialog's comparison of spectral downloads.
#include "HistoryDialog.h"

#include "ArchiveListModel.h"
#include "MeasurementArchive.h"
#include "MeterPage.h"
#include "SpectralComparison.h"
#include "UserDialogs.h"

#include <QItemSelectionModel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

QPushButton *HistoryDialog::makeCompareButton()
{
    pushButton_compare = new QPushButton(text(Text::CompareButton), this);
    pushButton_compare->setObjectName(QStringLiteral("pushButton_compare"));
    connect(pushButton_compare, &QPushButton::clicked, this, &HistoryDialog::compareSelected);
    return pushButton_compare;
}

void HistoryDialog::followSelectionForCompare()
{
    const auto follow = [this] {
        const QList<ArchiveEntry> selected = selectedDownloads();
        int spectral = 0;
        for (const ArchiveEntry &entry : selected)
            spectral += SpectralComparison::comparable(entry) ? 1 : 0;
        Text why = Text::CompareTip;
        if (spectral < int(selected.size()))
            why = Text::CompareOnlySpectra;
        else if (spectral < 2)
            why = Text::CompareNeedsTwo;
        pushButton_compare->setEnabled(why == Text::CompareTip);
        pushButton_compare->setToolTip(text(why));
    };
    connect(tableView_downloads->selectionModel(), &QItemSelectionModel::selectionChanged, this, follow);
    // A new listing or filter changes the selection without a word.
    connect(bySerial, &QAbstractItemModel::modelReset, this, follow);
    connect(bySerial, &QAbstractItemModel::layoutChanged, this, follow);
    connect(bySerial, &QAbstractItemModel::rowsRemoved, this, follow);
    follow();
}

QList<ArchiveEntry> HistoryDialog::selectedDownloads() const
{
    QList<ArchiveEntry> selected;
    if (!tableView_downloads->selectionModel())
        return selected;
    QModelIndexList rows = tableView_downloads->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    for (const QModelIndex &row : std::as_const(rows))
        selected.append(downloads->entries().at(bySerial->mapToSource(row).row()));
    return selected;
}

void HistoryDialog::compareSelected()
{
    if (!archive || !pushButton_compare->isEnabled())
        return;
    // Oldest first: a comparison reads as a lab's notebook does, from the earlier measurement on.
    QList<qint64> ids;
    const QList<ArchiveEntry> selected = selectedDownloads();
    for (auto entry = selected.crbegin(); entry != selected.crend(); ++entry)
        ids.append(entry->id);
    SpectralComparison comparison;
    QString message;
    if (!comparison.load(*archive, ids, chinese, message)) {
        dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(message));
        return;
    }
    auto *page = new MeterPage(comparison, chinese, dialogs, this);
    page->setAttribute(Qt::WA_DeleteOnClose);
    page->open();
}
