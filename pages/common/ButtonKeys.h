// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>

class QAbstractButton;
class QWidget;

// Keyboard habits the windows share: no button is a dialog's default button (Enter in a field
// must not start a download or an export), and a button's shortcut is shown in its tooltip.
namespace ButtonKeys {

// Takes the default and auto-default role from every push button under `window` (QDialog gives
// it to each button it holds).
void removeDefaultButtons(QWidget *window);

// Gives the button its shortcut and a tooltip naming it beside the button's text; called again
// after the text changed (a language switch).
void setShortcut(QAbstractButton *button, const QKeySequence &shortcut);

} // namespace ButtonKeys
