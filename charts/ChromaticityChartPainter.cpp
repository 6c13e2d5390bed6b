// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChromaticityChartPainter.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPaintEngine>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// sRGB's transfer function of a linear value in [0, 1].
double encoded(double linear)
{
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

// The pale sRGB colour of full brightness that the chromaticity (x, y) is tinted with.
QRgb tintColour(double x, double y)
{
    const double Y = 1;
    const double X = y > 0 ? x / y : 0;
    const double Z = y > 0 ? (1 - x - y) / y : 0;
    double rgb[3] = {3.2406 * X - 1.5372 * Y - 0.4986 * Z, -0.9689 * X + 1.8758 * Y + 0.0415 * Z,
                     0.0557 * X - 0.2040 * Y + 1.0570 * Z};
    double peak = 0;
    for (double &c : rgb) {
        c = std::max(0.0, c);
        peak = std::max(peak, c);
    }
    int channel[3] = {255, 255, 255};
    for (int i = 0; i < 3 && peak > 0; ++i)
        channel[i] = int(std::lround(255 * (0.45 + 0.55 * encoded(rgb[i] / peak))));
    return qRgb(channel[0], channel[1], channel[2]);
}

// The chromaticity at each pixel inside the spectral locus as a pale sRGB colour of full
// brightness, transparent outside it: out-of-gamut colours are clipped, and every colour is mixed
// with white so that the lines and texts over it stay legible. The locus is cut out in the image
// itself, as not every paint device clips (an SVG drawing does not). Made at half resolution: the
// tint has no detail worth more.
QImage tint(const ChromaticityChart &chart, const QPainterPath &gamut)
{
    const int width = std::max(1, int(chart.plot.width() / 2));
    const int height = std::max(1, int(chart.plot.height() / 2));
    QImage colours(width, height, QImage::Format_RGB32);
    for (int row = 0; row < height; ++row) {
        auto *line = reinterpret_cast<QRgb *>(colours.scanLine(row));
        const double y = (1 - (row + 0.5) / height) * ChromaticityChart::yMaximum;
        for (int column = 0; column < width; ++column) {
            const double x = (column + 0.5) / width * ChromaticityChart::xMaximum;
            line[column] = tintColour(x, y);
        }
    }

    QImage cutOut(width, height, QImage::Format_ARGB32_Premultiplied);
    cutOut.fill(Qt::transparent);
    QPainter painter(&cutOut);
    painter.setRenderHint(QPainter::Antialiasing);
    QTransform toImage;
    toImage.scale(width / chart.plot.width(), height / chart.plot.height());
    toImage.translate(-chart.plot.left(), -chart.plot.top());
    painter.setClipPath(toImage.map(gamut));
    painter.drawImage(0, 0, colours);
    return cutOut;
}

// The same tint as filled cells clipped to the locus, for a PDF (a report, a printer): vectors,
// sharp at any zoom, and no picture in the document.
void paintVectorTint(QPainter &painter, const ChromaticityChart &chart, const QPainterPath &gamut)
{
    constexpr int columns = 64;
    constexpr int rows = 72;
    const double cellWidth = chart.plot.width() / columns;
    const double cellHeight = chart.plot.height() / rows;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipPath(gamut, Qt::IntersectClip);
    painter.setPen(Qt::NoPen);
    for (int row = 0; row < rows; ++row) {
        const double y = (1 - (row + 0.5) / rows) * ChromaticityChart::yMaximum;
        for (int column = 0; column < columns; ++column) {
            const double x = (column + 0.5) / columns * ChromaticityChart::xMaximum;
            // A little overlap leaves no hairline gaps between the cells.
            painter.fillRect(QRectF(chart.plot.left() + column * cellWidth, chart.plot.top() + row * cellHeight,
                                    cellWidth * 1.05, cellHeight * 1.05),
                             QColor(tintColour(x, y)));
        }
    }
    painter.restore();
}

QPen pen(const QColor &colour, double width, Qt::PenStyle style = Qt::SolidLine)
{
    return QPen(QBrush(colour), width, style, Qt::RoundCap, Qt::RoundJoin);
}

void drawTexts(QPainter &painter, const QVector<ChartText> &texts)
{
    for (const ChartText &text : texts)
        painter.drawText(text.rect, int(text.alignment), text.text);
}

} // namespace

void ChromaticityChartPainter::draw(QPainter &painter, const ChromaticityChart &chart)
{
    if (chart.plot.isEmpty())
        return;
    drawFrame(painter, chart);
    drawPoints(painter, chart.points);
    // Numbers only while they stand clear of each other; many points would bury the diagram.
    if (ChromaticityChartGeometry::labelsStandClear(chart.points))
        drawPointLabels(painter, chart.points);
}

void ChromaticityChartPainter::drawFrame(QPainter &painter, const ChromaticityChart &chart)
{
    if (chart.plot.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath gamut;
    gamut.addPolygon(chart.spectralLocus);
    gamut.closeSubpath();
    if (painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Pdf) {
        paintVectorTint(painter, chart, gamut);
    } else {
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(chart.plot, tint(chart, gamut));
        painter.restore();
    }

    painter.setPen(pen(Qt::lightGray, 1, Qt::DashLine));
    painter.drawLines(chart.gridLines);
    painter.setPen(pen(Qt::black, 2));
    painter.drawLines(chart.axes);
    painter.setPen(pen(Qt::black, 1));
    drawTexts(painter, chart.axisLabels);
    // A title wider than the diagram at its smallest ends in "…" rather than being cut at both ends.
    for (const ChartText &title : {chart.xTitle, chart.yTitle, chart.title})
        painter.drawText(title.rect, int(title.alignment),
                         painter.fontMetrics().elidedText(title.text, Qt::ElideRight, int(title.rect.width())));

    painter.setPen(pen(Qt::black, 1.5));
    painter.drawPath(gamut);
    painter.drawLines(chart.wavelengthTicks);

    painter.setPen(pen(QColor(60, 60, 60), 1.5));
    painter.drawPolyline(chart.planckianLocus);
    painter.drawLines(chart.isotemperatureLines);

    QFont small = painter.font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 0.8);
    painter.setFont(small);
    painter.setPen(pen(Qt::black, 1));
    drawTexts(painter, chart.wavelengthLabels);
    drawTexts(painter, chart.temperatureLabels);
    painter.restore();
}

namespace {

// A point drawn once into a small picture of the device's pixel ratio, its centre in the middle.
QImage pointPicture(const QColor &colour, qreal ratio)
{
    const int pixels = int(std::ceil((2 * ChromaticityPoint::radius + 2) * ratio)) + 1;
    QImage picture(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen(Qt::black, 1));
    painter.setBrush(colour);
    const double half = pixels / ratio / 2;
    painter.drawEllipse(QPointF(half, half), ChromaticityPoint::radius, ChromaticityPoint::radius);
    return picture;
}

// Points on a picture are copies of one drawn point per colour: drawing thousands of
// outlined circles one by one would take a good part of a second. Each lands within half a
// pixel of its place.
bool stampPoints(QPainter &painter, const QVector<ChromaticityPoint> &points)
{
    // Every call on a picture stamps, however few its points: a layer of a few points then looks
    // exactly as the same points drawn with all the others.
    const QPaintDevice *device = painter.device();
    if (points.isEmpty() || !device || device->devType() != QInternal::Image
        || painter.transform().type() > QTransform::TxTranslate)
        return false;
    const qreal ratio = device->devicePixelRatioF();
    QHash<QRgb, QImage> pictures;
    for (const ChromaticityPoint &point : points) {
        auto picture = pictures.find(point.colour.rgba());
        if (picture == pictures.end())
            picture = pictures.insert(point.colour.rgba(), pointPicture(point.colour, ratio));
        const double half = picture->width() / ratio / 2;
        // On whole device pixels, so that the copy is not resampled.
        const QPointF corner = point.centre - QPointF(half, half);
        painter.drawImage(QPointF(std::round(corner.x() * ratio) / ratio, std::round(corner.y() * ratio) / ratio),
                          *picture);
    }
    return true;
}

} // namespace

void ChromaticityChartPainter::drawPoints(QPainter &painter, const QVector<ChromaticityPoint> &points)
{
    if (stampPoints(painter, points))
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen(Qt::black, 1));
    for (const ChromaticityPoint &point : points) {
        painter.setBrush(point.colour);
        painter.drawEllipse(point.centre, ChromaticityPoint::radius, ChromaticityPoint::radius);
    }
    painter.restore();
}

void ChromaticityChartPainter::drawPointLabels(QPainter &painter, const QVector<ChromaticityPoint> &points)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QFont small = painter.font();
    if (small.pointSizeF() > 0)
        small.setPointSizeF(small.pointSizeF() * 0.8);
    painter.setFont(small);
    painter.setPen(pen(Qt::black, 1));
    for (const ChromaticityPoint &point : points) {
        // A pale box under a number keeps it legible over the loci and their labels.
        const QRectF box = painter.boundingRect(point.label.rect, int(point.label.alignment), point.label.text);
        painter.fillRect(box.adjusted(-1, 0, 1, 0), QColor(255, 255, 255, 200));
        painter.drawText(point.label.rect, int(point.label.alignment), point.label.text);
    }
    painter.restore();
}
