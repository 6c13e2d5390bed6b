// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"
#include "DownloadTables.h"
#include "MeterFlow.h"
#include "TextCatalogue.h"

#include <QDialog>

#include <QDate>

#include <functional>
#include <memory>

class ArchiveListModel;
class QCalendarWidget;
class DataTableView;
class MeasurementArchive;
class QAbstractTableModel;
class QDateEdit;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QSplitter;
class QTableView;
class SpectrumChartView;
class UserDialogs;

// The history of archived downloads: lists them (time, serial number, model, kind by name, record
// count, table), narrowed as the user types by any part of a serial number and by a date range;
// opens one into a read-only view of its records or spectral table (with the spectrum chart),
// decoded again from its memory with the catalogs it was read with; exports it through the pages'
// export; deletes it after a question.
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

public Q_SLOTS:
    // Lists the downloads the filters let through.
    void refresh();
    void openSelected();
    bool exportSelected();
    // The report of the selected download as it was archived (its meter, its download time, its
    // table), through the report dialog; false when the download could not be read.
    bool reportSelected();
    void deleteSelected();
    // Opens the spectral dialog over the selected spectral downloads (HistoryComparison.cpp).
    void compareSelected();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

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
    DataTableView *tableView_download = nullptr;
    SpectrumChartView *chart = nullptr;     // for an opened spectral download
    QAbstractTableModel *opened = nullptr; // a child of the dialog
    QPushButton *pushButton_compare = nullptr;
};
