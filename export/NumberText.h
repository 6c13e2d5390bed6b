// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

// A cell text that the tables made from a number in fixed notation ("12.30", "0", "-4.5"), read
// back as the number it shows and its count of decimals, so that a workbook can store the number
// under a format that displays exactly the same text.
struct NumberText
{
    double value = 0;
    int decimals = 0;

    // Most decimals and significant digits a double carries exactly through such a text.
    static constexpr int MaxDigits = 15;

    // The number a text shows: an optional '-', digits, optionally '.' and at least one digit.
    // Nothing else is a number here: no '+', exponent, spaces, group separators, leading zeros
    // ("007"), more than MaxDigits significant digits or decimals, and no negative zero ("-0.0"),
    // which a spreadsheet would show without its sign.
    static std::optional<NumberText> read(const QString &text);

    // The number format that shows `decimals` decimals in fixed notation: "0", "0.0", "0.00", ...
    static QString format(int decimals);
};
