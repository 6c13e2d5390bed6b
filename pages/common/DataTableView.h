// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>

class PushButtonDelegate;

// A table view for the pages' models: cells marked as buttons (the delete buttons) are drawn by
// one delegate and their clicks reported with the row; a double click reports its cell, as a
// table widget does.
//
// Every column is as wide as its title and its cells need, so nothing is cut; the columns whose
// header section carries CompactColumnRole (numbers, check boxes, buttons) keep that width, and
// any width the viewport has to spare widens the others, narrowest first, towards one common width.
class DataTableView : public QTableView
{
    Q_OBJECT

public:
    explicit DataTableView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

    // Sizes the columns now; the view does so by itself after the model, the font or its own
    // size changed (model changes once control returns to the event loop).
    void fitColumns();

Q_SIGNALS:
    void buttonClicked(int row);
    void cellDoubleClicked(int row, int column);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void scheduleFit();

    PushButtonDelegate *buttons;
    QList<QMetaObject::Connection> modelConnections;
    bool fitPending = false;
};
