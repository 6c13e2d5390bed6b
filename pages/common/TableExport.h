#pragma once

#include "ExportTable.h"

#include <QDateTime>
#include <QString>

#include <functional>

class QWidget;
class UserDialogs;

// The export of a page's table to an Excel workbook, shared by the records page and the spectral
// page: save dialog, progress dialog, the workbook engine, the success message, on a cancel in the
// progress dialog the cancelled message, and on failure the question whether to try again (Yes
// starts over with a fresh save dialog, No does what the caller's DeclinedRetry says).
namespace TableExport {

// What answering No to the question after a failed export does with the page's table.
enum class DeclinedRetry {
    KeepTable,  // the export button: the rows, with any names typed in them, stay
    EmptyTable, // saving before a download, which replaces the table anyway
};

// Runs the whole export of `table` (the page model's export table); `tableRows`, the page table's
// row count (with the spectral table's title row), sets the progress range. Returns true when this
// call exported it; false when there was no row to export, the user cancelled it or the export failed
// (also when a retry the user asked for then succeeded). `emptyTable` empties the page's table: after
// a successful export, and after a declined retry when `declinedRetry` says so; a cancelled export
// keeps the table and writes no file. Texts are Chinese when `languageFlag` is true.
bool exportTable(QWidget *page, const ExportTable &table, int tableRows, UserDialogs &dialogs, bool languageFlag,
                 DeclinedRetry declinedRetry, const std::function<void()> &emptyTable);

// "Data" followed by the date and time, e.g. Data20240131154502.
QString proposedFileName(const QDateTime &now);

} // namespace TableExport
