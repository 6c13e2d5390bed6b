// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>

// Application-wide event filter that lets widgets carrying the dynamic property "canMove" (true)
// be dragged with the left mouse button. Every event of any other object passes on unchanged.
// The drag state is one for the whole process, not one per widget.
class AppInit : public QObject
{
    Q_OBJECT

public:
    // The one filter, created on the first call and kept until the process ends.
    static AppInit *instance();

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppInit() = default;

    bool mousePressed = false;
    QPoint mousePoint; // global mouse position minus the widget's position when the drag began
};
