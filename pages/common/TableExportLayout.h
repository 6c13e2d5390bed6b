#pragma once

#include "ExportTable.h"

#include <QStringList>

class QTableWidget;

// Which part of a page's table goes into the workbook, and where its column titles come from.
// Every data row of both tables ends with the delete-button column, which is never exported.
struct TableExportLayout
{
    enum class Titles {
        // Column i is titled with entry i of `titleList` when the table has a horizontal header
        // item at i and the list has more than i entries (the records page's export headers).
        FromList,
        // Column i is titled with the text of the title row's item in column i, where there is
        // one (the spectral page's first row; its curve column holds a check box, not an item).
        FromTitleRow,
    };

    int firstRow = 0; // rows above it are not exported
    Titles titles = Titles::FromList;
    QStringList titleList;

    static TableExportLayout recordsTable(const QStringList &exportHeaders)
    {
        return TableExportLayout{0, Titles::FromList, exportHeaders};
    }
    static TableExportLayout spectralTable() { return TableExportLayout{1, Titles::FromTitleRow, {}}; }

    // Whether the table holds no row to export.
    bool isEmpty(const QTableWidget &table) const;

    // The detached copy that is written: rows firstRow..end, every column but the last, the
    // column titles as above, and the text of every cell that has an item (cells without an
    // item, such as check boxes and buttons, stay unset).
    ExportTable copy(const QTableWidget &table) const;
};
