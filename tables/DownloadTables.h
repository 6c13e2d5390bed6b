// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadNotes.h"
#include "DownloadOrigin.h"
#include "ExportSheet.h"

#include <QList>
#include <QStringList>

#include <functional>
#include <memory>

class ColourTableModel;
class RecordsTableModel;
class SpectralTableModel;

// The export table of a download a batch of records at a time, exactly as the records page (or,
// for spectra, the spectral page, or its colour table) exports the same records: the command line
// writes its files with it, and the archive decodes and re-exports downloads with it.
class DownloadTables
{
public:
    // Which table of the download table() gives: the one its purpose fills, or the colour table
    // of its spectra (a spectral download's only).
    enum Contents {
        PurposeTable,
        ColourTable
    };

    DownloadTables(const DownloadOrigin &origin, bool chinese, Contents contents = PurposeTable);
    ~DownloadTables();

    // The records [first, first + count) of the download; false, with the reason, when the
    // memory cannot be had.
    using BatchOf = std::function<bool(qint64 first, int count, MeterFlow::Download &batch, QString &error)>;
    bool table(qint64 first, int count, const BatchOf &batchOf, ExportTable &table, QString &reason);
    // Loads the records [first, first + count) into the model of the contents, which then holds
    // them alone (for a document that reads the decoded records rather than their texts).
    bool load(qint64 first, int count, const BatchOf &batchOf, QString &reason);
    // The models the contents fill: records for a records download; spectra, and colours for the
    // colour table, for a spectral one (nullptr where they do not apply).
    const RecordsTableModel *recordsModel() const { return records.get(); }
    const SpectralTableModel *spectraModel() const { return spectra.get(); }
    const ColourTableModel *coloursModel() const { return colours.get(); }
    const DownloadOrigin &downloadOrigin() const { return origin; }

    // The user's changes put on each batch as soon as it is loaded, before it is exported or read:
    // names typed in place of the meter's, curves ticked or not. `first` is the batch's first record.
    using RowChanges = std::function<void(qint64 first, RecordsTableModel *records, SpectralTableModel *spectra)>;
    void setRowChanges(RowChanges changes) { rowChanges = std::move(changes); }

    // What the user wrote about the download, for the sheet about the meter and documents.
    void setNotes(const DownloadNotes &written) { notes = written; }
    const DownloadNotes &downloadNotes() const { return notes; }

    // The download's sheet about the meter, for `records` records.
    ExportSheet meterSheet(qint64 records) const;
    // The sheets a workbook of the download gets after its table: the one about the meter and,
    // for records, their statistics over all `count` records, read a batch at a time. False, with
    // the reason, when the memory cannot be had.
    bool extraSheets(qint64 count, const BatchOf &batchOf, QList<ExportSheet> &sheets, QString &reason);

    // A batch of a download held whole in memory.
    static bool slice(const MeterFlow::Download &download, qint64 first, int count, MeterFlow::Download &batch);

private:
    const DownloadOrigin origin;
    const bool chinese;
    QStringList headers;
    RowChanges rowChanges;
    DownloadNotes notes;
    std::unique_ptr<RecordsTableModel> records;
    std::unique_ptr<SpectralTableModel> spectra;
    std::unique_ptr<ColourTableModel> colours; // follows spectra: declared after it, destroyed before it
};
