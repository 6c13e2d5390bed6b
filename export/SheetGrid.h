// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QStringList>

class ExportTable;

// The grid of texts a worksheet gets from a table: row 0 the column titles, then one row per
// table row; a title or cell that the table does not set is an empty text, as the sheet leaves
// that cell empty.
class SheetGrid
{
public:
    static QList<QStringList> rows(const ExportTable &table);
};
