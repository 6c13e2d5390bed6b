// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "NumberText.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

#include <array>
#include <memory>

class ExportProgress;
class ExportTable;
struct lxw_format;
struct lxw_workbook;
struct lxw_worksheet;

// Writes tables into a new Excel 2007+ (.xlsx) workbook file through libxlsxwriter.
//
// The workbook starts with one worksheet "Sheet1" that takes rows in order, batch after batch, so
// that a table too large for memory can be written in parts; further worksheets each take one
// whole table. Every cell is centred like those of the .xls engine; a measured value is stored as
// the number it shows, under a number format that shows it with the same decimals. The rows go
// straight to libxlsxwriter's temporary files (its constant memory mode), not into memory.
// Saving completes the file beside the target and renames it over the target only then, so a
// failed or abandoned workbook leaves any existing file as it was and no temporary file behind.
// Used once per export: construct, open, appendRows (once or per batch), appendSheet, save.
class XlsxWorkbook
{
public:
    static constexpr int MaxRows = 1048576; // sheet rows, the title row included
    static constexpr int MaxColumns = 16384;
    static constexpr int MaxCellText = 32767;

    explicit XlsxWorkbook(const QString &fileName);
    ~XlsxWorkbook(); // a workbook not saved leaves no file behind and the target as it was
    XlsxWorkbook(const XlsxWorkbook &) = delete;
    XlsxWorkbook &operator=(const XlsxWorkbook &) = delete;

    // Starts a new workbook with one worksheet "Sheet1", written beside the target. False, with
    // errorString(), when the target cannot be written or replaced (FileReplacement::canReplace).
    bool open();
    // Appends the table to "Sheet1": when withTitles, its titles into the next sheet row (row 1 for
    // the first call; columns whose header is set), then its cells, each row below the rows written
    // so far. Progress gets the number of data rows written over all calls; a cancel discards the
    // workbook (nothing is saved) and sets wasCancelled(). Fails before writing anything for a
    // table that would pass MaxRows or MaxColumns or holds a text longer than MaxCellText.
    bool appendRows(const ExportTable &table, bool withTitles, ExportProgress *progress);
    // Adds a worksheet after those so far holding the table the same way (titles in row 1 when any
    // header is set, otherwise cells from row 1). Called after open, before save.
    bool appendSheet(const QString &name, const ExportTable &table);
    // Completes the file and replaces the target with it once it is complete on disk (fsync, then
    // rename); false, with errorString(), otherwise, leaving an existing target as it was and no
    // temporary file. The workbook is closed either way.
    bool save();

    bool isOpen() const { return workbook != nullptr; }
    QString errorString() const { return lastError; }
    // Whether the last appendRows stopped because its progress reported a cancel.
    bool wasCancelled() const { return cancelled; }

private:
    // Frees a workbook that is not to be saved, with the temporary files of its worksheets.
    struct Discard
    {
        void operator()(lxw_workbook *book) const;
    };

    bool fail(const QString &reason);
    void discard();
    bool checkTable(const ExportTable &table, int firstSheetRow, bool withTitles);
    bool writeTitles(lxw_worksheet *sheet, int sheetRow, const ExportTable &table);
    bool writeRow(lxw_worksheet *sheet, int sheetRow, const ExportTable &table, int row);
    bool writeCell(lxw_worksheet *sheet, int sheetRow, int column, const QString &text, bool measured);
    lxw_format *numberFormat(int decimals);
    const char *utf8(const QString &text);

    QString target;
    QString temporaryFile; // beside the target, filled by libxlsxwriter on save
    std::unique_ptr<lxw_workbook, Discard> workbook;
    // Owned by the workbook:
    lxw_worksheet *firstSheet = nullptr;
    lxw_format *textFormat = nullptr;
    std::array<lxw_format *, NumberText::MaxDigits + 1> numberFormats{}; // by decimals, made when first used
    int firstSheetRows = 0; // sheet rows of "Sheet1" written so far, the title row included
    int dataRowsWritten = 0;
    QStringEncoder utf8Encoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
    QByteArray utf8Buffer; // one cell's text at a time, reused: no allocation per cell
    QString lastError;
    bool cancelled = false;
};
