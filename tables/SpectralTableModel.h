// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"
#include "MeterFlow.h"
#include "SpectralRecord.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

class ExportTable;
struct MeterKind;

// The spectral table. Row 0 is the title row; row r (r >= 1) shows record r - 1: its number, its
// name (kinds whose spectral table shows names), its 31 values, its curve check box and its
// delete button. The curve column of the title row is a check box too: ticking or unticking it
// does so for every record, and unticking one record unticks it.
class SpectralTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit SpectralTableModel(int uiIndex, QObject *parent = nullptr);

    bool isChinese() const { return chinese; }
    void setChinese(bool languageFlag);

    // Builds the title row and the decimals of the wavelength columns from the unit slots 15..45
    // (units as ColumnModel::unitsOfSlots finds them) and empties the records; fewer than 60 slots
    // change nothing.
    void setUp(const QList<int> &unitSlots, const UnitCatalog &unitCatalog);
    // Appends a record (name: for kinds whose table shows names). False, with nothing added, when
    // the table was never set up.
    bool appendRecord(const SpectralRecord &record, const QString &name = {});
    // Appends the spectra of every downloaded record, in the meter's mode; the download's first
    // record is record firstIndex of the meter's.
    void appendDownload(const MeterFlow::Download &download, int mode, qint64 firstIndex = 0);

    // A comparison of downloads, perhaps of different meters: the title row (with the name column
    // when any compared kind shows names) and no records; each download is then appended with
    // appendCompared, its records carrying their numbers, decimals and unit.
    void setUpComparison(bool withNames);
    // The records of archived download `id` of kind uiIndex in `mode`, its values shown with the
    // unit its unit slots name in the unit catalog it was read with.
    void appendCompared(const MeterFlow::Download &download, qint64 id, int uiIndex, int mode,
                        const QList<int> &unitSlots, const UnitCatalog &unitCatalog);
    bool isComparison() const { return comparison; }
    void removeRecord(int index);
    // Keeps only the title row.
    void clearRecords();

    const std::vector<SpectralRecord> &records() const { return spectra; }
    // The records' names, in record order (empty texts for kinds whose table shows no names).
    const QStringList &recordNames() const { return names; }
    const QList<int> &decimals() const { return wavelengthDecimals; }
    // The spectral values' unit as the unit catalog names it (empty where it names none).
    const QString &spectralUnit() const { return unit; }
    int recordCount() const { return int(spectra.size()); }
    int curveColumn() const { return columnCount() - 2; }
    int operationColumn() const { return columnCount() - 1; }
    int nameColumn() const;
    // Whether the records' photometric value is a luminance (luminance meters), not an illuminance.
    bool measuresLuminance() const;
    bool isTitleChecked() const { return titleChecked; }
    // Ticks or unticks a curve: row 0 for every record, row r for record r - 1.
    void setCurveVisible(int row, bool visible);

    // What the export writes: the title row's texts except the curve column's, then every record
    // row (number, name, values), without the delete buttons' column. The records are numbered
    // from firstNumber: a caller that writes a download in parts numbers each part on.
    ExportTable exportTable(int firstNumber = 1) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The text data() shows in a cell (row 0 is the title row), without a QVariant: a report
    // reads every cell of the table twice.
    QString text(int row, int column) const;
    // Only CompactColumnRole: the table shows its titles in row 0.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // Records came or went: the charts are out of date.
    void curvesChanged();
    // Records first..last were ticked or unticked (all of them by the title box): only their
    // curves and the charts' scale and legend may have changed.
    void curveVisibilityChanged(int first, int last);

private:
    int firstValueColumn() const;
    // Appends the download's records as `kind` gives them, each a copy of `pattern` with its values;
    // the download's first record is record firstIndex of the meter's.
    void appendRecords(const MeterFlow::Download &download, const MeterKind &recordKind, int mode,
                       const SpectralRecord &pattern, qint64 comparedId = 0, qint64 firstIndex = 0);

    const MeterKind *kind;
    bool chinese = true;
    bool titled = false; // the title row and the columns exist (after the first set-up)
    bool titleChecked = true;
    bool comparison = false;      // the records come from several downloads (setUpComparison)
    bool comparisonNames = false; // a comparison's name column
    QList<int> wavelengthDecimals;
    QString unit;
    std::vector<SpectralRecord> spectra;
    QStringList names;
};
