#pragma once

#include "CatalogTypes.h"
#include "RecordMessages.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class MeterConnection;
class UserDialogs;
struct RowLayout;

namespace Ui {
class FirstPage;
}

// The records page: the connected meter's serial number and firmware version, four command
// buttons and the records table, one row per measurement record downloaded from the meter.
// The page owns the catalogs, the meter state that identification sets (kind, mode, unit slots)
// and the decimals lists of the column model.
class FirstPage : public QWidget
{
    Q_OBJECT

public:
    // Catalogs are read from catalogDirectory (the meter and unit catalogs now, the probe
    // catalog whenever a kind-6 meter is identified).
    FirstPage(MeterConnection &connection, UserDialogs &dialogs, const QString &catalogDirectory,
              QWidget *parent = nullptr);
    ~FirstPage() override;

    // Identifies a freshly connected meter; the main window calls it after every successful open.
    void identifyMeter();
    // Empties the serial number, the firmware version and the rows; the columns stay.
    void resetPage();
    // Re-labels the page in the language of languageFlag: form texts, headers, no-flicker cells
    // and delete buttons. The main window calls it after installing a new translator.
    void languageChange();

    // Where messages, questions and progress go from now on (the window starts with Qt's dialogs).
    void setUserDialogs(UserDialogs &userDialogs) { dialogs = &userDialogs; }

    bool languageFlag() const { return m_languageFlag; }
    void setLanguageFlag(bool chinese) { m_languageFlag = chinese; }

    // Rebuilds the header and the decimals list of the current kind and mode from the unit slots.
    void setUpColumns();
    // The header texts for the export (units from the built-in unit table, no "Operation").
    QStringList exportHeaders() const;

    void loadMeterCatalog();
    void loadUnitCatalog();
    void loadProbeCatalog();

    // Decodes the first count records of the record (and name) memory and appends one row per
    // record of the layout, all in one go. A record gets no row while the kind's decimals list is
    // shorter than the layout.
    void appendRecords(const RowLayout &layout, const QByteArray &recordMemory, const QByteArray &nameMemory,
                       qint64 count);

    int meterKind() const { return uiIndex; }
    int meterMode() const { return mode; }
    const QList<int> &unitSlotList() const { return unitSlots; }
    const DecimalsLists &decimals() const { return decimalsLists; }
    const UnitCatalog &units() const { return unitCatalog; }
    const ProbeNames &probes() const { return probeNames; }

public Q_SLOTS:
    void slot_deleteRow();
    void on_pushButton_readRecords_clicked();
    void on_pushButton_clearData_clicked();
    bool on_pushButton_exportExcel_clicked();
    void on_pushButton_spectralData_clicked();
    void on_tableWidget_data_cellDoubleClicked(int row, int column);

private:
    QString text(RecordMessages::Message message) const;
    void inform(RecordMessages::Message message);
    void appendRows(const RowLayout &layout, const QList<QStringList> &rows);
    void fillRow(int row, const RowLayout &layout, const QStringList &cells);
    int rowOfDeleteButton(const QWidget *button) const;

    std::unique_ptr<Ui::FirstPage> ui;
    MeterCatalog meterCatalog;
    UnitCatalog unitCatalog;
    ProbeNames probeNames;
    QList<int> unitSlots;
    DecimalsLists decimalsLists;
    int uiIndex = 1;
    int mode = 0;
    bool m_languageFlag = true;

    MeterConnection &connection;
    UserDialogs *dialogs;
    const QString catalogDirectory;
};
