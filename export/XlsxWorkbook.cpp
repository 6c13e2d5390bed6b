// SPDX-License-Identifier: GPL-3.0-or-later
#include "XlsxWorkbook.h"

#include "ExportProgress.h"
#include "ExportTable.h"
#include "FileReplacement.h"
#include "LibraryMessages.h"

#include <QDebug>
#include <QFile>

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <utility>

namespace {

// libxlsxwriter prints numbers with snprintf, which follows LC_NUMERIC: under a locale with a
// decimal comma (QCoreApplication takes the locale from the environment) it would write "12,3"
// into the file, which no reader takes as 12.3. While it is alive, this thread prints numbers
// under the C locale; other threads are not affected.
class CNumericLocale
{
public:
    CNumericLocale() : numeric(newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr))), previous(use(numeric)) {}
    ~CNumericLocale()
    {
        if (numeric) {
            uselocale(previous);
            freelocale(numeric);
        }
    }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

    bool isSet() const { return numeric != locale_t(nullptr); }

private:
    static locale_t use(locale_t locale) { return locale ? uselocale(locale) : locale_t(nullptr); }

    const locale_t numeric;
    const locale_t previous;
};

constexpr char libraryName[] = "libxlsxwriter";

QString describe(lxw_error error)
{
    return QString::fromUtf8(lxw_strerror(error));
}

// Errors behind which the system reported why (errno).
bool systemCaused(lxw_error error)
{
    switch (error) {
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        return true;
    default:
        return false;
    }
}

} // namespace

void XlsxWorkbook::Discard::operator()(lxw_workbook *book) const
{
    // In constant memory mode each worksheet keeps its rows in a temporary file that only
    // workbook_close reads and closes; lxw_workbook_free leaves it open, so it is closed here.
    lxw_worksheet *sheet = nullptr;
    LXW_FOREACH_WORKSHEET(sheet, book)
    {
        if (sheet->optimize_tmpfile) {
            std::fclose(sheet->optimize_tmpfile);
            sheet->optimize_tmpfile = nullptr;
        }
    }
    lxw_workbook_free(book);
}

XlsxWorkbook::XlsxWorkbook(const QString &fileName) : target(fileName) {}

XlsxWorkbook::~XlsxWorkbook()
{
    discard();
}

bool XlsxWorkbook::fail(const QString &reason)
{
    lastError = reason;
    qWarning().noquote() << "XlsxWorkbook:" << reason;
    return false;
}

void XlsxWorkbook::discard()
{
    workbook.reset();
    firstSheet = nullptr;
    textFormat = nullptr;
    numberFormats.fill(nullptr);
    if (!temporaryFile.isEmpty())
        QFile::remove(std::exchange(temporaryFile, QString()));
}

bool XlsxWorkbook::open()
{
    discard();
    cancelled = false;
    firstSheetRows = 0;
    dataRowsWritten = 0;
    if (target.isEmpty())
        return fail(QStringLiteral("no file name"));
    QString error;
    temporaryFile = FileReplacement::createBeside(target, error);
    if (temporaryFile.isEmpty())
        return fail(QStringLiteral("%1 cannot be written: %2").arg(target, error));
    // libxlsxwriter writes the file named here only in workbook_close, over the empty one made
    // beside the target; until then the rows go to its own unnamed temporary files.
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    {
        const LibraryMessages quiet(libraryName);
        workbook.reset(workbook_new_opt(QFile::encodeName(temporaryFile).constData(), &options));
        if (workbook)
            firstSheet = workbook_add_worksheet(workbook.get(), "Sheet1");
        if (firstSheet)
            textFormat = workbook_add_format(workbook.get());
    }
    if (!textFormat) {
        discard();
        return fail(
            QStringLiteral("%1: libxlsxwriter cannot start a workbook (out of memory or temporary files)").arg(target));
    }
    format_set_align(textFormat, LXW_ALIGN_CENTER);
    return true;
}

bool XlsxWorkbook::checkTable(const ExportTable &table, int firstSheetRow, bool withTitles)
{
    const int rows = table.rowCount();
    const int columns = table.columnCount();
    const qint64 sheetRows = qint64(firstSheetRow) + (withTitles ? 1 : 0) + rows;
    if (sheetRows > MaxRows)
        return fail(QStringLiteral("%1 data rows do not fit a sheet below its %2 rows so far (at most %3 rows)")
                        .arg(rows)
                        .arg(firstSheetRow)
                        .arg(MaxRows));
    if (columns > MaxColumns)
        return fail(QStringLiteral("%1 columns do not fit a sheet (at most %2)").arg(columns).arg(MaxColumns));
    for (int c = 0; c < columns && withTitles; ++c)
        if (table.hasHeader(c) && table.headerText(c).size() > MaxCellText)
            return fail(QStringLiteral("a column title is longer than a cell can hold"));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (table.hasCell(r, c) && table.cellText(r, c).size() > MaxCellText)
                return fail(QStringLiteral("the text in row %1, column %2 is longer than a cell can hold")
                                .arg(r + 1)
                                .arg(c + 1));
    return true;
}

const char *XlsxWorkbook::utf8(const QString &text)
{
    // Encoding into one buffer that only grows saves an allocation per cell over toUtf8().
    const qsizetype space = utf8Encoder.requiredSpace(text.size()) + 1;
    if (utf8Buffer.size() < space)
        utf8Buffer.resize(space);
    char *const end = utf8Encoder.appendToBuffer(utf8Buffer.data(), text);
    *end = '\0';
    return utf8Buffer.constData();
}

lxw_format *XlsxWorkbook::numberFormat(int decimals)
{
    lxw_format *&format = numberFormats.at(size_t(decimals));
    if (!format) {
        format = workbook_add_format(workbook.get());
        if (format) {
            format_set_align(format, LXW_ALIGN_CENTER);
            format_set_num_format(format, NumberText::format(decimals).toLatin1().constData());
        }
    }
    return format;
}

bool XlsxWorkbook::writeCell(lxw_worksheet *sheet, int sheetRow, int column, const QString &text, bool measured)
{
    lxw_error result = LXW_NO_ERROR;
    const std::optional<NumberText> number = measured ? NumberText::read(text) : std::nullopt;
    if (number) {
        lxw_format *const format = numberFormat(number->decimals);
        if (!format)
            return fail(QStringLiteral("libxlsxwriter cannot make a number format (out of memory)"));
        result = worksheet_write_number(sheet, lxw_row_t(sheetRow), lxw_col_t(column), number->value, format);
    } else {
        // An empty text gives a blank cell that is still centred.
        result = worksheet_write_string(sheet, lxw_row_t(sheetRow), lxw_col_t(column), utf8(text), textFormat);
    }
    if (result != LXW_NO_ERROR)
        return fail(QStringLiteral("row %1, column %2: %3").arg(sheetRow + 1).arg(column + 1).arg(describe(result)));
    return true;
}

bool XlsxWorkbook::writeTitles(lxw_worksheet *sheet, int sheetRow, const ExportTable &table)
{
    for (int c = 0; c < table.columnCount(); ++c)
        if (table.hasHeader(c) && !writeCell(sheet, sheetRow, c, table.headerText(c), false))
            return false;
    return true;
}

bool XlsxWorkbook::writeRow(lxw_worksheet *sheet, int sheetRow, const ExportTable &table, int row)
{
    for (int c = 0; c < table.columnCount(); ++c)
        if (table.hasCell(row, c) && !writeCell(sheet, sheetRow, c, table.cellText(row, c), table.isNumber(row, c)))
            return false;
    return true;
}

bool XlsxWorkbook::appendRows(const ExportTable &table, bool withTitles, ExportProgress *progress)
{
    cancelled = false;
    if (!workbook)
        return fail(QStringLiteral("no workbook open"));
    if (!checkTable(table, firstSheetRows, withTitles))
        return false;
    const CNumericLocale cLocale;
    if (!cLocale.isSet())
        return fail(QStringLiteral("cannot switch to the C locale to write numbers"));
    // A write that fails part-way leaves a sheet that must not be saved: the workbook is dropped.
    if (withTitles) {
        if (!writeTitles(firstSheet, firstSheetRows, table)) {
            discard();
            return false;
        }
        ++firstSheetRows;
    }
    for (int r = 0; r < table.rowCount(); ++r) {
        if (!writeRow(firstSheet, firstSheetRows, table, r)) {
            discard();
            return false;
        }
        ++firstSheetRows;
        ++dataRowsWritten;
        if (progress) {
            progress->setValue(dataRowsWritten);
            if (progress->wasCanceled()) {
                // Nothing is saved after a cancel, not even by a later save().
                discard();
                cancelled = true;
                lastError = QStringLiteral("cancelled");
                return false;
            }
        }
    }
    return true;
}

bool XlsxWorkbook::appendSheet(const QString &name, const ExportTable &table)
{
    if (!workbook)
        return fail(QStringLiteral("no workbook open"));
    const QByteArray sheetName = name.toUtf8();
    // libxlsxwriter accepts an empty name, which Excel rejects.
    const lxw_error nameError = name.isEmpty() ? LXW_ERROR_PARAMETER_VALIDATION
                                               : workbook_validate_sheet_name(workbook.get(), sheetName.constData());
    if (nameError != LXW_NO_ERROR)
        return fail(QStringLiteral("sheet name \"%1\": %2").arg(name, describe(nameError)));
    const bool withTitles = table.hasAnyHeader();
    if (!checkTable(table, 0, withTitles))
        return false;
    const CNumericLocale cLocale;
    if (!cLocale.isSet())
        return fail(QStringLiteral("cannot switch to the C locale to write numbers"));
    lxw_worksheet *sheet = nullptr;
    {
        const LibraryMessages quiet(libraryName);
        sheet = workbook_add_worksheet(workbook.get(), sheetName.constData());
    }
    if (!sheet) {
        discard();
        return fail(QStringLiteral("libxlsxwriter cannot add the sheet \"%1\"").arg(name));
    }
    int sheetRow = 0;
    if (withTitles && !writeTitles(sheet, sheetRow++, table)) {
        discard();
        return false;
    }
    for (int r = 0; r < table.rowCount(); ++r) {
        if (!writeRow(sheet, sheetRow++, table, r)) {
            discard();
            return false;
        }
    }
    return true;
}

bool XlsxWorkbook::save()
{
    if (!workbook)
        return fail(QStringLiteral("no workbook open"));
    const QString written = std::exchange(temporaryFile, QString());
    firstSheet = nullptr;
    textFormat = nullptr;
    numberFormats.fill(nullptr);
    // In constant memory mode the last row's numbers are printed only now.
    const CNumericLocale cLocale;
    if (!cLocale.isSet()) {
        workbook.reset();
        QFile::remove(written);
        return fail(QStringLiteral("cannot switch to the C locale to write numbers"));
    }
    // workbook_close frees the workbook whether or not it could write the file. Its own account
    // of a failure goes to the debug log; the reason the system gave (a full disk, a file too
    // large) goes into the message.
    lxw_error closed = LXW_NO_ERROR;
    int cause = 0;
    {
        const LibraryMessages quiet(libraryName);
        errno = 0;
        closed = workbook_close(workbook.release());
        cause = errno;
    }
    if (closed != LXW_NO_ERROR) {
        QFile::remove(written);
        QString reason = describe(closed);
        if (cause && systemCaused(closed))
            reason += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(std::strerror(cause)));
        return fail(QStringLiteral("%1 cannot be written: %2").arg(target, reason));
    }
    QString error;
    if (!FileReplacement::replaceWith(written, target, error))
        return fail(QStringLiteral("%1 cannot be written: %2").arg(target, error));
    return true;
}
