// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BiffRecord.h"
#include "OleStorage.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

class BiffWorkbook;
class QIODevice;
class ExportProgress;
class ExportTable;

// Writes a table into one worksheet of an Excel 97-2003 (.xls) workbook file, and optionally more
// tables into worksheets it adds after the workbook's own.
//
// The workbook is built in memory, from "./template.xls" in the working directory when that file
// exists (everything in it is kept where the table does not write) or else as a new workbook with
// one sheet "Sheet1". Saving writes the complete file beside the target and renames it over the
// target only when it is complete, so a failed save leaves any existing file as it was. Closing
// discards unsaved changes. Used once per export: construct, openWorkbook, appendSheet (any number
// of times), writeTable, saveWorkbookAs, closeWorkbook, destroy.
class ExcelEngine : public QObject
{
    Q_OBJECT

public:
    explicit ExcelEngine(const QString &fileName);
    ~ExcelEngine() override;

    // Builds the workbook and selects worksheet `sheetIndex` (1-based). Fails when the target
    // cannot be written (FileReplacement::readiness), or the template cannot be read, is encrypted, is not Excel 97-2003, or
    // has no such worksheet.
    bool openWorkbook(int sheetIndex);
    // Writes the column titles into row 1 and the cells from row 2, column 1, every cell centred,
    // then saves. A cell the table holds as a number (ExportTable::isNumber) whose text NumberText
    // reads is stored as that number, under a number format that shows exactly its text; every
    // other cell is stored as its text. After each data row the progress gets the number of
    // rows written; a cancel stops the writing and closes the workbook without saving anything (an
    // existing file stays as it was), and writeTable fails with wasCancelled() true. Fails, before
    // writing anything, for a table a sheet cannot hold (more than 65,535 data rows, more than 256
    // columns, a text over 32,767 characters) or one that would overwrite the anchor of a shared,
    // array or table formula of the template.
    bool writeTable(const ExportTable &table, ExportProgress *progress);
    // Adds a worksheet after all of the workbook's sheets and writes `table` into it as writeTable
    // writes the selected sheet, except that a table without any column title starts in row 1.
    // The selected sheet stays selected. The sheet is called `name`, or "name (2)", "name (3)"...
    // when the workbook has a sheet of that name; characters a sheet name cannot hold become '_',
    // and the name is cut to 31 characters. Fails, adding nothing, for a table a sheet cannot hold.
    bool appendSheet(const QString &name, const ExportTable &table);
    // Writes one centred text cell (1-based row and column); the value is stored as its text.
    bool setCellValue(int row, int column, const QVariant &value);
    // Saves to the file the workbook belongs to (the constructor's, or the last saveWorkbookAs).
    bool saveWorkbook();
    bool saveWorkbookAs(const QString &fileName);
    // Writes the workbook as a compound file into device (seekable), as saving writes it into the
    // file beside the target; false, with errorString(), when the device failed.
    bool writeWorkbook(QIODevice &device);
    void closeWorkbook();

    static QString templatePath() { return QStringLiteral("./template.xls"); }

    QString fileName() const { return path; }
    bool isOpen() const { return opened; }
    int sheetIndex() const { return sheetNumber; }
    // The selected sheet's used range when it was opened (1-based, as the template had it).
    int firstUsedRow() const { return firstRowUsed; }
    int firstUsedColumn() const { return firstColumnUsed; }
    int usedRows() const { return rowsUsed; }
    int usedColumns() const { return columnsUsed; }
    // Why the last operation failed.
    QString errorString() const { return lastError; }
    // Whether the last writeTable stopped because its progress reported a cancel.
    bool wasCancelled() const { return cancelled; }

private:
    bool fail(const QString &reason);
    bool loadBase(QString *error);
    bool checkSize(const ExportTable &table, qsizetype *texts);
    bool checkFormulaAnchors(const ExportTable &table);
    bool writeCells(const ExportTable &table, int titleRow, int firstRow, ExportProgress *progress);
    bool writeText(int row, int column, const QString &text);
    bool saveTo(const QString &target);

    QString path;
    QString target;
    int sheetNumber = 0;
    int rowsUsed = 0;
    int columnsUsed = 0;
    int firstRowUsed = 0;
    int firstColumnUsed = 0;
    bool opened = false;
    bool modified = false;
    bool cancelled = false;
    QString savedTo;
    QString lastError;
    std::unique_ptr<BiffWorkbook> workbook;
    OleEntry otherEntries;
};
