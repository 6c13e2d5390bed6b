// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"
#include "TextCatalogue.h"

#include <QStringList>

// One column title of the records table: the title and, for a measurement column, the unit text
// of its unit slot (empty for none).
struct ColumnTitle
{
    Text title;
    QString unit;

    // The title, plus "\n(unit)" when the unit text is not empty.
    QString text(bool chinese) const;
};

// The unit of a column: its text (empty for none) and the decimals its values are shown with.
struct ColumnUnit
{
    QString text;
    int decimals = 2;
};

// What a column set-up does to the records table and the decimals lists.
struct ColumnSetup
{
    // Fewer than 60 unit slots: the table's columns and every decimals list stay as they were.
    bool unchanged = false;
    // The table gets exactly these columns; empty means 0 columns.
    QList<ColumnTitle> titles;
    // 1..6: the decimals list of that kind is replaced by `decimals`;
    // 0: no decimals list is touched.
    int decimalsKind = 0;
    QList<int> decimals;

    QStringList headers(bool chinese) const;
    void applyDecimals(DecimalsLists &lists) const;
};

// The measurement columns of the records table: which columns a meter kind gets, their header texts
// with units, and the decimals each column is shown with.
class ColumnModel
{
public:
    // Columns for the kind and mode, with units and decimals from the unit catalog row that each
    // column's unit slot names (see unitsOfSlots): the name column for kinds that have one, the
    // measurement columns and the "Operation" column. A kind outside 1..6 gives 0 columns.
    static ColumnSetup setUpColumns(int uiIndex, int mode, const QList<int> &unitSlots, const UnitCatalog &unitCatalog);

    // Header texts for the export: as above without the "Operation" column, units from the built-in
    // unit table (no unit text past it). Empty for a kind outside 1..6 or a slot list too short for
    // the layout.
    static QStringList exportHeaders(int uiIndex, int mode, const QList<int> &unitSlots, bool chinese);
    // The units those headers name, one per measurement column; empty where they are.
    static QList<ColumnUnit> exportUnits(int uiIndex, int mode, const QList<int> &unitSlots);

    // The units that the unit slots slotNumbers name, in that order: from the unit catalog row of
    // the unit number when there is one with exactly three fields, otherwise from the built-in unit
    // table, and past that table no unit text and 2 decimals, so that an incomplete unit catalog
    // never costs a column or a record. One warning names every slot that fell back. Each slot
    // number must be below unitSlots.size().
    static QList<ColumnUnit> unitsOfSlots(const QList<int> &slotNumbers, const QList<int> &unitSlots,
                                          const UnitCatalog &unitCatalog);
};
