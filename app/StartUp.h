// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class SingleInstanceGuard;
class UserDialogs;

// The start-up steps of the program that main() runs before the window exists.
class StartUp
{
public:
    // Sets the application style sheet from the file or resource, and the application palette from
    // the colour name at character offset 20 of its text (the colour of its first rule), used as
    // the button colour. False when the file cannot be opened: nothing is set then. An unreadable
    // colour name leaves the palette as it is.
    static bool applyStyleSheet(const QString &path);

    // "Microsoft Yahei" 12 pt, with Noto Sans CJK SC behind it for machines without that family.
    static void applyFont();

    // What a second copy does: ask the running copy to come to the front, tell the user, end with 0.
    static int runSecondCopy(SingleInstanceGuard &guard, UserDialogs &dialogs);

    static constexpr int colourOffset = 20;
    static constexpr int colourLength = 7;
    static constexpr int messageTimeoutMs = 5000;
};
