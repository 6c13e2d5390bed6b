// SPDX-License-Identifier: GPL-3.0-or-later
#include "DownloadArchiver.h"

#include "Batches.h"
#include "ExportTable.h"
#include "MeasurementArchive.h"
#include "MeterFacts.h"
#include "MeterKind.h"
#include "NumberText.h"
#include "ProgramVersion.h"
#include "TextCatalogue.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>
#include <QTemporaryFile>

#include <limits>

namespace {

constexpr int BatchRecords = 4096;

QByteArray compact(const QJsonArray &array)
{
    return QJsonDocument(array).toJson(QJsonDocument::Compact);
}

// One JSON array per table row: a measured value as its number, every other cell as its text,
// an unset cell as null.
QList<QByteArray> decodedRows(const ExportTable &table)
{
    QList<QByteArray> rows;
    rows.reserve(table.rowCount());
    for (int r = 0; r < table.rowCount(); ++r) {
        QJsonArray values;
        for (int c = 0; c < table.columnCount(); ++c) {
            if (!table.hasCell(r, c)) {
                values.append(QJsonValue::Null);
                continue;
            }
            const std::optional<NumberText> number =
                table.isNumber(r, c) ? NumberText::read(table.cellText(r, c)) : std::nullopt;
            values.append(number ? QJsonValue(number->value) : QJsonValue(table.cellText(r, c)));
        }
        rows.append(compact(values));
    }
    return rows;
}

QByteArray titlesOf(const ExportTable &table)
{
    QJsonArray titles;
    for (int c = 0; c < table.columnCount(); ++c)
        titles.append(table.hasHeader(c) ? QJsonValue(table.headerText(c)) : QJsonValue::Null);
    return compact(titles);
}

ArchivedTable tableOf(MeterFlow::Purpose purpose, DownloadTables::Contents contents)
{
    if (purpose == MeterFlow::Records)
        return ArchivedTable::Records;
    return contents == DownloadTables::ColourTable ? ArchivedTable::Colours : ArchivedTable::Spectra;
}

ArchiveEntry entryOf(const DownloadOrigin &origin, qint64 count, DownloadTables::Contents contents)
{
    ArchiveEntry entry;
    entry.downloadedUtc = origin.downloaded.toUTC();
    entry.hostName = QSysInfo::machineHostName();
    entry.programVersion = ProgramVersion::name() + QLatin1Char(' ') + ProgramVersion::version();
    entry.keyInfo = origin.keyInfo;
    entry.table = tableOf(origin.purpose, contents);
    entry.uiIndex = origin.state.uiIndex;
    entry.mode = origin.state.mode;
    entry.unitSlots = origin.state.unitSlots;
    entry.recordCount = count;
    entry.catalogs = DownloadArchiver::catalogsJson(origin.unitCatalog, origin.probeNames);
    return entry;
}

} // namespace

namespace DownloadArchiver {

qint64 archive(MeasurementArchive &archive, const DownloadOrigin &origin, qint64 count,
               const DownloadTables::BatchOf &batchOf, QString &reason, DownloadTables::Contents contents)
{
    // Decoding takes far longer than storing. It is done before the write transaction, into a
    // temporary file (one JSON array per line), so that the archive's write lock is held only
    // while bytes are copied and concurrent downloads wait for each other briefly.
    QTemporaryFile decoded;
    if (!decoded.open()) {
        reason = QStringLiteral("cannot make a temporary file for the decoded records: ") + decoded.errorString();
        return 0;
    }
    // The decoded values are kept in English, whatever language the window shows.
    DownloadTables tables(origin, false);
    ArchiveEntry entry = entryOf(origin, count, contents);
    MeterFlow::Download batch;
    for (const auto [first, batchCount] : Batches(count, BatchRecords)) {
        ExportTable table;
        if (!tables.table(first, batchCount, batchOf, table, reason))
            return 0;
        // The titles come with the first batch, which a download without records has too.
        if (first == 0)
            entry.titles = titlesOf(table);
        for (const QByteArray &row : decodedRows(table)) {
            if (decoded.write(row) != row.size() || !decoded.putChar('\n')) {
                reason = QStringLiteral("cannot keep the decoded records: ") + decoded.errorString();
                return 0;
            }
        }
    }
    if (!decoded.flush() || !decoded.seek(0)) {
        reason = QStringLiteral("cannot keep the decoded records: ") + decoded.errorString();
        return 0;
    }

    if (!archive.begin(entry)) {
        reason = archive.errorString();
        return 0;
    }
    for (const auto [first, batchCount] : Batches(count, BatchRecords)) {
        QList<QByteArray> rows;
        rows.reserve(batchCount);
        while (rows.size() < batchCount && !decoded.atEnd())
            rows.append(decoded.readLine().chopped(1));
        if (rows.size() != batchCount) {
            reason = QStringLiteral("cannot read back the decoded records: ") + decoded.errorString();
        } else if (batchOf(first, batchCount, batch, reason) && archive.addMemory(ArchiveArea::Records, batch.records)
                   && (batch.names.isEmpty() || archive.addMemory(ArchiveArea::Names, batch.names))
                   && archive.addRecords(rows)) {
            continue;
        }
        if (reason.isEmpty())
            reason = archive.errorString();
        archive.rollback();
        return 0;
    }
    const qint64 id = archive.commit();
    if (id == 0)
        reason = archive.errorString();
    return id;
}

qint64 archive(MeasurementArchive &archive, const DownloadOrigin &origin, const MeterFlow::Download &download,
               QString &reason)
{
    const DownloadTables::BatchOf slices = [&download](qint64 first, int count, MeterFlow::Download &batch,
                                                       QString &error) {
        if (DownloadTables::slice(download, first, count, batch))
            return true;
        error = QStringLiteral("the download holds fewer records than it says");
        return false;
    };
    return DownloadArchiver::archive(archive, origin, download.count, slices, reason);
}

DownloadOrigin originOf(const ArchiveEntry &entry)
{
    DownloadOrigin origin;
    origin.keyInfo = entry.keyInfo;
    origin.state.uiIndex = entry.uiIndex;
    origin.state.mode = entry.mode;
    origin.state.unitSlots = entry.unitSlots;
    origin.purpose = purposeOf(entry.table).value_or(MeterFlow::Records);
    origin.downloaded = entry.downloadedUtc.toLocalTime();
    catalogsFromJson(entry.catalogs, origin.unitCatalog, origin.probeNames);
    return origin;
}

DownloadTables::Contents contentsOf(const ArchiveEntry &entry)
{
    return entry.table == ArchivedTable::Colours ? DownloadTables::ColourTable : DownloadTables::PurposeTable;
}

std::optional<QString> damage(const ArchiveEntry &entry, const ArchivedMemory (&memory)[2], bool chinese)
{
    const auto text = [chinese](Text id) { return TextCatalogue::text(id, chinese); };
    const MeterKind *kind = MeterKind::find(entry.uiIndex);
    const std::optional<MeterFlow::Purpose> purpose = purposeOf(entry.table);
    UnitCatalog units;
    ProbeNames probes;
    QString what;
    if (!kind) {
        what = text(Text::ArchivedKindUnknown).arg(entry.uiIndex);
    } else if (!purpose || (*purpose == MeterFlow::Spectra && !kind->hasSpectra)) {
        what = text(Text::ArchivedTableUnknown).arg(int(entry.table)).arg(entry.uiIndex);
    } else if (entry.unitSlots.size() != MeterFacts::UnitSlotCount) {
        what = text(Text::ArchivedSlotsIncomplete).arg(entry.unitSlots.size()).arg(MeterFacts::UnitSlotCount);
    } else if (!catalogsFromJson(entry.catalogs, units, probes)) {
        what = text(Text::ArchivedCatalogsUnreadable);
    } else if (entry.recordCount < 0
               || entry.recordCount > std::numeric_limits<qint64>::max() / MeterFacts::RecordSize) {
        what = text(Text::ArchivedCountImpossible).arg(entry.recordCount);
    } else {
        // The memory as read: every record's bytes, and a name slot per record for kinds that read names.
        const qint64 recordBytes = entry.recordCount * MeterFacts::RecordSize;
        const qint64 nameBytes = kind->readsNames ? entry.recordCount * MeterFacts::NameSlotSize : 0;
        const ArchivedMemory &records = memory[int(ArchiveArea::Records)];
        const ArchivedMemory &names = memory[int(ArchiveArea::Names)];
        if (records.bytes != recordBytes || !records.whole)
            what = text(Text::ArchivedRecordsMismatch).arg(entry.recordCount).arg(recordBytes).arg(records.bytes);
        else if (names.bytes != nameBytes || !names.whole)
            what = text(Text::ArchivedNamesMismatch).arg(entry.recordCount).arg(nameBytes).arg(names.bytes);
    }
    if (what.isEmpty())
        return std::nullopt;
    return text(Text::ArchivedDownloadDamaged).arg(entry.id).arg(what);
}

QByteArray catalogsJson(const UnitCatalog &units, const ProbeNames &probes)
{
    QJsonArray unitRows;
    for (const CatalogRow &row : units)
        unitRows.append(QJsonArray::fromVariantList(row));
    QJsonObject probeRows;
    for (auto probe = probes.cbegin(); probe != probes.cend(); ++probe)
        probeRows.insert(probe.key(), probe.value());
    return QJsonDocument(QJsonObject{{QStringLiteral("units"), unitRows}, {QStringLiteral("probes"), probeRows}})
        .toJson(QJsonDocument::Compact);
}

bool catalogsFromJson(const QByteArray &json, UnitCatalog &units, ProbeNames &probes)
{
    // Anything but what catalogsJson() writes is damage: decoding with a part of the catalogs
    // missing would give other units and decimals than the download had.
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    const QJsonValue unitRows = document.object().value(QStringLiteral("units"));
    const QJsonValue probeRows = document.object().value(QStringLiteral("probes"));
    if (error.error != QJsonParseError::NoError || !document.isObject() || !unitRows.isArray() || !probeRows.isObject())
        return false;
    units.clear();
    for (const QJsonValue &row : unitRows.toArray()) {
        if (!row.isArray())
            return false;
        units.append(row.toArray().toVariantList());
    }
    probes.clear();
    const QJsonObject probeObject = probeRows.toObject();
    for (auto probe = probeObject.constBegin(); probe != probeObject.constEnd(); ++probe) {
        if (!probe.value().isString())
            return false;
        probes.insert(probe.key(), probe.value().toString());
    }
    return true;
}

} // namespace DownloadArchiver
