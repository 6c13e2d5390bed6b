// SPDX-License-Identifier: GPL-3.0-or-later
// Downloaded record and name memory as fuzz input, for every meter kind (and kinds outside 1..6)
// and every mode: RecordDecoder, RecordRowTexts, SpectralValues, the records table
// (appendDownload, cell texts, exportTable) and the spectral table.
//
// Input: byte 0 the kind (bits 0-2) and the language (bit 3), bytes 1-2 the mode, bytes 3-6 the
// record count the meter reported (signed), bytes 7-8 the length of the name memory, 60 unit
// slot bytes, the name memory, and the record memory (the rest).

#include "CatalogLoader.h"
#include "ColumnModel.h"
#include "ExportTable.h"
#include "FuzzSupport.h"
#include "MeterKind.h"
#include "RecordDecoder.h"
#include "RecordRowTexts.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"
#include "SpectralValues.h"

namespace {

UnitCatalog unitCatalog;
ProbeNames probeNames;
qsizetype longestProbeName = 0;

// The longest cell text: a float in fixed notation with 16 decimals ("-3.4e38" has 39 digits),
// a 13-byte name, a marker text or a probe name from the catalog.
qsizetype cellBound()
{
    return qMax<qsizetype>(64, longestProbeName);
}

void checkExport(const ExportTable &table, int rows)
{
    FUZZ_CHECK(table.rowCount() == rows);
    for (int r = 0; r < table.rowCount(); ++r)
        for (int c = 0; c < table.columnCount(); ++c)
            FUZZ_CHECK(!table.hasCell(r, c) || table.cellText(r, c).size() <= cellBound());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::start(argc, argv);
    const QString catalogs = QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files");
    CatalogLoader::loadUnitCatalog(catalogs, unitCatalog);
    CatalogLoader::loadProbeCatalog(catalogs, probeNames);
    for (const QString &name : std::as_const(probeNames))
        longestProbeName = qMax(longestProbeName, name.size());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Reader input(data, size);
    const quint8 setUp = input.byte();
    const int uiIndex = setUp & 0x07;
    const bool chinese = setUp & 0x08;
    const int mode = input.word();
    MeterFlow::Download download;
    download.count = qint32(input.dword());
    const int nameBytes = input.word();
    QList<int> unitSlots;
    for (int slot = 0; slot < MeterFacts::UnitSlotCount; ++slot)
        unitSlots.append(input.byte());
    download.names = input.bytes(size_t(nameBytes));
    download.records = input.rest();
    const qsizetype heldRecords = download.records.size() / MeterFacts::RecordSize;

    // The decoder alone.
    if (const MeterKind *kind = MeterKind::find(uiIndex)) {
        const RecordDecoder decoder(*kind, mode, probeNames);
        const int available = decoder.availableRecords(download.records, download.names);
        FUZZ_CHECK(available >= 0 && available <= heldRecords);
        const QList<int> decimals(kind->columns(mode).size(), 2);
        DecodedRecord record;
        FUZZ_CHECK(!decoder.decode(download.records, download.names, available, record));
        for (int j = 0; j < available; ++j) {
            FUZZ_CHECK(decoder.decode(download.records, download.names, j, record));
            FUZZ_CHECK(qsizetype(record.fields.size()) == kind->columns(mode).size());
            FUZZ_CHECK(record.name.size() <= MeterFacts::NameLength);
            FUZZ_CHECK(RecordRowTexts::fits(*kind, mode, record, decimals));
            const QStringList cells = RecordRowTexts::cells(*kind, record, decimals, chinese);
            FUZZ_CHECK(cells.size() == qsizetype(record.fields.size()) + (kind->nameColumn ? 1 : 0));
            for (const QString &cell : cells)
                FUZZ_CHECK(cell.size() <= cellBound());
            SpectralValues::Values values;
            FUZZ_CHECK(SpectralValues::extract(download.records, j, *kind, mode, values));
        }
    }

    // The records table: one row per held record the count covers, at most.
    RecordsTableModel records;
    records.setChinese(chinese);
    records.setUpColumns(uiIndex, mode, unitSlots, unitCatalog);
    records.appendDownload(uiIndex, mode, download, probeNames);
    FUZZ_CHECK(records.rowCount() <= heldRecords && records.rowCount() <= qMax<qint64>(download.count, 0));
    FUZZ_CHECK(records.columnCount() <= 1 + 13 + 1);
    for (int c = 0; c < records.columnCount(); ++c)
        records.headerData(c, Qt::Horizontal);
    for (int r = 0; r < records.rowCount(); ++r)
        for (int c = 0; c < records.columnCount(); ++c)
            FUZZ_CHECK(records.data(records.index(r, c)).toString().size() <= cellBound());
    checkExport(records.exportTable(ColumnModel::exportHeaders(uiIndex, mode, unitSlots, chinese)), records.rowCount());

    // The spectral table.
    SpectralTableModel spectral(uiIndex);
    spectral.setChinese(chinese);
    spectral.setUp(unitSlots, unitCatalog);
    spectral.appendDownload(download, mode);
    FUZZ_CHECK(spectral.recordCount() <= heldRecords && spectral.recordCount() <= qMax<qint64>(download.count, 0));
    for (int r = 0; r < spectral.rowCount(); ++r)
        for (int c = 0; c < spectral.columnCount(); ++c)
            spectral.data(spectral.index(r, c));
    checkExport(spectral.exportTable(), spectral.recordCount());
    return 0;
}
