// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A number in fixed notation with a given number of decimals, character for character as
// QString::number(value, 'f', decimals) writes it ('.' as the point, no group separators, the
// exact value rounded half away from zero). A report or an export formats every value of
// hundreds of thousands of cells, where Qt's general formatting is most of the cost; numbers of
// up to 8 decimals and 9 digits in all are written here directly, everything else (and a value
// too near half a unit of the last place to round without its exact digits) by Qt.
namespace FixedNotation {

QString text(double value, int decimals);

} // namespace FixedNotation
