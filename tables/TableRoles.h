#pragma once

#include <Qt>

// Item data roles of the table models beyond Qt's own.
enum TableRole {
    // true where the cell is a push button whose label is the cell's display text (the delete
    // buttons); a view draws it as a button and reports its clicks.
    ButtonRole = Qt::UserRole + 1
};
