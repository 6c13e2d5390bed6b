// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SpectralRecord.h"

#include <QColor>
#include <QFontMetricsF>
#include <QLineF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>
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

// A line of the legend: a short stroke in a record's curve colour and the record's number (and
// name, where records have names).
struct ChartLegendEntry
{
    QLineF swatch;
    QColor colour;
    ChartText label;
};

// The wavelength and value under the mouse: a vertical guide through the plot and its text.
struct SpectrumReadout
{
    QLineF guide;
    ChartText text;
};

// What the y axis shows: every value relative to the largest of the ticked records (the value
// that set the scale reads 1.0), each curve relative to its own peak, or the values themselves in
// the spectral unit.
enum class SpectrumScale {
    Relative,
    Normalised,
    Absolute
};

// Everything the spectrum chart draws, in dialog coordinates. The painter only draws this; the
// numbers are computed here so that they can be checked without painting.
struct SpectrumChart
{
    double left = 0, right = 0, top = 0, bottom = 0, plotW = 0, plotH = 0;
    QVector<QLineF> gridLines;           // 12 horizontal from the top down, then 31 vertical from 400 nm
    QVector<QLineF> axes;                // x axis, then y axis
    QVector<ChartText> wavelengthLabels; // "400" ... "700", those that stand apart
    ChartText xTitle;
    SpectrumScale scaleMode = SpectrumScale::Relative;
    QString unit;                     // the spectral values' unit; may be empty
    // The value drawn at the top of the plot; in the normalised scale, in peaks (1.2).
    float scale = 0;
    int tickedCount = 0;              // how many records are ticked
    QVector<ChartCurve> curves;       // ticked records in table order
    QVector<ChartText> powerLabels;   // "0", "0.5", "1.0"; in the absolute scale, values in the unit
    // Drawn rotated by 270 degrees about the centre of its rectangle, which is a line high across.
    ChartText yTitle;
    QVector<ChartLegendEntry> legend; // ticked records in table order, as many as fit right of the plot
    ChartText legendMore;             // how many ticked records the legend leaves out; empty when none
};

class SpectrumChartGeometry
{
public:
    static constexpr float initialScale = 0.0012f;
    static constexpr int horizontalGridLines = 12;

    // The room a wavelength label ("550") takes on the x axis, a gap included, in the window's
    // font; a chart drawn in another font gives its own (wavelengthLabelWidth).
    static constexpr double defaultLabelWidth = 30;
    // The height of a line of text in the window's font: the thickness of the upright y-axis title.
    static constexpr double defaultLineHeight = 23;

    // area: the chart area (left, top, width, height) in dialog coordinates.
    // names: the records' names, where records have names (the legend shows them after the number).
    // labelWidth: the room of a wavelength label; labels that would touch are left out.
    // lineHeight: a line of text in the same font; the y axis keeps room for its title beside its
    // widest label, moving the plot right where the chart is too narrow for both.
    static SpectrumChart compute(const QRectF &area, const std::vector<SpectralRecord> &records, bool languageFlag,
                                 const QStringList &names = {}, SpectrumScale mode = SpectrumScale::Relative,
                                 const QString &unit = {}, double labelWidth = defaultLabelWidth,
                                 double lineHeight = defaultLineHeight);
    // The chart without its curves: frame, scale, labels, titles and legend.
    static SpectrumChart frame(const QRectF &area, const std::vector<SpectralRecord> &records, bool languageFlag,
                               const QStringList &names = {}, SpectrumScale mode = SpectrumScale::Relative,
                               const QString &unit = {}, double labelWidth = defaultLabelWidth,
                               double lineHeight = defaultLineHeight);
    // The room of a wavelength label in a font: its text and a gap of a quarter digit each side.
    static double wavelengthLabelWidth(const QFontMetricsF &metrics);
    // The curve of the record at position k in the table, in the chart's plot and scale.
    static ChartCurve curveOf(const SpectrumChart &chart, const SpectralRecord &record, int k);
    // The curves of the ticked records among records [first, end), on the chart's scale.
    static QVector<ChartCurve> curves(const SpectrumChart &chart, const std::vector<SpectralRecord> &records,
                                      int first, int end);

    // What lies under `position`: none outside the plot. The value reads as the y axis does:
    // relative (then the value itself with its unit), relative to each peak, or in the unit.
    static std::optional<SpectrumReadout> readoutAt(const SpectrumChart &chart, const QPointF &position,
                                                    bool languageFlag);

    // Walks the ticked records' values in order; a value raises the scale to 1.2 times itself
    // only when it exceeds the current scale, so the scale is not simply 1.2 times the maximum.
    static float scaleFor(const std::vector<SpectralRecord> &records);

    // Colour of the curve of the record at position k in the table.
    static QColor curveColour(int k);
};
