// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>

// Item data roles of the table models beyond Qt's own.
enum TableRole {
    // true where the cell is a push button whose label is the cell's display text (the delete
    // buttons); a view draws it as a button and reports its clicks.
    ButtonRole = Qt::UserRole + 1,
    // Header data of a horizontal section: true where the column holds row numbers, check boxes or
    // buttons, which need no more than their own width when a view has width to spare.
    CompactColumnRole,
    // Header data of a horizontal section: the widest the column's contents may make it, in
    // characters (names typed by users); longer texts are cut in the view and shown whole as
    // their tooltips. None: as wide as its contents.
    WidestColumnRole
};
