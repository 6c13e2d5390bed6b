#include "SpectrumChartPainter.h"

#include <QPainter>
#include <QPen>

namespace {

QPen chartPen(const QColor &colour, int width, Qt::PenStyle style)
{
    return QPen(QBrush(colour), width, style, Qt::SquareCap, Qt::BevelJoin);
}

} // namespace

void SpectrumChartPainter::draw(QPainter &painter, const SpectrumChart &chart)
{
    painter.setPen(chartPen(Qt::gray, 1, Qt::DashLine));
    painter.drawLines(chart.gridLines);

    painter.setPen(chartPen(Qt::black, 2, Qt::SolidLine));
    painter.drawLines(chart.axes);

    for (const ChartText &label : chart.wavelengthLabels)
        painter.drawText(label.rect, int(label.alignment), label.text);
    painter.drawText(chart.xTitle.rect, int(chart.xTitle.alignment), chart.xTitle.text);

    for (const ChartCurve &curve : chart.curves) {
        painter.setPen(chartPen(curve.colour, 2, Qt::SolidLine));
        for (const QPolygonF &piece : curve.pieces)
            painter.drawPolyline(piece);
    }

    painter.setPen(chartPen(Qt::black, 2, Qt::SolidLine));
    for (const ChartText &label : chart.powerLabels)
        painter.drawText(label.rect, int(label.alignment), label.text);

    // The y-axis title reads from bottom to top: rotate about the centre of its rectangle.
    const QPointF centre = chart.yTitle.rect.center();
    painter.save();
    painter.translate(centre);
    painter.rotate(270);
    painter.translate(-centre);
    painter.drawText(chart.yTitle.rect, int(chart.yTitle.alignment), chart.yTitle.text);
    painter.restore();
}
