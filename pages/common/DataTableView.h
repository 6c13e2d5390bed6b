// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>

class PushButtonDelegate;
class QAction;

// A table view for the pages' models: cells marked as buttons (the delete buttons) are drawn by
// one delegate and their clicks reported with the row; a double click reports its cell, as a
// table widget does.
//
// Every column is as wide as its title and its cells need, so nothing is cut; the columns whose
// header section carries CompactColumnRole (numbers, check boxes, buttons) keep that width, and
// any width the viewport has to spare widens the others, narrowest first, towards one common width.
// A viewport too narrow for every column first narrows the columns of names (WidestColumnRole).
class DataTableView : public QTableView
{
    Q_OBJECT

public:
    explicit DataTableView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

    // Sizes the columns now; the view does so by itself after the model, the font or its own
    // size changed (model changes once control returns to the event loop).
    void fitColumns();
    // The width the table needs to show every column at its natural width, frame and vertical
    // scroll bar included: what fitColumns gives without spare width.
    int naturalWidth() const;

    // Lets the user delete the selected rows by the Delete key and the context menu, titled
    // `actionText`; the rows are reported, highest first, as deleteRowsRequested. Calling it again
    // re-titles the action (a language switch).
    void enableRowDeletion(const QString &actionText);
    // The selected rows, highest first, so that removing them one by one keeps the rest in place.
    QList<int> selectedRowsDescending() const;

Q_SIGNALS:
    void buttonClicked(int row);
    void deleteRowsRequested(const QList<int> &rows);
    void cellDoubleClicked(int row, int column);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void scheduleFit();
    // Each column's width before spare width is shared out (0 for hidden columns), and whether
    // it takes a share of the spare width.
    QList<int> naturalWidths(QList<int> *widening = nullptr) const;
    // Takes up to `excess` pixels from the columns of names (WidestColumnRole), down to a few
    // characters; returns the spare width left, negative while the columns are still too wide.
    int narrowNames(QList<int> &widths, int excess) const;

    PushButtonDelegate *buttons;
    QAction *deleteRows = nullptr; // a child of the view, once row deletion is enabled
    QList<QMetaObject::Connection> modelConnections;
    bool fitPending = false;
};
