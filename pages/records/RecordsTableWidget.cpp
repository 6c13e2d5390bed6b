#include "RecordsTableWidget.h"

void RecordsTableWidget::showCellWidgetsInView()
{
    const int rows = rowCount();
    if (rows == 0 || columnCount() == 0)
        return;
    int first = rowAt(0);
    int last = rowAt(viewport()->height() - 1);
    if (first < 0)
        first = 0;
    if (last < 0)
        last = rows - 1;
    first = qMax(0, first - 1);
    last = qMin(rows - 1, last + 1);
    const int buttonColumn = columnCount() - 1;
    for (int row = 0; row < rows; ++row) {
        if (QWidget *widget = cellWidget(row, buttonColumn))
            widget->setVisible(row >= first && row <= last);
    }
}

void RecordsTableWidget::updateEditorGeometries()
{
    QTableWidget::updateEditorGeometries();
    showCellWidgetsInView();
}

void RecordsTableWidget::scrollContentsBy(int dx, int dy)
{
    QTableWidget::scrollContentsBy(dx, dy);
    showCellWidgetsInView();
}
