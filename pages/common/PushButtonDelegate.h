// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPersistentModelIndex>
#include <QPushButton>
#include <QStyledItemDelegate>

// Draws the cells whose ButtonRole is true as push buttons labelled with their display text and
// reports a click on one; every other cell is drawn as usual. One delegate serves every row, so a
// table of thousands of rows holds no widget per row.
class PushButtonDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    // styleSheet: the style the buttons are drawn with, as a QPushButton with that style sheet
    // would be drawn.
    PushButtonDelegate(const QString &styleSheet, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;

Q_SIGNALS:
    // A button was pressed and released with the left mouse button over its cell.
    void clicked(const QModelIndex &index);

private:
    static bool isButton(const QModelIndex &index);

    // Never shown: it carries the style sheet, so the style draws the buttons exactly as it draws
    // such a push button.
    QPushButton styledButton;
    QPersistentModelIndex pressed;
};
