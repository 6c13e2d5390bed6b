// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExportSheet.h"
#include "ExportTable.h"
#include "TableFile.h"

#include <QDateTime>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
class UserDialogs;

// The export of a page's table to a file, shared by the records page and the spectral page: save
// dialog (Excel 97-2003, Excel or CSV), progress dialog, the file writer, the success message, on a
// cancel in the progress dialog the cancelled message, and on failure the question whether to try
// again (Yes starts over with a fresh save dialog, No does what the caller's DeclinedRetry says).
namespace TableExport {

// What answering No to the question after a failed export does with the page's table.
enum class DeclinedRetry {
    KeepTable,  // the export button: the rows, with any names typed in them, stay
    EmptyTable, // saving before a download, which replaces the table anyway
};

// Runs the whole export of `table` (the page model's export table) and, into a workbook,
// `extraSheets` after the table's sheet, in order; `tableRows`, the page table's row count (with the spectral
// table's title row), sets the progress range. Returns true when this call exported it; false when
// there was no row to export, the user cancelled it or the export failed (also when a retry the user
// asked for then succeeded). `emptyTable` empties the page's table: after a successful export, and
// after a declined retry when `declinedRetry` says so; a cancelled export keeps the table and writes
// no file. Texts are Chinese when `languageFlag` is true.
bool exportTable(QWidget *page, const ExportTable &table, const QList<ExportSheet> &extraSheets, int tableRows,
                 UserDialogs &dialogs, bool languageFlag, DeclinedRetry declinedRetry,
                 const std::function<void()> &emptyTable);

// "Data" followed by the date and time, e.g. Data20240131154502.
QString proposedFileName(const QDateTime &now);

// The save dialog's name filters, one per format, .xls first.
QStringList nameFilters();
// The file an export writes and its format: a suffix the user typed (.xls, .xlsx, .csv in any case)
// decides the format; otherwise the chosen filter does, and its suffix is added to the name.
QPair<QString, TableFile::Format> target(const QString &fileName, const QString &chosenFilter);

} // namespace TableExport
