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
      pairs(256 * 256, Known::Unknown)
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
    if (QChar(c).isSpace() || !QChar(c).isPrint() || !runFont.isValid())
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

bool CellGlyphs::pairFits(char16_t first, char16_t second)
{
    Known &known = pairs[size_t(first) * 256 + second];
    if (known == Known::Unknown) {
        const QList<QGlyphRun> runs = laidOut(QString(QChar(first)) + QChar(second), font);
        known = Known::No;
        if (runs.size() == 1) {
            const QVector<quint32> indexes = runs.front().glyphIndexes();
            const QVector<QPointF> places = runs.front().positions();
            if (indexes.size() == 2 && indexes[0] == glyphs[first].index && indexes[1] == glyphs[second].index
                && std::lround(places[1].x() * unitsPerPixel) == glyphs[first].advance)
                known = Known::Yes;
        }
    }
    return known == Known::Yes;
}

std::optional<int> CellGlyphs::advanceOf(const QString &text)
{
    int advance = 0;
    char16_t previous = 0;
    for (const QChar character : text) {
        const char16_t c = character.unicode();
        if (c > 0xff || glyphOf(c).known != Known::Yes || (previous != 0 && !pairFits(previous, c)))
            return std::nullopt;
        advance += glyphs[c].advance;
        previous = c;
    }
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
    for (const QChar character : text) {
        const Glyph &glyph = glyphs[character.unicode()];
        indexes.append(glyph.index);
        positions.append(QPointF(x, y));
        x += glyph.advance;
    }
    return true;
}

void CellGlyphs::paint(QPainter &painter)
{
    if (indexes.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(runFont);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    painter.save();
    painter.scale(1.0 / unitsPerPixel, 1.0 / unitsPerPixel);
    painter.drawGlyphRun(QPointF(0, 0), run);
    painter.restore();
    indexes.clear();
    positions.clear();
}
