// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ColourSpaces.h"
#include "SpectralRecord.h"
#include "SpectrumChartGeometry.h"
#include "SpectrumColour.h"

#include <QColor>
#include <QLineF>
#include <QPolygonF>
#include <QRectF>
#include <QVector>

#include <optional>
#include <vector>

// A record's chromaticity: a dot in its curve colour, labelled with its row number.
struct ChromaticityPoint
{
    static constexpr double radius = 4.5;

    int recordIndex = 0;
    QPointF centre;
    QColor colour;
    ChartText label;
};

// Everything the CIE 1931 chromaticity diagram draws, in the coordinates of the area it was
// computed for. The painter only draws this, so where things land can be checked without painting.
struct ChromaticityChart
{
    static constexpr double xMaximum = 0.8;
    static constexpr double yMaximum = 0.9;

    QRectF plot;               // x from 0 to xMaximum, y from 0 to yMaximum, one scale for both
    QVector<QLineF> gridLines; // every 0.1
    QVector<QLineF> axes;
    QVector<ChartText> axisLabels;
    ChartText xTitle, yTitle, title;
    QPolygonF spectralLocus;         // the visible wavelengths in order; the purple line joins its ends
    QVector<QLineF> wavelengthTicks; // outward from the locus
    QVector<ChartText> wavelengthLabels;
    QPolygonF planckianLocus; // 1,000 K to 25,000 K
    QVector<QLineF> isotemperatureLines;
    QVector<ChartText> temperatureLabels;
    QVector<ChromaticityPoint> points; // ticked records that have a chromaticity, in table order

    QPointF toArea(const ChromaticityXy &c) const;
};

class ChromaticityChartGeometry
{
public:
    static constexpr int firstLocusWavelength = 380;
    static constexpr int lastLocusWavelength = 700;

    // metrics[k] is the colour of records[k].
    static ChromaticityChart compute(const QRectF &area, const std::vector<ColourMetrics> &metrics,
                                     const std::vector<SpectralRecord> &records, bool languageFlag);
    // The diagram without points: frame, loci and their labels.
    static ChromaticityChart frame(const QRectF &area, bool languageFlag);
    // The points of the ticked records among records [first, end) that have a chromaticity.
    static QVector<ChromaticityPoint> points(const ChromaticityChart &chart, const std::vector<ColourMetrics> &metrics,
                                             const std::vector<SpectralRecord> &records, int first, int end);
    // The point drawn over `position` (the last drawn of those it touches); none where there is none.
    static std::optional<ChromaticityPoint> pointAt(const QVector<ChromaticityPoint> &points, const QPointF &position);
    // Beyond this many points, their numbers would crowd the diagram whatever their places.
    static constexpr int mostLabels = 40;
    // Whether the points' numbers can all be drawn without one touching another: beyond a few
    // dozen points they would crowd the diagram whatever their places.
    static bool labelsStandClear(const QVector<ChromaticityPoint> &points);
};
