// SPDX-License-Identifier: GPL-3.0-or-later
// The history dialog as the lab's notebook: the notes pane beside the list, and the opened table
// edited as the pages edit theirs, its edits kept in the download's archive entry.
#include "HistoryDialog.h"

#include "ArchiveListModel.h"
#include "ColourNameEditing.h"
#include "ColourTableModel.h"
#include "DataTableView.h"
#include "MeasurementArchive.h"
#include "NotesPane.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"
#include "SpectrumChartView.h"
#include "TableEditSaver.h"
#include "UserDialogs.h"
#include "WindowArchive.h"

#include <QAction>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

bool HistoryDialog::selectedEdits(QList<RecordEdit> &recordEdits)
{
    const qint64 id = selectedId();
    if (id == 0 || !archive)
        return false;
    if (archive->edits(id, recordEdits))
        return true;
    dialogs.information(this, text(Text::Tip), text(Text::HistoryUnavailable).arg(archive->errorString()));
    return false;
}

NotesPane *HistoryDialog::buildNotesPane(QWidget *parent)
{
    notesPane = new NotesPane(chinese, parent);
    notesPane->setObjectName(QStringLiteral("widget_notes"));
    connect(notesPane, &NotesPane::notesEdited, this, &HistoryDialog::saveNotes);
    return notesPane;
}

void HistoryDialog::showSelectedNotes()
{
    const QModelIndex current = bySerial->mapToSource(tableView_downloads->currentIndex());
    if (!current.isValid()) {
        notesPane->showNotes(0, {});
        return;
    }
    const ArchiveEntry &entry = downloads->entries().at(current.row());
    if (entry.id != notesPane->download())
        notesPane->showNotes(entry.id, entry.notes);
}

void HistoryDialog::saveNotes(qint64 id, const ArchiveNotes &notes, QList<NoteField> fields)
{
    // The list shows them at once (its title and location, its filter); fields that could not be
    // saved earlier go out again with these.
    downloads->setNotes(id, notes);
    for (const NoteField field : unsavedNotes.take(id)) {
        if (!fields.contains(field))
            fields.append(field);
    }
    WindowArchive::writeInBackground(
        [id, notes, fields](MeasurementArchive &writable) { return writable.setNotes(id, notes, fields); }, this,
        [this, id, fields](const std::optional<QString> &notSaved) {
            if (!notSaved) {
                notesFailureTold = false;
                return;
            }
            QList<NoteField> &pending = unsavedNotes[id];
            for (const NoteField field : fields) {
                if (!pending.contains(field))
                    pending.append(field);
            }
            // Told once, not at every field the user leaves while the archive cannot be written.
            if (!notesFailureTold) {
                notesFailureTold = true;
                dialogs.information(this, text(Text::Tip), text(Text::NotesNotSaved).arg(*notSaved));
            }
        });
}

void HistoryDialog::setUpTableEditing()
{
    tableView_download->enableRowDeletion(text(Text::DeleteButton));
    connect(tableView_download, &DataTableView::deleteRowsRequested, this, &HistoryDialog::deleteOpenedRows);
    connect(tableView_download, &DataTableView::buttonClicked, this,
            [this](int row) { deleteOpenedRows({row}); });
    connect(tableView_download, &DataTableView::cellDoubleClicked, this, &HistoryDialog::editOpenedName);
    auto *undo = new QAction(tableView_download);
    undo->setObjectName(QStringLiteral("action_undoDelete"));
    undo->setShortcut(QKeySequence::Undo);
    undo->setShortcutContext(Qt::WidgetShortcut);
    connect(undo, &QAction::triggered, this, &HistoryDialog::undoOpenedDeletion);
    tableView_download->addAction(undo);
}

void HistoryDialog::followOpened(qint64 id)
{
    openedId = 0;
    edits = nullptr;
    const auto follow = [this, id](QAbstractItemModel &table, std::function<TableEdits::TableState()> state) {
        openedId = id;
        edits = new TableEditSaver(table, std::move(state), this);
        connect(edits, &TableEditSaver::saveFailed, this, [this](const QString &reason) {
            dialogs.information(this, text(Text::Tip), text(Text::EditsNotSaved).arg(reason));
        });
        edits->setDownload(id);
    };
    // A colour table's edits are those of the spectra it follows: names typed in it, rows deleted.
    if (auto *records = qobject_cast<RecordsTableModel *>(opened))
        follow(*records, [records] { return TableEdits::stateOf(*records); });
    else if (SpectralTableModel *spectra = openedSpectra())
        follow(*spectra, [spectra] { return TableEdits::stateOf(*spectra); });
    pushButton_restore->setEnabled(openedId > 0);
}

SpectralTableModel *HistoryDialog::openedSpectra() const
{
    if (auto *spectra = qobject_cast<SpectralTableModel *>(opened))
        return spectra;
    // The colour table owns the spectra it follows.
    if (qobject_cast<ColourTableModel *>(opened))
        return opened->findChild<SpectralTableModel *>(QString(), Qt::FindDirectChildrenOnly);
    return nullptr;
}

QAbstractItemModel *HistoryDialog::shownTable(QAbstractTableModel &table)
{
    auto *colours = qobject_cast<ColourTableModel *>(&table);
    SpectralTableModel *spectra = openedSpectra();
    if (!colours || !spectra)
        return &table;
    return new ColourNameEditing(*colours, *spectra, colours);
}

void HistoryDialog::closeOpened()
{
    if (edits)
        edits->abandon();
    edits = nullptr;
    openedId = 0;
    pushButton_restore->setEnabled(false);
    tableView_download->setModel(nullptr);
    delete chart;
    chart = nullptr;
    delete opened;
    opened = nullptr;
}

void HistoryDialog::deleteOpenedRows(const QList<int> &rows)
{
    if (auto *records = qobject_cast<RecordsTableModel *>(opened)) {
        records->removeRecords(rows);
    } else if (SpectralTableModel *spectra = openedSpectra()) {
        // Highest first. Row 0 of a spectral table holds the titles and is never deleted; a
        // colour table has no title row: its row r is record r.
        const int titleRows = opened == spectra ? 1 : 0;
        QList<int> sorted = rows;
        std::sort(sorted.begin(), sorted.end(), std::greater<int>());
        for (const int row : std::as_const(sorted)) {
            if (row >= titleRows && row - titleRows < spectra->recordCount())
                spectra->removeRecord(row - titleRows);
        }
    }
}

void HistoryDialog::editOpenedName(int row, int column)
{
    const QAbstractItemModel *shown = tableView_download->model();
    if (!opened || !shown)
        return;
    const QModelIndex index = shown->index(row, column);
    if (index.isValid() && (shown->flags(index) & Qt::ItemIsEditable))
        tableView_download->edit(index);
}

void HistoryDialog::undoOpenedDeletion()
{
    if (auto *records = qobject_cast<RecordsTableModel *>(opened))
        records->undoRemoval();
}

void HistoryDialog::restoreOriginal()
{
    if (!edits || openedId == 0 || !dialogs.question(this, text(Text::Tip), text(Text::HistoryRestoreQuestion)))
        return;
    const qint64 id = openedId;
    pushButton_restore->setEnabled(false);
    edits->restoreOriginal([this, id](const std::optional<QString> &notRestored) {
        if (notRestored) {
            dialogs.information(this, text(Text::Tip), text(Text::EditsNotSaved).arg(*notRestored));
            // The table stays as it was, and its changes still go to the entry from now on.
            if (openedId == id && !edits)
                followOpened(id);
            return;
        }
        // Opened again from the archive, as the meter gave it.
        for (int row = 0; row < bySerial->rowCount(); ++row) {
            const QModelIndex listed = bySerial->mapToSource(bySerial->index(row, 0));
            if (downloads->entries().at(listed.row()).id == id) {
                tableView_downloads->selectRow(row);
                openSelected();
                return;
            }
        }
    });
    edits = nullptr;
}

void HistoryDialog::done(int result)
{
    // Closing hands on the notes being typed and the opened table's last changes.
    notesPane->commit();
    if (edits)
        edits->finish();
    QDialog::done(result);
}
