#pragma once

#include "CatalogTypes.h"
#include "RecordMessages.h"
#include "SpectralRecord.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <vector>

class MeterConnection;
class UserDialogs;
class QCheckBox;
class QGridLayout;
class QPushButton;
class QSpacerItem;
class QTableWidget;

// The spectral page: a modal dialog with one table row per stored record (its 31 spectral values,
// a curve check box and a delete button) and, below the table, the spectrum chart of the ticked
// records, painted over the area of widget_chart.
//
// Row 0 of the table is a title row; table row r (r >= 1) shows entry r - 1 of records.
class MeterPage : public QDialog
{
    Q_OBJECT

public:
    // The records page hands over its meter kind, a copy of its unit catalog and its language
    // (true = Chinese). The unit slots and, for kinds 1 and 4, the mode are read from the meter
    // at once; a failed read is reported and the dialog opens with an empty table.
    MeterPage(int uiIndex, const UnitCatalog &unitCatalog, bool languageFlag, MeterConnection &connection,
              UserDialogs &dialogs, QWidget *parent = nullptr);
    ~MeterPage() override;

    // Rebuilds the title row from the unit slots 15..45 and empties records. With fewer than 60
    // unit slots nothing changes; when a wavelength slot does not name a usable unit-catalog row
    // the table gets no columns (and no record row can be added).
    void setUpSpectralTable();
    // Appends the row of a record (name: kind 4 only). False, with no row added, when the table
    // has no wavelength columns. The caller appends the record to records right after.
    bool appendSpectralRow(const SpectralRecord &record, const QString &name);
    // Keeps only the title row and empties records.
    void resetSpectralTable();

    const std::vector<SpectralRecord> &spectralRecords() const { return records; }
    const QList<int> &unitSlotList() const { return unitSlots; }
    const QList<int> &decimalsList() const { return decimals; }
    int meterMode() const { return mode; }

public Q_SLOTS:
    void slot_updateChart(bool checked);
    void slot_deleteRow();

private Q_SLOTS:
    void on_pushButton_readRecords_clicked();
    void on_pushButton_clearData_clicked();
    bool on_pushButton_exportExcel_clicked();
    void on_tableWidget_data_cellDoubleClicked(int row, int column);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setUpForm();
    void retranslateForm();
    // The page's own texts: Chinese or English by languageFlag.
    QString text(const char *chinese, const char *english) const;
    QString text(RecordMessages::Message message) const;
    void inform(RecordMessages::Message message);
    bool readUnitSlots();
    bool readMeterMode();
    // Table row of a cell widget (check box or delete button) of column; -1 when it is in none.
    int rowOfCellWidget(const QObject *widget, int column) const;
    QCheckBox *titleCheckBox() const;
    void downloadRecords();

    // Form widgets, owned by the dialog.
    QGridLayout *gridLayout_meterPage = nullptr;
    QSpacerItem *horizontalSpacer = nullptr;
    QPushButton *pushButton_readRecords = nullptr;
    QPushButton *pushButton_clearData = nullptr;
    QPushButton *pushButton_exportExcel = nullptr;
    QTableWidget *tableWidget_data = nullptr;
    QWidget *widget_chart = nullptr;

    UnitCatalog unitCatalog;
    QList<int> unitSlots;
    QList<int> decimals;
    int uiIndex;
    int mode = 0;
    bool languageFlag;
    std::vector<SpectralRecord> records;

    MeterConnection &connection;
    UserDialogs &dialogs;
};
