#pragma once

#include "SpectralRecord.h"

#include <QColor>
#include <QLineF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QVector>

#include <vector>

// A text drawn into a rectangle with an alignment.
struct ChartText
{
    QRectF rect;
    QString text;
    Qt::Alignment alignment;
};

// The polyline of one ticked record. A curve is split where a value is not finite (erased meter
// memory reads as NaN), so it may consist of several pieces, each drawn as one polyline.
struct ChartCurve
{
    int recordIndex = 0;
    QColor colour;
    QVector<QPolygonF> pieces;
};

// Everything the spectrum chart draws, in dialog coordinates. The painter only draws this; the
// numbers are computed here so that they can be checked without painting.
struct SpectrumChart
{
    double left = 0, right = 0, top = 0, bottom = 0, plotW = 0, plotH = 0;
    QVector<QLineF> gridLines;           // 12 horizontal from the top down, then 31 vertical from 400 nm
    QVector<QLineF> axes;                // x axis, then y axis
    QVector<ChartText> wavelengthLabels; // "400" ... "700"
    ChartText xTitle;
    float scale = 0;                // the value drawn at the top of the plot
    QVector<ChartCurve> curves;     // ticked records in table order
    QVector<ChartText> powerLabels; // "0", "0.5", "1.0"
    ChartText yTitle;               // drawn rotated by 270 degrees about the centre of its rectangle
};

class SpectrumChartGeometry
{
public:
    static constexpr float initialScale = 0.0012f;
    static constexpr int horizontalGridLines = 12;

    // area: the chart area (left, top, width, height) in dialog coordinates.
    static SpectrumChart compute(const QRectF &area, const std::vector<SpectralRecord> &records, bool languageFlag);

    // Walks the ticked records' values in order; a value raises the scale to 1.2 times itself
    // only when it exceeds the current scale, so the scale is not simply 1.2 times the maximum.
    static float scaleFor(const std::vector<SpectralRecord> &records);

    // Colour of the curve of the record at position k in the table.
    static QColor curveColour(int k);
};
