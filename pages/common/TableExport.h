#pragma once

#include "TableExportLayout.h"

#include <QDateTime>
#include <QString>

#include <functional>

class QTableWidget;
class QWidget;
class UserDialogs;

// The export of a page's table to an Excel workbook, shared by the records page and the spectral
// page: save dialog, progress dialog, the detached copy without the button column, the workbook
// engine, the success message, and on failure the question whether to try again (No empties the
// table, Yes starts over with a fresh save dialog).
namespace TableExport {

// Runs the whole export. Returns true when this call exported the table; false when there was
// nothing to export or the export failed (also when a retry the user asked for then succeeded).
// `emptyTable` empties the page's table: after a successful export, or when the user declines
// to try again. Texts are Chinese when `languageFlag` is true, else English.
//
//   return TableExport::exportTable(this, ui->tableWidget_data, *dialogs, m_languageFlag,
//                                   TableExportLayout::recordsTable(exportHeaders()),
//                                   [this] { ui->tableWidget_data->setRowCount(0); });
bool exportTable(QWidget *page, QTableWidget *table, UserDialogs &dialogs, bool languageFlag,
                 const TableExportLayout &layout, const std::function<void()> &emptyTable);

// "Data" followed by the date and time, e.g. Data20240131154502.
QString proposedFileName(const QDateTime &now);

} // namespace TableExport
