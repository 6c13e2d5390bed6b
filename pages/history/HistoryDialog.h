// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"
#include "DownloadTables.h"
#include "MeterFlow.h"
#include "TextCatalogue.h"

#include <QDialog>

#include <QDate>
#include <QHash>
#include <QPointer>

#include <functional>
#include <memory>

class ArchiveListModel;
class QCalendarWidget;
class DataTableView;
class MeasurementArchive;
class NotesPane;
class TableEditSaver;
class QAbstractTableModel;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QSplitter;
class QTableView;
class SpectrumChartView;
class SpectralTableModel;
class QAbstractItemModel;
class UserDialogs;

// The history of archived downloads: lists them (time, serial number, model, kind by name, record
// count, table, title and location), narrowed as the user types by any part of a serial number or
// of the notes and by a date range; shows the selected download's notes beside the list for
// editing; opens one into its records or spectral table (with the spectrum chart), decoded again
// from its memory with the catalogs it was read with and with the user's edits applied, where
// names, deletions and curves (a colour table: names and deletions) may be edited again (saved to
// the same entry as they happen) or given up for what the meter gave; exports it as it stands
// through the pages' export; deletes it after a question.
class HistoryDialog : public QDialog
{
    Q_OBJECT

public:
    HistoryDialog(bool chinese, UserDialogs &dialogs, QWidget *parent = nullptr);
    ~HistoryDialog() override;

    // The downloads listed, as the list shows them (newest first).
    QList<ArchiveEntry> listedDownloads() const;
    // The table of the download opened last, or nullptr.
    const QAbstractTableModel *openedTable() const { return opened; }
    void selectDownload(int row);
    void setSerialFilter(const QString &serial);
    // The archive id of the download whose table is open, or 0.
    qint64 openedDownload() const { return openedId; }

public Q_SLOTS:
    // Lists the downloads the filters let through.
    void refresh();
    void openSelected();
    bool exportSelected();
    // The report of the selected download as it stands (its meter, its download time, its table
    // with the edits applied, its notes proposed), through the report dialog; false when the
    // download could not be read.
    bool reportSelected();
    void deleteSelected();
    // After a question, forgets the edits of the download whose table is open and opens it again
    // as the meter gave it.
    void restoreOriginal();

    void done(int result) override;
    // Opens the spectral dialog over the selected spectral downloads (HistoryComparison.cpp).
    void compareSelected();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // A date field's calendar and the day whose month it opens at while the field shows "Any".
    struct CalendarPlace
    {
        QDateEdit *field;
        QCalendarWidget *calendar;
        std::function<QDate()> page;
    };

    QString text(Text id) const;
    void buildForm();
    QPushButton *makeReportButton();
    // The date fields open their calendars at the archive's first day and at today.
    void placeCalendars();
    qint64 selectedId() const;
    // The downloads selected in the list, as the list shows them.
    QList<ArchiveEntry> selectedDownloads() const;
    // The compare button, enabled while the selection can be compared, its tooltip saying why not.
    QPushButton *makeCompareButton();
    void followSelectionForCompare();
    // The selected download's origin, the table written from it and its memory; false, with the
    // reason shown, when it cannot be read or does not agree with itself.
    bool loadSelected(DownloadOrigin &origin, DownloadTables::Contents &contents, MeterFlow::Download &download);
    // The table of a download as its page showed it, with the user's edits applied.
    QAbstractTableModel *makeTable(const DownloadOrigin &origin, DownloadTables::Contents contents,
                                   const MeterFlow::Download &download, const QList<RecordEdit> &recordEdits,
                                   QObject *parent) const;
    // Exports a table as its page exports it, with the sheet about the meter (and the statistics).
    bool exportTable(const DownloadOrigin &origin, const QAbstractTableModel &table, const ArchiveNotes &notes);
    ArchiveNotes selectedNotes() const;
    // The selected download's record edits; false, with the reason shown, when they cannot be read.
    bool selectedEdits(QList<RecordEdit> &edits);

    // The notes pane beside the list: it shows the selected download's notes, and what the user
    // changes there is saved on a thread of the pool.
    NotesPane *buildNotesPane(QWidget *parent);
    void showSelectedNotes();
    // Gives the list the width its columns need, as far as the notes keep their minimum width,
    // until the user moves the boundary; the notes take the rest. The columns are then fitted to
    // the list's width.
    void shareListWidth();
    // Fits the list's columns to its width: the long texts give way, cut, to the figures.
    void fitListColumns(int listWidth);
    int naturalColumnWidth(int column) const;
    void saveNotes(qint64 id, const ArchiveNotes &notes, QList<NoteField> fields);

    // The opened table as the pages edit it: names by double click, rows deleted by their buttons,
    // the Delete key and the context menu, Ctrl+Z bringing records back, curves ticked; its edits
    // go to the download's entry.
    void setUpTableEditing();
    void followOpened(qint64 id);
    // The spectral records of the opened table: the table itself, or the one a colour table follows.
    SpectralTableModel *openedSpectra() const;
    // What the table view shows of the opened table: a colour table takes typed names through a proxy.
    QAbstractItemModel *shownTable(QAbstractTableModel &table);
    // Empties the table view, giving up the opened table's unsaved changes (its download goes).
    void closeOpened();
    void deleteOpenedRows(const QList<int> &rows);
    void editOpenedName(int row, int column);
    void undoOpenedDeletion();

    const bool chinese;
    UserDialogs &dialogs;
    std::unique_ptr<MeasurementArchive> archive;
    QDate firstDay; // of the archive's oldest download; invalid while the archive is empty
    QList<CalendarPlace> calendars;

    ArchiveListModel *downloads = nullptr;      // a child of the dialog
    QSortFilterProxyModel *bySerial = nullptr; // a child of the dialog
    QLineEdit *lineEdit_serial = nullptr;
    QDateEdit *dateEdit_from = nullptr;
    QDateEdit *dateEdit_to = nullptr;
    QTableView *tableView_downloads = nullptr;
    QSplitter *splitter_preview = nullptr;
    QSplitter *splitter_notes = nullptr;
    bool userSplitNotes = false; // the user moved the boundary between the list and the notes
    DataTableView *tableView_download = nullptr;
    SpectrumChartView *chart = nullptr;     // for an opened spectral download
    QAbstractTableModel *opened = nullptr; // a child of the dialog
    qint64 openedId = 0;
    QPointer<TableEditSaver> edits;        // a child of the dialog, following the opened table
    NotesPane *notesPane = nullptr;
    QPushButton *pushButton_restore = nullptr;
    // Fields of notes that could not be saved, by download: they go out again with the next change.
    QHash<qint64, QList<NoteField>> unsavedNotes;
    bool notesFailureTold = false;
    QPushButton *pushButton_compare = nullptr;
};
