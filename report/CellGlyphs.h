// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QRawFont>
#include <QRectF>
#include <QString>
#include <QVector>

#include <array>
#include <optional>
#include <vector>

class QPainter;

// One-line texts (table cells, page headers) as the glyphs of a font's first family, learnt from
// Qt's own text layout once per character and once per pair of characters, and gathered into one
// glyph run per page. A report of many records prints hundreds of thousands of short numbers:
// shaping each one again, and writing each as a text object of its own, is most of the time the
// PDF takes. A character is learnt with its advance (letter spacing included), a pair with the
// place Qt's layout gives its second glyph, so kerning is kept. Qt's layout places glyphs on a grid
// of 1/64 pixel; the run is drawn in that unit, so the PDF writer writes whole numbers and the
// glyphs land where Qt would have put them. Texts with characters outside Latin-1, whitespace
// other than spaces, characters the first family lacks or a pair Qt lays out otherwise (a
// ligature) are not taken: the caller draws them as text the ordinary way.
class CellGlyphs
{
public:
    // font: sized in pixels, which the painter's scale makes points.
    explicit CellGlyphs(const QFont &font);

    // The width Qt's layout gives the text, in the font's pixels; nullopt when not taken.
    std::optional<double> width(const QString &text);
    // Adds the text with the left end of its baseline at origin; false when not taken or when it
    // is wider than maxWidth.
    bool add(const QString &text, const QPointF &origin, double maxWidth);
    // Adds the text in a rectangle as QPainter::drawText places one line with the alignment
    // (left, right or centred; top, bottom or centred); false when not taken or wider than it.
    bool add(const QString &text, const QRectF &rect, Qt::Alignment alignment);
    // Draws what was added as one glyph run in the painter's current pen, and forgets it.
    void paint(QPainter &painter);

private:
    static constexpr int unitsPerPixel = 64; // Qt's fixed-point grid
    enum class Known : unsigned char {
        Unknown,
        Yes,
        No
    };
    struct Glyph
    {
        Known known = Known::Unknown;
        quint32 index = 0;
        int advance = 0; // in units
    };
    struct Pair
    {
        Known known = Known::Unknown;
        int offset = 0; // from the first glyph to the second, in units
    };

    // The units from each glyph of the text to the next, then the last glyph's advance; false when
    // the text is not taken.
    bool stepsOf(const QString &text, std::vector<int> &steps);
    std::optional<int> advanceOf(const QString &text);
    const Glyph &glyphOf(char16_t c);
    const Pair &pairOf(char16_t first, char16_t second);

    QFont font;
    QFontMetricsF metrics;
    QString familyName; // of the font's first family as Qt resolves it
    QRawFont runFont;   // the first family at unitsPerPixel times the font's size
    std::array<Glyph, 256> glyphs{};
    std::vector<Pair> pairs; // 256 x 256
    std::vector<int> steps;
    QVector<quint32> indexes;
    QVector<QPointF> positions;
};
