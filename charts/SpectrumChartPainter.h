// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SpectrumChartGeometry.h"

class QPainter;

// Draws a computed spectrum chart with the chart's pens; texts use the painter's current font.
class SpectrumChartPainter
{
public:
    static void draw(QPainter &painter, const SpectrumChart &chart);
    static void drawReadout(QPainter &painter, const SpectrumReadout &readout);
};
