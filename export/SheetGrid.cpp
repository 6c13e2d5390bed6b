// SPDX-License-Identifier: GPL-3.0-or-later
#include "SheetGrid.h"

#include "ExportTable.h"

QList<QStringList> SheetGrid::rows(const ExportTable &table)
{
    const int columns = table.columnCount();
    QList<QStringList> rows;
    rows.reserve(table.rowCount() + 1);
    QStringList titles;
    for (int c = 0; c < columns; ++c)
        titles << (table.hasHeader(c) ? table.headerText(c) : QString());
    rows << titles;
    for (int r = 0; r < table.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << (table.hasCell(r, c) ? table.cellText(r, c) : QString());
        rows << cells;
    }
    return rows;
}
