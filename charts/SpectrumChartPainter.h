// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SpectrumChartGeometry.h"

class QPainter;

// Draws a computed spectrum chart with the chart's pens; texts use the painter's current font.
class SpectrumChartPainter
{
public:
    // The whole chart: drawFrame, drawCurves with the chart's curves, drawLegend.
    static void draw(QPainter &painter, const SpectrumChart &chart);
    // Grid, axes, labels and titles.
    static void drawFrame(QPainter &painter, const SpectrumChart &chart);
    // Curves of a chart of `tickedCount` curves in all: many are drawn thinner.
    static void drawCurves(QPainter &painter, const QVector<ChartCurve> &curves, int tickedCount);
    // One curve of a chart of curveCount curves. grid > 1: the points are drawn in whole numbers of
    // 1/grid pixel, in a painter the caller has scaled by 1/grid; a PDF then holds each point in a
    // few digits rather than in nine.
    static void drawCurve(QPainter &painter, const ChartCurve &curve, qsizetype curveCount, int grid = 1);
    // The pen width of the curves of a chart of `tickedCount` curves.
    static int curveWidth(int tickedCount);
    static void drawLegend(QPainter &painter, const SpectrumChart &chart);
    static void drawReadout(QPainter &painter, const SpectrumReadout &readout);
};
