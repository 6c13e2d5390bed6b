// SPDX-License-Identifier: GPL-3.0-or-later
#include "TwoLineTitle.h"

#include <optional>

namespace {

// Chinese characters and full-width forms are about twice as wide as Latin letters and digits.
bool wide(QChar c)
{
    return c.unicode() >= 0x2E80;
}

// A line's width in half-em units, without the space that may end it.
int widthOf(QStringView line)
{
    int units = 0;
    for (const QChar c : line.trimmed())
        units += wide(c) ? 2 : 1;
    return units;
}

// How many wide characters run on from `from` in the direction `step` (+1 or -1).
int wideRun(const QString &text, qsizetype from, int step)
{
    int count = 0;
    for (qsizetype i = from; i >= 0 && i < text.size() && wide(text.at(i)); i += step)
        ++count;
    return count;
}

bool mayBreakBefore(const QString &text, qsizetype i)
{
    const QChar before = text.at(i - 1), after = text.at(i);
    if (after == QLatin1Char('(') || before == QLatin1Char(' '))
        return true;
    if (wide(before) && !wide(after))
        return after.isLetterOrNumber();
    // Within Chinese only where both lines keep a word of two characters or more.
    return wide(before) && wide(after) && wideRun(text, i - 1, -1) >= 2 && wideRun(text, i, +1) >= 2;
}

} // namespace

namespace TwoLineTitle {

QString split(const QString &title)
{
    std::optional<qsizetype> best;
    int bestWidth = 0;
    const auto consider = [&](qsizetype i) {
        const int width = qMax(widthOf(QStringView(title).left(i)), widthOf(QStringView(title).mid(i)));
        if (!best || width < bestWidth) {
            best = i;
            bestWidth = width;
        }
    };
    // The unit first, so that only a strictly narrower break wins over it.
    if (const qsizetype unit = title.indexOf(QLatin1Char('(')); unit > 0)
        consider(unit);
    for (qsizetype i = 1; i < title.size(); ++i) {
        if (mayBreakBefore(title, i))
            consider(i);
    }
    if (!best)
        return title;
    QString lines = title;
    lines.insert(*best, QLatin1Char('\n'));
    return lines;
}

} // namespace TwoLineTitle
