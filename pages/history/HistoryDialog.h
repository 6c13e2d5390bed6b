// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"
#include "DownloadTables.h"
#include "MeterFlow.h"
#include "TextCatalogue.h"

#include <QDialog>

#include <memory>

class DataTableView;
class MeasurementArchive;
class QAbstractTableModel;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class UserDialogs;

// The history of archived downloads: lists them (time, serial number, model, kind, record count,
// table), narrowed by a serial number and a date range; opens one into a read-only view of its
// records or spectral table, decoded again from its memory with the catalogs it was read with;
// exports it through the pages' export; deletes it after a question.
class HistoryDialog : public QDialog
{
    Q_OBJECT

public:
    HistoryDialog(bool chinese, UserDialogs &dialogs, QWidget *parent = nullptr);
    ~HistoryDialog() override;

    // The downloads listed, as the list shows them (newest first).
    const QList<ArchiveEntry> &listedDownloads() const { return entries; }
    // The table of the download opened last, or nullptr.
    const QAbstractTableModel *openedTable() const { return opened; }
    void selectDownload(int row);
    void setSerialFilter(const QString &serial);

public Q_SLOTS:
    // Lists the downloads the filters let through.
    void refresh();
    void openSelected();
    bool exportSelected();
    void deleteSelected();

private:
    QString text(Text id) const;
    void buildForm();
    qint64 selectedId() const;
    QString tableText(ArchivedTable table) const;
    // The selected download's origin, the table written from it and its memory; false, with the
    // reason shown, when it cannot be read or does not agree with itself.
    bool loadSelected(DownloadOrigin &origin, DownloadTables::Contents &contents, MeterFlow::Download &download);

    const bool chinese;
    UserDialogs &dialogs;
    std::unique_ptr<MeasurementArchive> archive;
    QList<ArchiveEntry> entries;

    QLineEdit *lineEdit_serial = nullptr;
    QDateEdit *dateEdit_from = nullptr;
    QDateEdit *dateEdit_to = nullptr;
    QTableWidget *tableWidget_downloads = nullptr;
    DataTableView *tableView_download = nullptr;
    QAbstractTableModel *opened = nullptr; // a child of the dialog
};
