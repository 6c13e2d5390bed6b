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
    // The glyphs of the table cells and titles, learnt over the whole report.
    struct TableGlyphs
    {
        CellGlyphs cells{ReportLayout::textFont()};
        CellGlyphs titles{ReportLayout::titleFont()};
    };

    static void paintFrame(QPainter &painter, const ReportLayout &layout, int pageIndex);
    static void paintFacts(QPainter &painter, const ReportLayout &layout);
    static void paintTableRows(QPainter &painter, const ReportLayout &layout, const ReportLayout::Page &page,
                               TableGlyphs &glyphs);
    static void paintCharts(QPainter &painter, const ReportLayout &layout, const ReportLayout::Page &page);
};
