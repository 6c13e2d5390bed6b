// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ColourFigures.h"
#include "MelanopicFigures.h"
#include "SpectrumColour.h"

#include <QAbstractTableModel>

#include <vector>

class ExportTable;
class SpectralTableModel;

// The colour of every record of a spectral table: one row per record, in the table's order, with
// its number, its name (kinds whose spectral table shows names), x, y, u', v', CCT, Duv, peak
// wavelength, dominant wavelength and purity, then the melanopic figures (MelanopicFigures; the
// export adds the other α-opic daylight efficacy ratios). It follows the spectral table it is given
// (records appended, removed, cleared, renamed; language) and computes a record's colour once,
// when the record arrives. Titles are the horizontal header; a figure that cannot be had reads
// "----". The spectral table must outlive it.
class ColourTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ColourTableModel(const SpectralTableModel &spectra, QObject *parent = nullptr);

    // The colour of record k (row k), in the spectral table's order.
    const std::vector<ColourMetrics> &metrics() const { return colours; }
    // The α-opic figures of record k (row k), in step with metrics().
    const std::vector<RecordOpic> &recordOpics() const { return opics; }
    // The name column, -1 for kinds without names.
    int nameColumn() const;
    // The column of x; the other figures follow in ColourFigures order.
    int firstFigureColumn() const { return nameColumn() < 0 ? 1 : 2; }
    // The column of the melanopic efficacy; the other melanopic figures follow.
    int firstMelanopicColumn() const { return firstFigureColumn() + ColourFigures::Count; }

    // What the export writes: the titles, then a row per record numbered from firstNumber; the
    // figures are numbers, "----" and names are texts.
    ExportTable exportTable(int firstNumber = 1) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The text data() shows in a cell, without a QVariant: a report reads every cell twice.
    QString text(int row, int column) const;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // The spectral table's changes, in its rows (row r >= 1 is record r - 1).
    void spectraInserted(const QModelIndex &parent, int first, int last);
    void spectraRemoved(const QModelIndex &parent, int first, int last);
    void spectraReset();
    void spectraChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    // The record numbers from row on are new.
    void numbersChangedFrom(int row);

    QString title(int column) const;
    QString name(int row) const;
    // Whether the meter marked record row as too dim to measure.
    bool tooDim(int row) const;

    const SpectralTableModel &spectra;
    // Computes what the table shows of spectral records [first, last] into its own rows from row.
    void computeRecords(int first, int last, int row);

    std::vector<ColourMetrics> colours;
    std::vector<RecordOpic> opics; // in step with colours
    bool chinese = true; // the spectral table's language as last seen, to tell a language switch
};
