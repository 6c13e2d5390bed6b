// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"
#include "ExportSheet.h"
#include "KeyInfo.h"
#include "MeterState.h"
#include "SpectralRecord.h"
#include "TableExport.h"
#include "TextCatalogue.h"

#include <QDateTime>
#include <QDialog>
#include <QPointer>

#include <optional>
#include <vector>

class ChromaticityChartView;
class SpectralComparison;
class ColourTableModel;
class DataTableView;
class MeterConnection;
class SpectralTableModel;
class SpectrumChartView;
class TableEditSaver;
class UserDialogs;
class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;
class QSpacerItem;
class QSplitter;

// The spectral page: a modal dialog with one table row per stored record (its 31 spectral values,
// a curve check box and a delete button) below a title row and, below the table, side by side, the
// spectrum chart of the ticked records, their points on the CIE 1931 chromaticity diagram and the
// colour table (chromaticity, CCT, Duv, peak and dominant wavelength, purity of every record). The
// table's rows live in a SpectralTableModel, the colours in a ColourTableModel that follows it;
// the dialog owns both.
class MeterPage : public QDialog
{
    Q_OBJECT

public:
    // The records page hands over its meter kind, a copy of its unit catalog and its language
    // (true = Chinese). The unit slots and, for kinds with a mode, the mode are read from the
    // meter at once; a failed read is reported and the dialog opens with an empty table.
    MeterPage(int uiIndex, const UnitCatalog &unitCatalog, bool languageFlag, MeterConnection &connection,
              UserDialogs &dialogs, QWidget *parent = nullptr);
    // The same dialog over a comparison of archived spectral downloads: their records, numbered
    // with their download, in one table, chart, diagram and colour table; exports list every
    // download in the meter sheet. There is no meter to read, and nothing to lose on closing.
    MeterPage(const SpectralComparison &comparison, bool languageFlag, UserDialogs &dialogs, QWidget *parent = nullptr);
    ~MeterPage() override;

    const SpectralTableModel &spectralModel() const { return *model; }
    const ColourTableModel &colourModel() const { return *colours; }
    const std::vector<SpectralRecord> &spectralRecords() const;
    // The meter kind, the mode and the unit slots as the last read left them.
    const MeterState &meterState() const { return state; }
    // The meter's key information, as the records page identified it: an export describes the
    // meter with it.
    void setMeterIdentity(const KeyInfo &info) { keyInfo = info; }
    // The archive id of the download the table shows: 0 while archiving has not given it, or when
    // the table is empty or the download was not archived.
    qint64 downloadId() const;

public Q_SLOTS:
    // Repaints the charts: a curve was ticked or unticked, or records came or went.
    void slot_updateChart();
    // Removes the record shown in table row `row` (a delete button's row).
    void slot_deleteRow(int row);
    // Escape and the title bar's close button end here. While the table holds records (spectra
    // downloaded, names typed), it closes only when the user answers Yes to the close question.
    void reject() override;

private Q_SLOTS:
    void on_pushButton_readRecords_clicked();
    void on_pushButton_clearData_clicked();
    bool on_pushButton_exportExcel_clicked();
    // Exports the colour table; the tables stay as they are.
    bool on_pushButton_exportColour_clicked();
    void on_tableWidget_data_cellDoubleClicked(int row, int column);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setUpForm();
    // The whole screen but a margin, never less than fits.
    void fitScreen();
    // The sheet about where the records came from: the meter, or every compared download.
    ExportSheet meterSheet() const;
    // The table/charts and chart boundaries: restored from the settings, kept there when moved.
    void restoreSplitters();
    void keepSplitters();
    // Gives the table the height its rows need (at most half) while the user has not set it.
    void shareHeight();
    // Gives the colour table the width its columns need (as far as the charts keep their minimum
    // widths) while the user has not set it; the charts share the rest.
    void shareWidth();
    void retranslateForm();
    // The spectrum chart with the choice of its scale above it.
    QWidget *makeSpectrumPane(QWidget *parent);
    // The absolute scale's entry names the unit of the table's values.
    void nameScaleEntries();
    QString text(Text id) const;
    void inform(Text id);
    // The unit slots, then the mode; false, with the failure's message shown, when a read failed.
    bool readSlotsAndMode();
    void setUpTable();
    void downloadRecords();
    // Exports the records (the export button, or saving before a download).
    bool exportToWorkbook(TableExport::DeclinedRetry declinedRetry);

    // Form widgets, owned by the dialog.
    QGridLayout *gridLayout_meterPage = nullptr;
    QSpacerItem *horizontalSpacer = nullptr;
    // The report of the dialog's records, charts and colours (ReportRequest).
    void makeReport();

    QPushButton *pushButton_readRecords = nullptr;
    QPushButton *pushButton_clearData = nullptr;
    QPushButton *pushButton_exportExcel = nullptr;
    QPushButton *pushButton_exportColour = nullptr;
    QPushButton *pushButton_report = nullptr;
    DataTableView *tableWidget_data = nullptr;
    QSplitter *splitter_page = nullptr;
    QSplitter *splitter_charts = nullptr;
    bool userSplit = false; // the user placed the table/charts boundary (now or in an earlier run)
    bool userSplitCharts = false; // the same for the boundaries between the charts and the colour table
    bool widthPending = false;    // shareWidth is due once the events in hand are handled
    SpectrumChartView *widget_chart = nullptr;
    QComboBox *comboBox_scale = nullptr; // the spectrum chart's y axis, remembered
    ChromaticityChartView *widget_chromaticity = nullptr;
    QLabel *label_rangeNote = nullptr;
    DataTableView *tableView_colour = nullptr;

    SpectralTableModel *model; // owned by the dialog
    ColourTableModel *colours; // owned by the dialog, follows model
    UnitCatalog unitCatalog;
    MeterState state;
    KeyInfo keyInfo;
    QDateTime downloaded; // when the last download ended
    bool languageFlag;
    QPointer<TableEditSaver> edits; // a child of the dialog while the table shows a download

    std::optional<ExportSheet> comparisonSheet; // set for a comparison
    MeterConnection *const connection;          // nullptr for a comparison
    UserDialogs &dialogs;
};
