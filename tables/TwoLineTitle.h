// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A column title on two lines, for tables that must fit beside charts: the title is broken where
// its longer line is shortest, before its unit ("(nm)"), after a space, where Chinese meets Latin
// ("黑视素|DER"), or between two Chinese words of two characters or more ("相关|色温(K)"). On a
// tie the unit keeps its own line. A title without such a place comes back as it is. Removing the
// line break gives the title back (a space stays at the end of the first line).
namespace TwoLineTitle {

QString split(const QString &title);

} // namespace TwoLineTitle
