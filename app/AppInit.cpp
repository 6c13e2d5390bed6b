// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppInit.h"

#include <QMouseEvent>
#include <QWidget>

AppInit *AppInit::instance()
{
    static AppInit filter;
    return &filter;
}

bool AppInit::eventFilter(QObject *watched, QEvent *event)
{
    QWidget *widget = qobject_cast<QWidget *>(watched);
    if (!widget || !watched->property("canMove").toBool())
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        mousePressed = true;
        mousePoint = mouse->globalPosition().toPoint() - widget->pos();
        return true;
    }
    case QEvent::MouseButtonRelease:
        mousePressed = false;
        return true;
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (!mousePressed || mouse->buttons() == Qt::NoButton)
            break;
        widget->move(mouse->globalPosition().toPoint() - mousePoint);
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
