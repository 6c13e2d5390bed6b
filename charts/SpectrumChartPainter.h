// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SpectrumChartGeometry.h"

class QPainter;

// Draws a computed spectrum chart with the chart's pens; texts use the painter's current font.
class SpectrumChartPainter
{
public:
    static void draw(QPainter &painter, const SpectrumChart &chart);
    // One curve of a chart of curveCount curves. grid > 1: the points are drawn in whole numbers of
    // 1/grid pixel, in a painter the caller has scaled by 1/grid; a PDF then holds each point in a
    // few digits rather than in nine.
    static void drawCurve(QPainter &painter, const ChartCurve &curve, qsizetype curveCount, int grid = 1);
    static void drawReadout(QPainter &painter, const SpectrumReadout &readout);
};
