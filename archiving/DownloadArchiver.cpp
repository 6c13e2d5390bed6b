// SPDX-License-Identifier: GPL-3.0-or-later
#include "DownloadArchiver.h"

#include "Batches.h"
#include "ExportTable.h"
#include "MeasurementArchive.h"
#include "MeterFacts.h"
#include "NumberText.h"
#include "ProgramVersion.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>

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

ArchiveEntry entryOf(const DownloadOrigin &origin, qint64 count)
{
    ArchiveEntry entry;
    entry.downloadedUtc = origin.downloaded.toUTC();
    entry.hostName = QSysInfo::machineHostName();
    entry.programVersion = ProgramVersion::name() + QLatin1Char(' ') + ProgramVersion::version();
    entry.keyInfo = origin.keyInfo;
    entry.purpose = origin.purpose;
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
               const DownloadTables::BatchOf &batchOf, QString &reason)
{
    // The decoded values are kept in English, whatever language the window shows.
    DownloadTables tables(origin, false);
    ArchiveEntry entry = entryOf(origin, count);
    bool begun = false;
    for (const auto [first, batchCount] : Batches(count, BatchRecords)) {
        MeterFlow::Download batch;
        ExportTable table;
        const DownloadTables::BatchOf keep = [&](qint64 from, int n, MeterFlow::Download &out, QString &error) {
            if (!batchOf(from, n, out, error))
                return false;
            batch = out;
            return true;
        };
        if (!tables.table(first, batchCount, keep, table, reason))
            break;
        if (!begun) {
            // The titles come with the first batch, which a download without records has too.
            entry.titles = titlesOf(table);
            if (!archive.begin(entry))
                break;
            begun = true;
        }
        if (!archive.addMemory(ArchiveArea::Records, batch.records)
            || (!batch.names.isEmpty() && !archive.addMemory(ArchiveArea::Names, batch.names))
            || !archive.addRecords(decodedRows(table)))
            break;
        if (first + batchCount >= count) {
            const qint64 id = archive.commit();
            if (id == 0)
                reason = archive.errorString();
            return id;
        }
    }
    if (reason.isEmpty())
        reason = archive.errorString();
    if (begun)
        archive.rollback();
    return 0;
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
    origin.purpose = entry.purpose;
    origin.downloaded = entry.downloadedUtc.toLocalTime();
    catalogsFromJson(entry.catalogs, origin.unitCatalog, origin.probeNames);
    return origin;
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
    QJsonParseError error;
    const QJsonObject catalogs = QJsonDocument::fromJson(json, &error).object();
    if (error.error != QJsonParseError::NoError)
        return false;
    units.clear();
    for (const QJsonValue &row : catalogs.value(QStringLiteral("units")).toArray())
        units.append(row.toArray().toVariantList());
    probes.clear();
    const QJsonObject probeRows = catalogs.value(QStringLiteral("probes")).toObject();
    for (auto probe = probeRows.constBegin(); probe != probeRows.constEnd(); ++probe)
        probes.insert(probe.key(), probe.value().toString());
    return true;
}

} // namespace DownloadArchiver
