// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QStringList>

// The window's font: "Microsoft Yahei" where it is installed, else Noto Sans CJK SC, which draws
// Chinese and Latin alike. Without the second family a missing "Microsoft Yahei" falls back to
// some Latin font, wider than either, and Chinese comes from yet another font.
inline QFont windowFont(int pointSize)
{
    QFont font(QStringLiteral("Microsoft Yahei"), pointSize);
    font.setFamilies({QStringLiteral("Microsoft Yahei"), QStringLiteral("Noto Sans CJK SC")});
    return font;
}
