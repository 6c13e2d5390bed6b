// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadTables.h"

#include <QString>
#include <QStringList>

#include <functional>

class ColourTableModel;
class RecordsTableModel;
class SpectralTableModel;
struct ExportSheet;

// A table as a report prints it: its titles and the text of every cell, read from the table model
// on demand (a report of many records holds no second copy of them). Column 0 labels the rows (the
// record numbers, or the figures' names); a table split into column groups repeats it in every group.
struct ReportTable
{
    QString caption;
    QStringList titles;
    int rows = 0;
    std::function<QString(int row, int column)> cell;
    // Why the cells could not be read (a table read from files or an archive a batch at a time):
    // empty while they can. A table held in memory has none.
    std::function<QString()> readError;

    int columns() const { return int(titles.size()); }

    // The records table as the records page shows it: every column but the delete buttons', its
    // titles with their units, the markers' texts and the names.
    // numberTitle: the title of the row numbers' column, which the report adds in front.
    static ReportTable ofRecords(const RecordsTableModel &model, const QString &caption, const QString &numberTitle);
    // The same table of a download's `count` records, read a batch at a time into the download's
    // records model as the pages are laid out and painted: the model holds one batch, not all.
    static ReportTable ofRecordBatches(DownloadTables &tables, qint64 count, const DownloadTables::BatchOf &batchOf,
                                       const QString &caption, const QString &numberTitle);
    // The spectral table: number, name (where it has names) and the 31 values of every record,
    // without the curve check boxes and the delete buttons.
    static ReportTable ofSpectra(const SpectralTableModel &model, const QString &caption);
    // The colour table, every column.
    static ReportTable ofColours(const ColourTableModel &model, const QString &caption);
    // A sheet a workbook gets beside its table (such as the statistics), captioned with its name:
    // its header texts as titles and every cell's text. The table keeps its own copy of the sheet.
    static ReportTable ofSheet(const ExportSheet &sheet);
};
