// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectrumChartPainter.h"

#include <QPainter>
#include <QPen>

#include <cmath>

namespace {

constexpr qsizetype manyCurves = 64;

QPen chartPen(const QColor &colour, int width, Qt::PenStyle style)
{
    return QPen(QBrush(colour), width, style, Qt::SquareCap, Qt::BevelJoin);
}

} // namespace

void SpectrumChartPainter::draw(QPainter &painter, const SpectrumChart &chart)
{
    drawFrame(painter, chart);
    drawCurves(painter, chart.curves, chart.tickedCount);
    drawLegend(painter, chart);
}

void SpectrumChartPainter::drawFrame(QPainter &painter, const SpectrumChart &chart)
{
    painter.setPen(chartPen(Qt::gray, 1, Qt::DashLine));
    painter.drawLines(chart.gridLines);

    painter.setPen(chartPen(Qt::black, 2, Qt::SolidLine));
    painter.drawLines(chart.axes);

    for (const ChartText &label : chart.wavelengthLabels)
        painter.drawText(label.rect, int(label.alignment), label.text);
    painter.drawText(chart.xTitle.rect, int(chart.xTitle.alignment), chart.xTitle.text);

    for (const ChartText &label : chart.powerLabels)
        painter.drawText(label.rect, int(label.alignment), label.text);

    // The y-axis title reads from bottom to top: rotate about the centre of its rectangle, in
    // which it runs along the rectangle's height.
    const QRectF &title = chart.yTitle.rect;
    painter.save();
    painter.translate(title.center());
    painter.rotate(270);
    painter.drawText(QRectF(-title.height() / 2, -title.width() / 2, title.height(), title.width()),
                     int(chart.yTitle.alignment), chart.yTitle.text);
    painter.restore();
}

void SpectrumChartPainter::drawCurves(QPainter &painter, const QVector<ChartCurve> &curves, int tickedCount)
{
    for (const ChartCurve &curve : curves)
        drawCurve(painter, curve, tickedCount);
}

void SpectrumChartPainter::drawCurve(QPainter &painter, const ChartCurve &curve, qsizetype curveCount, int grid)
{
    painter.setPen(chartPen(curve.colour, curveWidth(int(curveCount)) * grid, Qt::SolidLine));
    for (const QPolygonF &piece : curve.pieces) {
        if (grid == 1) {
            painter.drawPolyline(piece);
            continue;
        }
        QPolygonF onGrid(piece.size());
        for (qsizetype i = 0; i < piece.size(); ++i)
            onGrid[i] = QPointF(std::round(piece[i].x() * grid), std::round(piece[i].y() * grid));
        painter.drawPolyline(onGrid);
    }
}

int SpectrumChartPainter::curveWidth(int tickedCount)
{
    // Many curves are drawn one pixel wide: a wide pen costs a stroke outline per curve, and in a
    // bundle of hundreds the width shows nothing more.
    return tickedCount > manyCurves ? 1 : 2;
}

void SpectrumChartPainter::drawLegend(QPainter &painter, const SpectrumChart &chart)
{
    for (const ChartLegendEntry &entry : chart.legend) {
        painter.setPen(chartPen(entry.colour, 3, Qt::SolidLine));
        painter.drawLine(entry.swatch);
        painter.setPen(chartPen(Qt::black, 1, Qt::SolidLine));
        // A long name loses its middle, never the record's number ("#12-3" in a comparison): the
        // number and the name's end tell records apart. The whole name is the entry's tooltip.
        const QFontMetrics metrics = painter.fontMetrics();
        const int width = int(entry.label.rect.width());
        const QString number = entry.label.text.section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ');
        const QString name = entry.label.text.mid(number.size());
        const QString shown = name.isEmpty() || metrics.horizontalAdvance(number) >= width
                                  ? metrics.elidedText(entry.label.text, Qt::ElideRight, width)
                                  : number + metrics.elidedText(name, Qt::ElideMiddle, width - metrics.horizontalAdvance(number));
        painter.drawText(entry.label.rect, int(entry.label.alignment), shown);
    }
    painter.setPen(chartPen(Qt::black, 1, Qt::SolidLine));
    painter.drawText(chart.legendMore.rect, int(chart.legendMore.alignment), chart.legendMore.text);
}

void SpectrumChartPainter::drawReadout(QPainter &painter, const SpectrumReadout &readout)
{
    painter.setPen(chartPen(Qt::darkGray, 1, Qt::DotLine));
    painter.drawLine(readout.guide);
    painter.setPen(chartPen(Qt::black, 1, Qt::SolidLine));
    painter.drawText(readout.text.rect, int(readout.text.alignment), readout.text.text);
}
