// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExportSheet.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class CsvWriter;
class ExcelEngine;
class QIODevice;
class ExportProgress;
class ExportTable;
class XlsxWorkbook;

// One exported file in one of the three formats: an Excel 97-2003 workbook (from "./template.xls"
// when there is one), an Excel workbook (.xlsx) or CSV. Workbooks get the table on their first
// sheet and an optional second sheet after it (after a template's own sheets); CSV has only the
// table. Whatever about the target can fail is found out by prepare(), before anything is read or
// written, and an existing file is replaced only by a complete new one.
class TableFile
{
public:
    enum Format {
        Xls,
        Xlsx,
        Csv
    };

    // The format a file name's suffix names (".xls", ".xlsx", ".csv" in any case); nullopt for
    // any other name.
    static std::optional<Format> formatOfSuffix(const QString &fileName);
    // The suffix of a format, without its dot.
    static QString suffix(Format format);
    // Most data rows (below the title row) a file of the format holds.
    static qint64 maxDataRows(Format format);

    TableFile(const QString &fileName, Format format);
    ~TableFile();

    TableFile(const TableFile &) = delete;
    TableFile &operator=(const TableFile &) = delete;

    enum Readiness {
        Ready,
        NotReplaceable,    // an existing target must not be replaced (read-only, not a file, open)
        FolderNotWritable, // no file can be made in the target's folder
        WorkbookFailed     // the workbook cannot be built (an unusable template): errorString()
    };
    // Checks the target and, for .xls, builds the workbook, as an export does when it starts.
    Readiness prepare();

    // Writes the whole table (and the extra sheets of a workbook), then replaces the target. The
    // progress, when given, gets the data rows written so far; a cancel writes no file and sets
    // wasCancelled(). False, with errorString(), otherwise.
    bool write(const ExportTable &table, ExportProgress *progress, const QList<ExportSheet> &extraSheets = {});

    // Fills table with the rows [first, first + count) under the titles; false, with the reason,
    // when they cannot be had.
    using TableOf = std::function<bool(qint64 first, int count, ExportTable &table, QString &reason)>;
    // Rows a batch holds where a format can take a table in parts (CSV, .xlsx).
    static constexpr int BatchRows = 4096;
    // The same for a table of `rows` rows too large to hold at once: CSV and .xlsx take a batch
    // at a time, .xls the whole table (which its sheet limits keep small). A table without rows
    // still gets its titles.
    bool write(qint64 rows, const TableOf &tableOf, const QList<ExportSheet> &extraSheets = {});

    // Writes the table as CSV into device (standard output) a batch at a time, as write() writes
    // a CSV file. False, with errorString(), when a batch or the device failed.
    bool writeCsv(QIODevice &device, qint64 rows, const TableOf &tableOf);

    QString errorString() const { return error; }
    bool wasCancelled() const { return cancelled; }

private:
    // Both take the table in batches of batchRows rows.
    bool writeCsv(qint64 rows, int batchRows, const TableOf &tableOf, ExportProgress *progress);
    bool csvLines(CsvWriter &writer, qint64 rows, int batchRows, const TableOf &tableOf, ExportProgress *progress,
                  QString &reason);
    bool writeXlsx(qint64 rows, int batchRows, const TableOf &tableOf, ExportProgress *progress,
                   const QList<ExportSheet> &extraSheets);
    bool writeXls(const ExportTable &table, ExportProgress *progress, const QList<ExportSheet> &extraSheets);
    bool tooManyRows(qint64 rows);

    const QString fileName;
    const Format format;
    std::unique_ptr<ExcelEngine> engine;
    QString error;
    bool cancelled = false;
};
