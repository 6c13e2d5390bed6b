#include "TableExportLayout.h"

#include <QTableWidget>

bool TableExportLayout::isEmpty(const QTableWidget &table) const
{
    return table.rowCount() <= firstRow;
}

ExportTable TableExportLayout::copy(const QTableWidget &table) const
{
    const int rows = qMax(table.rowCount() - firstRow, 0);
    const int columns = qMax(table.columnCount() - 1, 0); // without the delete-button column
    ExportTable result(rows, columns);
    for (int c = 0; c < columns; ++c) {
        if (titles == Titles::FromList) {
            if (table.horizontalHeaderItem(c) && c < titleList.size())
                result.setHeaderText(c, titleList.at(c));
        } else if (firstRow > 0) {
            if (const QTableWidgetItem *title = table.item(0, c))
                result.setHeaderText(c, title->text());
        }
    }
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            if (const QTableWidgetItem *item = table.item(firstRow + r, c))
                result.setCellText(r, c, item->text());
    return result;
}
