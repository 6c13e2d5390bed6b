// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadTables.h"
#include "ReportDetails.h"
#include "ReportTable.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <vector>

class ColourTableModel;
class RecordsTableModel;
class SpectralTableModel;
struct ExportSheet;

// Everything a report shows, in order: the facts of its first page, then its sections (a table
// over as many pages as it needs, or the spectral charts on a page of their own). The models the
// tables and charts read must outlive it.
struct ReportContent
{
    struct Section
    {
        enum Kind {
            Table,
            Charts
        };
        Kind kind = Table;
        ReportTable table;                         // Table
        const SpectralTableModel *spectra = nullptr; // Charts: the ticked records' curves
        const ColourTableModel *colours = nullptr;   // Charts: their chromaticities
    };

    ReportDetails details;
    // Label, then a value per download: one for a single download; a comparison's first row names
    // the downloads, and each row holds every download's fact or note in the same order.
    QList<QPair<QString, QStringList>> meterFacts;
    std::vector<Section> sections;

    // The labels and values of a sheet about the meter: two columns, or a column of values per
    // download (a comparison).
    void setMeterFacts(const ExportSheet &meterSheet);
    void addTable(const ReportTable &table);
    // The records table, then the statistics of all its rows (the workbook's sheet "统计" /
    // "Statistics", under the titles the records table prints); no statistics without records.
    void addRecords(const RecordsTableModel &records);
    // The same of a download's `count` records read a batch at a time (from its files or the
    // archive), with the statistics a workbook of it gets; false, with the reason, when the
    // statistics' records cannot be read. The tables must outlive the content.
    bool addRecordBatches(DownloadTables &tables, qint64 count, const DownloadTables::BatchOf &batchOf, QString &reason);
    // The spectrum chart, the chromaticity diagram, the colour table, then the spectral table.
    void addSpectral(const SpectralTableModel &spectra, const ColourTableModel &colours);
};
