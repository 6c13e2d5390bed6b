// SPDX-License-Identifier: GPL-3.0-or-later
#include "PushButtonDelegate.h"

#include "TableRoles.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

PushButtonDelegate::PushButtonDelegate(const QString &styleSheet, QObject *parent) : QStyledItemDelegate(parent)
{
    styledButton.setStyleSheet(styleSheet);
    styledButton.ensurePolished();
}

bool PushButtonDelegate::isButton(const QModelIndex &index)
{
    return index.isValid() && index.data(ButtonRole).toBool();
}

void PushButtonDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!isButton(index)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionButton button;
    button.initFrom(&styledButton);
    button.rect = option.rect;
    button.text = index.data(Qt::DisplayRole).toString();
    button.state = QStyle::State_Enabled | (pressed == index ? QStyle::State_Sunken : QStyle::State_Raised);
    if (option.state & QStyle::State_MouseOver)
        button.state |= QStyle::State_MouseOver;
    styledButton.style()->drawControl(QStyle::CE_PushButton, &button, painter, &styledButton);
}

QSize PushButtonDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (!isButton(index))
        return QStyledItemDelegate::sizeHint(option, index);
    QStyleOptionButton button;
    button.initFrom(&styledButton);
    button.text = index.data(Qt::DisplayRole).toString();
    const QSize text = button.fontMetrics.size(Qt::TextShowMnemonic, button.text);
    return styledButton.style()->sizeFromContents(QStyle::CT_PushButton, &button, text, &styledButton);
}

bool PushButtonDelegate::editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                                     const QModelIndex &index)
{
    if (!isButton(index))
        return QStyledItemDelegate::editorEvent(event, model, option, index);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            pressed = index;
        return true;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool click =
            mouse->button() == Qt::LeftButton && pressed == index && option.rect.contains(mouse->position().toPoint());
        pressed = QPersistentModelIndex();
        if (click)
            Q_EMIT clicked(index);
        return true;
    }
    default:
        return false;
    }
}
