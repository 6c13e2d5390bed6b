// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellGlyphs.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

#include <cmath>

namespace {

// Qt's glyph runs of a text laid out on one line.
QList<QGlyphRun> laidOut(const QString &text, const QFont &font)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    return layout.glyphRuns();
}

} // namespace

CellGlyphs::CellGlyphs(const QFont &font)
    : font(font),
      metrics(font),
      pairs(256 * 256)
{
    const QRawFont first = QRawFont::fromFont(font);
    familyName = first.familyName();
    runFont = first;
    runFont.setPixelSize(first.pixelSize() * unitsPerPixel);
}

const CellGlyphs::Glyph &CellGlyphs::glyphOf(char16_t c)
{
    Glyph &glyph = glyphs[c];
    if (glyph.known != Known::Unknown)
        return glyph;
    glyph.known = Known::No;
    if ((QChar(c).isSpace() && c != u' ') || !QChar(c).isPrint() || !runFont.isValid())
        return glyph;
    const QList<QGlyphRun> runs = laidOut(QString(QChar(c)), font);
    if (runs.size() != 1 || runs.front().rawFont().familyName() != familyName)
        return glyph;
    const QVector<quint32> indexes = runs.front().glyphIndexes();
    const QVector<QPointF> places = runs.front().positions();
    if (indexes.size() != 1 || places[0].x() != 0)
        return glyph;
    glyph.index = indexes[0];
    // The advance Qt's layout gives the character alone, its letter spacing included.
    glyph.advance = int(std::lround(metrics.horizontalAdvance(QString(QChar(c))) * unitsPerPixel));
    glyph.known = Known::Yes;
    return glyph;
}

const CellGlyphs::Pair &CellGlyphs::pairOf(char16_t first, char16_t second)
{
    Pair &pair = pairs[size_t(first) * 256 + second];
    if (pair.known == Known::Unknown) {
        const QList<QGlyphRun> runs = laidOut(QString(QChar(first)) + QChar(second), font);
        pair.known = Known::No;
        if (runs.size() == 1) {
            const QVector<quint32> indexes = runs.front().glyphIndexes();
            const QVector<QPointF> places = runs.front().positions();
            if (indexes.size() == 2 && indexes[0] == glyphs[first].index && indexes[1] == glyphs[second].index
                && places[0].x() == 0 && places[1].y() == places[0].y()) {
                pair.offset = int(std::lround(places[1].x() * unitsPerPixel));
                pair.known = Known::Yes;
            }
        }
    }
    return pair;
}

bool CellGlyphs::stepsOf(const QString &text, std::vector<int> &steps)
{
    // Every cell of a report passes here twice (measured, then drawn): the glyphs and pairs
    // already learnt are looked up in place, and only unknown ones go to Qt's layout.
    const qsizetype count = text.size();
    steps.resize(size_t(count));
    const auto *chars = reinterpret_cast<const char16_t *>(text.constData());
    char16_t previous = 0;
    for (qsizetype k = 0; k < count; ++k) {
        const char16_t c = chars[k];
        if (c > 0xff)
            return false;
        const Glyph &glyph = glyphs[c].known == Known::Unknown ? glyphOf(c) : glyphs[c];
        if (glyph.known != Known::Yes)
            return false;
        if (k > 0) {
            const Pair &known = pairs[size_t(previous) * 256 + c];
            const Pair &pair = known.known == Known::Unknown ? pairOf(previous, c) : known;
            if (pair.known != Known::Yes)
                return false;
            steps[size_t(k - 1)] = pair.offset;
        }
        steps[size_t(k)] = glyph.advance;
        previous = c;
    }
    return true;
}

std::optional<int> CellGlyphs::advanceOf(const QString &text)
{
    if (!stepsOf(text, steps))
        return std::nullopt;
    int advance = 0;
    for (const int step : steps)
        advance += step;
    return advance;
}

std::optional<double> CellGlyphs::width(const QString &text)
{
    const std::optional<int> advance = advanceOf(text);
    if (!advance)
        return std::nullopt;
    return double(*advance) / unitsPerPixel;
}

bool CellGlyphs::add(const QString &text, const QPointF &origin, double maxWidth)
{
    const std::optional<int> advance = advanceOf(text);
    if (!advance || *advance > maxWidth * unitsPerPixel)
        return false;
    double x = std::round(origin.x() * unitsPerPixel);
    const double y = std::round(origin.y() * unitsPerPixel);
    const qsizetype first = indexes.size();
    const qsizetype count = text.size();
    indexes.resize(first + count);
    positions.resize(first + count);
    quint32 *index = indexes.data() + first;
    QPointF *position = positions.data() + first;
    const auto *chars = reinterpret_cast<const char16_t *>(text.constData());
    for (qsizetype k = 0; k < count; ++k) {
        index[k] = glyphs[chars[k]].index;
        position[k] = QPointF(x, y);
        x += steps[size_t(k)];
    }
    return true;
}

bool CellGlyphs::add(const QString &text, const QRectF &rect, Qt::Alignment alignment)
{
    const std::optional<double> textWidth = width(text);
    if (!textWidth || *textWidth > rect.width())
        return false;
    // One line as Qt's text drawing sets it: its top on the next whole pixel after the leading,
    // as high as the font's ascent and descent.
    const double lineTop = std::ceil(metrics.leading());
    const double lineHeight = lineTop + metrics.ascent() + metrics.descent();
    double x = rect.left();
    if (alignment & Qt::AlignRight)
        x = rect.right() - *textWidth;
    else if (alignment & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - *textWidth) / 2;
    double top = rect.top();
    if (alignment & Qt::AlignBottom)
        top = rect.bottom() - lineHeight;
    else if (alignment & Qt::AlignVCenter)
        top = rect.top() + (rect.height() - lineHeight) / 2;
    return add(text, QPointF(x, top + lineTop + metrics.ascent()), *textWidth);
}

void CellGlyphs::paint(QPainter &painter)
{
    if (indexes.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(runFont);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    // Scaled down to the run's units and back up again: a power of two either way, so the
    // painter's transform comes back exactly, without saving and restoring its whole state.
    static_assert((unitsPerPixel & (unitsPerPixel - 1)) == 0, "the scale must undo itself exactly");
    painter.scale(1.0 / unitsPerPixel, 1.0 / unitsPerPixel);
    painter.drawGlyphRun(QPointF(0, 0), run);
    painter.scale(unitsPerPixel, unitsPerPixel);
    indexes.clear();
    positions.clear();
}
