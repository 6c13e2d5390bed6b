// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"
#include "KeyInfo.h"
#include "MeterFlow.h"
#include "MeterState.h"
#include "TableExport.h"
#include "TextCatalogue.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class QLabel;
class QPushButton;
class QTableView;
class MeterConnection;
class RecordsTableModel;
class StatisticsTableModel;
class TableEditSaver;
class UserDialogs;

namespace Ui {
class FirstPage;
}

// The records page: the connected meter's serial number and firmware version, four command
// buttons and the records table, one row per measurement record downloaded from the meter, with
// the statistics of its selected rows (all rows when none is selected) in a strip below it.
// The page owns the catalogs, the meter state that identification sets (kind, mode, unit slots)
// and the records table's model; the table view only shows the model.
class FirstPage : public QWidget
{
    Q_OBJECT

public:
    // Catalogs are read from catalogDirectory (the meter and unit catalogs now, the probe
    // catalog whenever a meter of a kind without spectra is identified).
    FirstPage(MeterConnection &connection, UserDialogs &dialogs, const QString &catalogDirectory,
              QWidget *parent = nullptr);
    ~FirstPage() override;

    // Identifies a freshly connected meter; the main window calls it after every successful open.
    void identifyMeter();
    // Empties the serial number, the firmware version and the rows; the columns stay.
    void resetPage();
    // Re-labels the page in the language of the language flag: form texts, headers, marker cells
    // and delete buttons. The main window calls it after installing a new translator.
    void languageChange();

    // Where messages, questions and progress go from now on (the window starts with Qt's dialogs).
    void setUserDialogs(UserDialogs &userDialogs) { dialogs = &userDialogs; }

    bool isChinese() const { return languageFlag; }
    // Messages, new rows and column titles follow the flag at once; languageChange() re-labels
    // the form.
    void setLanguageFlag(bool chinese);

    // Rebuilds the columns and the decimals list of the current kind and mode from the unit slots.
    void setUpColumns();
    // The header texts for the export (units from the built-in unit table, no "Operation").
    QStringList exportHeaders() const;

    void loadMeterCatalog();
    void loadUnitCatalog();
    void loadProbeCatalog();

    // Decodes a finished download of the current kind and mode and appends one row per record, all
    // in one go, then shows the last row. A record gets no row while the kind's decimals list does
    // not cover its columns.
    void appendRecords(const MeterFlow::Download &download);

    int meterKind() const { return state.uiIndex; }
    const KeyInfo &meterIdentity() const { return keyInfo; }
    int meterMode() const { return state.mode; }
    const QList<int> &unitSlotList() const { return state.unitSlots; }
    const RecordsTableModel &recordsModel() const { return *model; }
    const StatisticsTableModel &statisticsModel() const { return *statistics; }
    const UnitCatalog &units() const { return unitCatalog; }
    const ProbeNames &probes() const { return probeNames; }
    // The archive id of the download the table shows: 0 while archiving has not given it, or when
    // the table is empty or the download was not archived.
    qint64 downloadId() const;

public Q_SLOTS:
    void slot_deleteRow(int row);
    void on_pushButton_readRecords_clicked();
    void on_pushButton_clearData_clicked();
    bool on_pushButton_exportExcel_clicked();
    void on_pushButton_spectralData_clicked();
    void on_tableWidget_data_cellDoubleClicked(int row, int column);

private:
    QString text(Text id) const;
    void inform(Text message);
    bool ask(Text question);
    // Exports the table (the export button, or saving before a download).
    bool exportToWorkbook(TableExport::DeclinedRetry declinedRetry);

    // Delete and undo keys, the tab order and the buttons that follow the table.
    void setUpKeyboard();
    // The buttons' shortcuts and their tooltips in the current language.
    void setShortcuts();

    // Shows the history of archived downloads.
    void openHistory();
    // Puts the statistics strip under the records table.
    void setUpStatisticsStrip();
    // The report of the table as it is (ReportRequest).
    void makeReport();
    // From now on the table's edits go to the archive entry of its download, once archiving
    // gives its id (the download's archiving is begun right after).
    TableEditSaver *followEdits();

    std::unique_ptr<Ui::FirstPage> ui;
    QPushButton *pushButton_history; // a child of the page
    QPushButton *pushButton_report;  // a child of the page
    RecordsTableModel *model;        // a child of the page
    StatisticsTableModel *statistics; // a child of the page
    QTableView *tableView_statistics; // a child of the page
    QLabel *label_statistics;         // a child of the page: which rows the strip counts
    MeterCatalog meterCatalog;
    UnitCatalog unitCatalog;
    ProbeNames probeNames;
    MeterState state;
    KeyInfo keyInfo;      // as the last identification read it; the export's sheet about the meter
    QDateTime downloaded; // when the last download ended
    bool languageFlag = true;
    QPointer<TableEditSaver> edits; // a child of the page while the table shows a download

    MeterConnection &connection;
    UserDialogs *dialogs;
    const QString catalogDirectory;
};
