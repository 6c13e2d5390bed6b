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
    static void draw(QPainter &painter, const ChromaticityChart &chart);
};
