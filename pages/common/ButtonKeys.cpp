// SPDX-License-Identifier: GPL-3.0-or-later
#include "ButtonKeys.h"

#include <QPushButton>

namespace ButtonKeys {

void removeDefaultButtons(QWidget *window)
{
    const QList<QPushButton *> buttons = window->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void setShortcut(QAbstractButton *button, const QKeySequence &shortcut)
{
    button->setShortcut(shortcut);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(), shortcut.toString(QKeySequence::NativeText)));
}

} // namespace ButtonKeys
