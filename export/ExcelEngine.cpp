// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExcelEngine.h"

#include "BiffWorkbook.h"
#include "EmptyWorkbook.h"
#include "ExportProgress.h"
#include "ExportTable.h"
#include "FileReplacement.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

ExcelEngine::ExcelEngine(const QString &fileName) : path(fileName), target(fileName) {}

ExcelEngine::~ExcelEngine()
{
    closeWorkbook();
}

bool ExcelEngine::fail(const QString &reason)
{
    lastError = reason;
    qWarning().noquote() << "ExcelEngine:" << reason;
    return false;
}

bool ExcelEngine::loadBase(QString *error)
{
    OleStorage::Contents contents;
    QByteArray stream;
    if (QFileInfo::exists(templatePath())) {
        QFile file(templatePath());
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("template.xls cannot be read: ") + file.errorString();
            return false;
        }
        if (!OleStorage::read(file.readAll(), &contents, error)) {
            *error = QStringLiteral("template.xls: ") + *error;
            return false;
        }
        stream = contents.workbook;
    } else {
        stream = EmptyWorkbook::stream();
    }
    std::unique_ptr<BiffWorkbook> book = BiffWorkbook::load(stream, error);
    if (!book) {
        *error = QStringLiteral("template.xls: ") + *error;
        return false;
    }
    if (contents.droppedBiff5Copy)
        book->clearDualStreamFlag();
    workbook = std::move(book);
    otherEntries = std::move(contents.root);
    return true;
}

bool ExcelEngine::openWorkbook(int sheetIndex)
{
    if (opened)
        closeWorkbook();
    if (path.isEmpty())
        return fail(QStringLiteral("no file name"));
    if (FileReplacement::readiness(path) != FileReplacement::Ready)
        return fail(QStringLiteral("%1 cannot be written or replaced").arg(path));
    sheetNumber = sheetIndex;
    QString error;
    if (!loadBase(&error) || !workbook->selectSheet(sheetIndex - 1, &error)) {
        workbook.reset();
        otherEntries = OleEntry();
        return fail(error);
    }
    const QByteArray dimensions = workbook->cells().dimensions();
    const quint32 rowMin = Biff::u32(dimensions, 0), rowMax = Biff::u32(dimensions, 4);
    const quint16 columnMin = Biff::u16(dimensions, 8), columnMax = Biff::u16(dimensions, 10);
    // An empty sheet reports A1 as its used range, as Excel does.
    const bool empty = rowMax <= rowMin || columnMax <= columnMin;
    firstRowUsed = empty ? 1 : int(rowMin) + 1;
    firstColumnUsed = empty ? 1 : int(columnMin) + 1;
    rowsUsed = empty ? 1 : int(rowMax - rowMin);
    columnsUsed = empty ? 1 : int(columnMax - columnMin);
    target = path;
    savedTo.clear();
    modified = true;
    opened = true;
    return true;
}

bool ExcelEngine::writeText(int row, int column, const QString &text)
{
    QString error;
    if (!workbook->setCellText(row - 1, column - 1, text, &error))
        return fail(QStringLiteral("cell (%1, %2): %3").arg(row).arg(column).arg(error));
    modified = true;
    return true;
}

bool ExcelEngine::setCellValue(int row, int column, const QVariant &value)
{
    if (!opened)
        return fail(QStringLiteral("no workbook open"));
    return writeText(row, column, value.toString());
}

bool ExcelEngine::checkSize(const ExportTable &table, qsizetype *texts)
{
    const int rows = table.rowCount();
    const int columns = table.columnCount();
    if (rows > Biff::MaxRows - 1)
        return fail(QStringLiteral("%1 data rows do not fit a sheet (at most %2)").arg(rows).arg(Biff::MaxRows - 1));
    if (columns > Biff::MaxColumns)
        return fail(QStringLiteral("%1 columns do not fit a sheet (at most %2)").arg(columns).arg(Biff::MaxColumns));
    *texts = 0;
    for (int c = 0; c < columns; ++c) {
        if (!table.hasHeader(c))
            continue;
        if (table.headerText(c).size() > Biff::MaxCellText)
            return fail(QStringLiteral("a column title is longer than a cell can hold"));
        ++*texts;
    }
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (!table.hasCell(r, c))
                continue;
            if (table.cellText(r, c).size() > Biff::MaxCellText)
                return fail(QStringLiteral("the text in row %1, column %2 is longer than a cell can hold")
                                .arg(r + 1)
                                .arg(c + 1));
            if (!table.isNumber(r, c))
                ++*texts;
        }
    }
    return true;
}

bool ExcelEngine::checkFormulaAnchors(const ExportTable &table)
{
    const int rows = table.rowCount();
    const int columns = table.columnCount();
    // Sheet row 0 holds the titles, sheet row r + 1 the table's row r.
    for (const WorksheetCells::Range &range : workbook->cells().formulaRanges()) {
        for (int sheetRow = range.firstRow; sheetRow <= qMin(range.lastRow, rows); ++sheetRow) {
            for (int c = range.firstColumn; c <= qMin(range.lastColumn, columns - 1); ++c) {
                const bool written = sheetRow == 0 ? table.hasHeader(c) : table.hasCell(sheetRow - 1, c);
                if (written)
                    return fail(QStringLiteral("the template has a shared, array or table formula at row %1, "
                                               "column %2, where the table is written")
                                    .arg(sheetRow + 1)
                                    .arg(c + 1));
            }
        }
    }
    return true;
}

bool ExcelEngine::writeCells(const ExportTable &table, int titleRow, int firstRow, ExportProgress *progress)
{
    const int rows = table.rowCount();
    const int columns = table.columnCount();
    // Whole rows at a time: the texts of a row go through the shared string table together.
    std::vector<BiffWorkbook::TextCell> cells;
    cells.reserve(size_t(columns));
    auto writeRow = [&](int sheetRow) {
        QString error;
        if (!workbook->setRowTexts(sheetRow, cells.data(), int(cells.size()), &error))
            return fail(QStringLiteral("row %1: %2").arg(sheetRow + 1).arg(error));
        modified = true;
        return true;
    };
    for (int c = 0; c < columns && titleRow >= 0; ++c) {
        if (table.hasHeader(c))
            cells.push_back({c, &table.headerText(c)});
    }
    if (!cells.empty() && !writeRow(titleRow))
        return false;
    for (int r = 0; r < rows; ++r) {
        cells.clear();
        for (int c = 0; c < columns; ++c) {
            if (table.hasCell(r, c))
                cells.push_back({c, &table.cellText(r, c), table.isNumber(r, c)});
        }
        if (!cells.empty() && !writeRow(firstRow + r))
            return false;
        if (progress) {
            progress->setValue(r + 1);
            if (progress->wasCanceled()) {
                // A cancelled export writes no file: the workbook is dropped before anything is
                // saved, so no temporary file is made and no later save can write the rows so far.
                closeWorkbook();
                cancelled = true;
                lastError = QStringLiteral("cancelled");
                return false;
            }
        }
    }
    return true;
}

bool ExcelEngine::writeTable(const ExportTable &table, ExportProgress *progress)
{
    cancelled = false;
    if (!opened)
        return fail(QStringLiteral("no workbook open"));
    qsizetype texts = 0;
    if (!checkSize(table, &texts) || !checkFormulaAnchors(table))
        return false;
    workbook->reserveStrings(texts);
    if (!writeCells(table, 0, 1, progress))
        return false;
    return saveWorkbook();
}

bool ExcelEngine::appendSheet(const QString &name, const ExportTable &table)
{
    if (!opened)
        return fail(QStringLiteral("no workbook open"));
    qsizetype texts = 0;
    if (!checkSize(table, &texts))
        return false;
    QString error;
    const int mainSheet = workbook->selectedSheet();
    const int added = workbook->addSheet(name, &error);
    if (added < 0 || !workbook->selectSheet(added, &error)) {
        if (added >= 0)
            workbook->removeAddedSheet(added);
        return fail(error);
    }
    workbook->reserveStrings(texts);
    const bool titles = table.hasAnyHeader();
    const bool written = writeCells(table, titles ? 0 : -1, titles ? 1 : 0, nullptr);
    // Back to the sheet writeTable writes, whose edits the workbook kept.
    workbook->selectSheet(mainSheet, &error);
    if (!written)
        workbook->removeAddedSheet(added);
    return written;
}

bool ExcelEngine::saveTo(const QString &file)
{
    if (!opened)
        return fail(QStringLiteral("no workbook open"));
    if (file.isEmpty())
        return fail(QStringLiteral("no file name"));
    // Saving the unchanged workbook again to the file it was just saved to writes nothing new.
    if (!modified && file == savedTo && QFileInfo::exists(file))
        return true;
    // The new file is written beside the old one and renamed over it only when complete.
    QString error;
    const auto writer = [this](QIODevice &device, QString &reason) {
        const bool written = writeWorkbook(device);
        if (!written)
            reason = lastError;
        return written;
    };
    if (!FileReplacement::write(file, writer, error))
        return fail(QStringLiteral("%1 cannot be written: %2").arg(file, error));
    savedTo = file;
    modified = false;
    return true;
}

bool ExcelEngine::writeWorkbook(QIODevice &device)
{
    if (!opened)
        return fail(QStringLiteral("no workbook open"));
    QString error;
    if (!OleStorage::write(workbook->write(), otherEntries, device, &error))
        return fail(error);
    return true;
}

bool ExcelEngine::saveWorkbook()
{
    return saveTo(target);
}

bool ExcelEngine::saveWorkbookAs(const QString &fileName)
{
    if (!saveTo(fileName))
        return false;
    target = fileName;
    return true;
}

void ExcelEngine::closeWorkbook()
{
    if (!opened)
        return;
    workbook.reset();
    otherEntries = OleEntry();
    opened = false;
    modified = false;
}
