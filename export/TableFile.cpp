// SPDX-License-Identifier: GPL-3.0-or-later
#include "TableFile.h"

#include "Batches.h"
#include "BiffRecord.h"
#include "CsvWriter.h"
#include "ExcelEngine.h"
#include "ExportProgress.h"
#include "ExportSheet.h"
#include "ExportTable.h"
#include "FileReplacement.h"
#include "SheetGrid.h"
#include "XlsxWorkbook.h"

#include <QFileInfo>

#include <limits>

std::optional<TableFile::Format> TableFile::formatOfSuffix(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    for (const Format format : {Xls, Xlsx, Csv}) {
        if (suffix.compare(TableFile::suffix(format), Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}

QString TableFile::suffix(Format format)
{
    switch (format) {
    case Xls:
        return QStringLiteral("xls");
    case Xlsx:
        return QStringLiteral("xlsx");
    case Csv:
        return QStringLiteral("csv");
    }
    return QString();
}

qint64 TableFile::maxDataRows(Format format)
{
    switch (format) {
    case Xls:
        return Biff::MaxRows - 1;
    case Xlsx:
        return XlsxWorkbook::MaxRows - 1;
    case Csv:
        break;
    }
    return std::numeric_limits<qint64>::max();
}

TableFile::TableFile(const QString &fileName, Format format) : fileName(fileName), format(format) {}

TableFile::~TableFile() = default;

TableFile::Readiness TableFile::prepare()
{
    engine.reset();
    switch (FileReplacement::readiness(fileName)) {
    case FileReplacement::Ready:
        break;
    case FileReplacement::NotReplaceable:
        return NotReplaceable;
    case FileReplacement::FolderNotWritable:
        return FolderNotWritable;
    }
    if (format != Xls)
        return Ready;
    engine = std::make_unique<ExcelEngine>(fileName);
    // The workbook is built now, from the template when there is one, so that an unusable
    // template is reported before the table is read.
    if (!engine->openWorkbook(1)) {
        error = engine->errorString();
        engine.reset();
        return WorkbookFailed;
    }
    return Ready;
}

bool TableFile::tooManyRows(qint64 rows)
{
    if (rows <= maxDataRows(format))
        return false;
    error = QStringLiteral("%1 rows do not fit a sheet (at most %2)").arg(rows).arg(maxDataRows(format));
    return true;
}

bool TableFile::write(const ExportTable &table, ExportProgress *progress, const QList<ExportSheet> &extraSheets)
{
    cancelled = false;
    if (tooManyRows(table.rowCount()))
        return false;
    if (format == Xls)
        return writeXls(table, progress, extraSheets);
    const TableOf whole = [&table](qint64, int, ExportTable &batch, QString &) {
        batch = table;
        return true;
    };
    // The whole table is one batch.
    const int batchRows = qMax(table.rowCount(), 1);
    if (format == Xlsx)
        return writeXlsx(table.rowCount(), batchRows, whole, progress, extraSheets);
    return writeCsv(table.rowCount(), batchRows, whole, progress);
}

bool TableFile::write(qint64 rows, const TableOf &tableOf, const QList<ExportSheet> &extraSheets)
{
    cancelled = false;
    if (tooManyRows(rows))
        return false;
    if (format == Csv)
        return writeCsv(rows, BatchRows, tableOf, nullptr);
    if (format == Xlsx)
        return writeXlsx(rows, BatchRows, tableOf, nullptr, extraSheets);
    ExportTable table;
    return tableOf(0, int(rows), table, error) && writeXls(table, nullptr, extraSheets);
}

bool TableFile::writeXls(const ExportTable &table, ExportProgress *progress, const QList<ExportSheet> &extraSheets)
{
    if (!engine) {
        error = QStringLiteral("no workbook open");
        return false;
    }
    // The extra sheets go in first: writing the table saves the workbook.
    bool written = true;
    for (const ExportSheet &sheet : extraSheets)
        written = written && engine->appendSheet(sheet.name, sheet.table);
    written = written && engine->writeTable(table, progress) && engine->saveWorkbookAs(fileName);
    if (!written) {
        cancelled = engine->wasCancelled();
        error = engine->errorString();
    }
    engine->closeWorkbook();
    engine.reset();
    return written;
}

bool TableFile::writeXlsx(qint64 rows, int batchRows, const TableOf &tableOf, ExportProgress *progress,
                          const QList<ExportSheet> &extraSheets)
{
    XlsxWorkbook workbook(fileName);
    bool written = workbook.open();
    for (const Batches::Batch rowsOf : Batches(rows, batchRows)) {
        if (!written)
            break;
        ExportTable batch;
        if (!tableOf(rowsOf.first, rowsOf.count, batch, error))
            return false;
        written = workbook.appendRows(batch, rowsOf.first == 0, progress);
    }
    for (const ExportSheet &sheet : extraSheets)
        written = written && workbook.appendSheet(sheet.name, sheet.table);
    written = written && workbook.save();
    if (!written) {
        cancelled = workbook.wasCancelled();
        error = workbook.errorString();
    }
    return written;
}

bool TableFile::csvLines(CsvWriter &writer, qint64 rows, int batchRows, const TableOf &tableOf,
                         ExportProgress *progress, QString &reason)
{
    for (const auto [first, count] : Batches(rows, batchRows)) {
        ExportTable batch;
        if (!tableOf(first, count, batch, reason))
            return false;
        const QList<QStringList> lines = SheetGrid::rows(batch);
        // The titles come with the first batch only.
        for (qsizetype r = first == 0 ? 0 : 1; r < lines.size(); ++r) {
            if (!writer.writeRow(lines.at(r)))
                return false;
            if (progress && r > 0) {
                progress->setValue(int(first + r));
                if (progress->wasCanceled()) {
                    cancelled = true;
                    reason = QStringLiteral("cancelled");
                    return false;
                }
            }
        }
    }
    return true;
}

bool TableFile::writeCsv(QIODevice &device, qint64 rows, const TableOf &tableOf)
{
    CsvWriter writer(device);
    error.clear();
    if (csvLines(writer, rows, BatchRows, tableOf, nullptr, error) && writer.finish())
        return true;
    if (error.isEmpty())
        error = writer.errorString();
    return false;
}

bool TableFile::writeCsv(qint64 rows, int batchRows, const TableOf &tableOf, ExportProgress *progress)
{
    const auto lines = [&](CsvWriter &writer, QString &reason) {
        return csvLines(writer, rows, batchRows, tableOf, progress, reason);
    };
    return CsvWriter::writeLines(fileName, lines, error);
}
