#pragma once

#include <QTableWidget>

// The records table. Every row carries a delete button as its cell widget; with thousands of
// rows, Qt keeps all of them shown, and each one that is updated (polished, moved, re-labelled)
// joins the next repaint, whose cost grows with the square of the row count. This table keeps
// the buttons of rows outside the viewport hidden, so only the few on screen take part.
class RecordsTableWidget : public QTableWidget
{
    Q_OBJECT

public:
    using QTableWidget::QTableWidget;

    // Shows the cell widgets of the last column (the delete buttons) in the rows in view, and
    // one row either side, and hides the others.
    void showCellWidgetsInView();

protected:
    void updateEditorGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
};
