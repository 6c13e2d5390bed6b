// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CellGlyphs.h"
#include "ReportLayout.h"

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QPainter;

// Paints a laid-out report into a paged device (a PDF writer, a printer) a page at a time, so a
// device that writes each page out as it is finished holds one page at a time. Charts are the
// window's own painting, as vectors.
class ReportPainter
{
public:
    // Called after each page with the pages done and the pages in all; false cancels the report.
    using Progress = std::function<bool(int done, int pages)>;

    // False, with the reason, when painting could not begin or was cancelled.
    static bool paint(QPagedPaintDevice &device, const ReportLayout &layout, const Progress &progress,
                      QString &error);

private:
    // The glyphs of the texts every page repeats (headers, captions, table titles and cells),
    // learnt over the whole report; the cells' and the titles' begin with what the layout learnt.
    struct PageGlyphs
    {
        CellGlyphs cells;
        CellGlyphs titles;
        CellGlyphs captions{ReportLayout::boldFont(ReportLayout::captionPixels)};
        CellGlyphs heading{ReportLayout::boldFont(ReportLayout::headingPixels)};
    };

    static void paintFrame(QPainter &painter, const ReportLayout &layout, int pageIndex, PageGlyphs &glyphs);
    static void paintFacts(QPainter &painter, const ReportLayout &layout);
    static void paintTableRows(QPainter &painter, const ReportLayout &layout, const ReportLayout::Page &page,
                               PageGlyphs &glyphs);
    static void paintCharts(QPainter &painter, const ReportLayout &layout, const ReportLayout::Page &page);
};
