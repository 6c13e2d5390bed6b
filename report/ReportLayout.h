// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CellGlyphs.h"
#include "ReportContent.h"

#include <QFont>
#include <QPageLayout>
#include <QSizeF>

#include <vector>

// Where everything of a report goes, in points (1/72 inch), before anything is painted: the page
// count is known before the first page says "of M". Tables print one line per row in their
// columns' widest text; a table too wide for a portrait page goes landscape, and one too wide for
// that too is split into column groups that each begin with the number column. Each section
// begins a new page; the first page holds the facts.
class ReportLayout
{
public:
    static constexpr double margin = 36;
    static constexpr double headerHeight = 34;
    static constexpr double footerHeight = 22;
    static constexpr double cellPadding = 4;
    static constexpr int textPixels = 8;
    static constexpr int captionPixels = 10;  // a table's caption
    static constexpr int headingPixels = 12;  // the title at the top of every page

    struct Page
    {
        enum Kind {
            Facts,
            TableRows,
            Charts
        };
        Kind kind = Facts;
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        int section = -1;
        int firstRow = 0;
        int rowCount = 0;
        int group = 0; // index into the section's column groups
    };

    // A table's columns: their widths, and the groups they are printed in.
    struct TableColumns
    {
        std::vector<double> widths;
        std::vector<bool> cut; // columns narrower than their widest text, whose long texts are elided
        std::vector<std::vector<int>> groups;
        QPageLayout::Orientation orientation = QPageLayout::Portrait;
        double titleHeight = 0; // the title row: as many lines as its tallest title has
    };

    explicit ReportLayout(const ReportContent &content);

    const ReportContent &content() const { return report; }
    const std::vector<Page> &pages() const { return laidOut; }
    const TableColumns &columnsOf(int section) const { return columns[size_t(section)]; }

    // The page in points for an orientation.
    QSizeF pageSize(QPageLayout::Orientation orientation) const;
    // The part of a page between the header and the footer.
    QRectF body(QPageLayout::Orientation orientation) const;
    double rowHeight() const { return lineHeight; }

    // The fonts, sized in pixels that are points when the painter is scaled to points.
    static QFont textFont();
    // The table titles' font.
    static QFont titleFont() { return boldFont(textPixels); }
    static QFont boldFont(int pixelSize);

    // The glyphs of the cells' and the titles' texts, learnt while measuring them: the painter
    // starts from them rather than learning every character and pair again.
    const CellGlyphs &cellGlyphs() const { return cellText; }
    const CellGlyphs &titleGlyphs() const { return titleText; }

private:
    void layTable(int section);

    const ReportContent &report;
    CellGlyphs cellText{textFont()};
    CellGlyphs titleText{titleFont()};
    double lineHeight = 0;
    std::vector<TableColumns> columns;
    std::vector<Page> laidOut;
};
