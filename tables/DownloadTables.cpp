// SPDX-License-Identifier: GPL-3.0-or-later
#include "DownloadTables.h"

#include "ColourTableModel.h"
#include "ColumnModel.h"
#include "MeterFacts.h"
#include "MeterSheet.h"
#include "RecordStatistics.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"

DownloadTables::DownloadTables(const DownloadOrigin &origin, bool chinese, Contents contents)
    : origin(origin),
      chinese(chinese)
{
    const MeterState &state = origin.state;
    if (origin.purpose == MeterFlow::Records) {
        // As on the records page once the download has set its columns up.
        records = std::make_unique<RecordsTableModel>();
        records->setChinese(chinese);
        records->setUpColumns(state.uiIndex, state.mode, state.unitSlots, origin.unitCatalog);
        headers = ColumnModel::exportHeaders(state.uiIndex, state.mode, state.unitSlots, chinese);
    } else {
        spectra = std::make_unique<SpectralTableModel>(state.uiIndex);
        spectra->setChinese(chinese);
        spectra->setUp(state.unitSlots, origin.unitCatalog);
        // As the spectral page's colour table: it follows the spectral table's batch.
        if (contents == ColourTable)
            colours = std::make_unique<ColourTableModel>(*spectra);
    }
}

DownloadTables::~DownloadTables() = default;

bool DownloadTables::load(qint64 first, int count, const BatchOf &batchOf, QString &reason)
{
    // The models hold one batch at a time.
    MeterFlow::Download batch;
    if (!batchOf(first, count, batch, reason))
        return false;
    if (records) {
        records->clear();
        records->appendDownload(origin.state.uiIndex, origin.state.mode, batch, origin.probeNames);
    } else {
        spectra->clearRecords();
        spectra->appendDownload(batch, origin.state.mode);
    }
    if (rowChanges)
        rowChanges(first, records.get(), spectra.get());
    return true;
}

bool DownloadTables::table(qint64 first, int count, const BatchOf &batchOf, ExportTable &table, QString &reason)
{
    if (!load(first, count, batchOf, reason))
        return false;
    // Spectra are numbered on from the batches before.
    if (records)
        table = records->exportTable(headers);
    else
        table = colours ? colours->exportTable(int(first) + 1) : spectra->exportTable(int(first) + 1);
    return true;
}

ExportSheet DownloadTables::meterSheet(qint64 recordCount) const
{
    return MeterSheet::make(origin.keyInfo, origin.state, recordCount, origin.downloaded, chinese, notes);
}

bool DownloadTables::extraSheets(qint64 count, const BatchOf &batchOf, QList<ExportSheet> &sheets, QString &reason)
{
    sheets = {meterSheet(count)};
    if (!records)
        return true;
    // The statistics need every record; a batch at a time keeps no more in memory than a table.
    constexpr int batchRecords = 4096;
    RecordStatistics statistics;
    statistics.start(*records);
    for (qint64 first = 0; first < count; first += batchRecords) {
        MeterFlow::Download batch;
        if (!batchOf(first, int(qMin<qint64>(batchRecords, count - first)), batch, reason))
            return false;
        records->clear();
        records->appendDownload(origin.state.uiIndex, origin.state.mode, batch, origin.probeNames);
        statistics.addRows(*records);
    }
    sheets.append(statistics.sheet(headers, chinese));
    return true;
}

bool DownloadTables::slice(const MeterFlow::Download &download, qint64 first, int count, MeterFlow::Download &batch)
{
    if (first < 0 || count < 0 || first + count > download.count)
        return false;
    batch.count = count;
    batch.records = download.records.mid(first * MeterFacts::RecordSize, qsizetype(count) * MeterFacts::RecordSize);
    // Kinds without names have no name memory.
    batch.names = download.names.isEmpty() ? QByteArray()
                                           : download.names.mid(first * MeterFacts::NameSlotSize,
                                                                qsizetype(count) * MeterFacts::NameSlotSize);
    return true;
}
