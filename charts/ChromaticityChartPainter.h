// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChromaticityChartGeometry.h"

class QPainter;

// Draws a computed chromaticity diagram: the area inside the spectral locus tinted with the
// colours it stands for, grid, loci, ticks, labels and the records' points; texts use the
// painter's current font.
class ChromaticityChartPainter
{
public:
    // The whole diagram: drawFrame, drawPoints and, while they stand clear, drawPointLabels.
    static void draw(QPainter &painter, const ChromaticityChart &chart);
    static void drawFrame(QPainter &painter, const ChromaticityChart &chart);
    static void drawPoints(QPainter &painter, const QVector<ChromaticityPoint> &points);
    static void drawPointLabels(QPainter &painter, const QVector<ChromaticityPoint> &points);
};
