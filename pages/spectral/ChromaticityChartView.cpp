// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChromaticityChartView.h"

#include "ChromaticityChartPainter.h"
#include "ColourTableModel.h"
#include "SpectralTableModel.h"
#include "TextCatalogue.h"

#include <QMouseEvent>
#include <QPainter>

ChromaticityChartView::ChromaticityChartView(const SpectralTableModel &spectra, const ColourTableModel &colours,
                                             UserDialogs &dialogs, bool languageFlag, QWidget *parent)
    : ChartView(dialogs, languageFlag, parent),
      spectra(spectra),
      colours(colours)
{
    setMouseTracking(true);
    const auto repaint = [this] {
        points.reset();
        invalidateChart();
    };
    connect(&spectra, &SpectralTableModel::curvesChanged, this, repaint);
    connect(&spectra, &SpectralTableModel::curveVisibilityChanged, this, [this](int first, int last) {
        points.reset();
        invalidateItems(first, last);
    });
    connect(&colours, &QAbstractItemModel::modelReset, this, repaint);
    connect(&colours, &QAbstractItemModel::rowsInserted, this, repaint);
    connect(&colours, &QAbstractItemModel::rowsRemoved, this, repaint);
}

void ChromaticityChartView::forget()
{
    shownFrame.reset();
    points.reset();
}

ChromaticityChart ChromaticityChartView::frameFor(const QRectF &area) const
{
    if (area != QRectF(rect()))
        return ChromaticityChartGeometry::frame(area, isChinese());
    if (!shownFrame)
        shownFrame = ChromaticityChartGeometry::frame(area, isChinese());
    return *shownFrame;
}

const QVector<ChromaticityPoint> &ChromaticityChartView::shownPoints() const
{
    if (!points)
        points = ChromaticityChartGeometry::points(frameFor(QRectF(rect())), colours.metrics(), spectra.records(), 0,
                                                   spectra.recordCount());
    return *points;
}

void ChromaticityChartView::drawBackground(QPainter &painter, const QRectF &area) const
{
    ChromaticityChartPainter::drawFrame(painter, frameFor(area));
}

int ChromaticityChartView::itemCount() const
{
    return spectra.recordCount();
}

void ChromaticityChartView::drawItems(QPainter &painter, const QRectF &area, int first, int end) const
{
    ChromaticityChartPainter::drawPoints(
        painter, ChromaticityChartGeometry::points(frameFor(area), colours.metrics(), spectra.records(), first, end));
}

void ChromaticityChartView::drawForeground(QPainter &painter, const QRectF &area) const
{
    // Many ticked records are never numbered: their points need not be placed for that.
    int ticked = 0;
    for (const SpectralRecord &record : spectra.records())
        ticked += record.curveVisible ? 1 : 0;
    if (ticked > ChromaticityChartGeometry::mostLabels)
        return;
    const QVector<ChromaticityPoint> all =
        area == QRectF(rect()) ? shownPoints()
                               : ChromaticityChartGeometry::points(frameFor(area), colours.metrics(), spectra.records(),
                                                                   0, spectra.recordCount());
    // Numbers only while they stand clear of each other; many points would bury the diagram.
    if (ChromaticityChartGeometry::labelsStandClear(all))
        ChromaticityChartPainter::drawPointLabels(painter, all);
}

std::optional<ChromaticityPoint> ChromaticityChartView::hoveredPoint(const std::optional<QPointF> &position) const
{
    if (!position || !shownFrame || !shownFrame->plot.contains(*position)
        || ChromaticityChartGeometry::labelsStandClear(shownPoints()))
        return std::nullopt;
    return ChromaticityChartGeometry::pointAt(shownPoints(), *position);
}

void ChromaticityChartView::drawOverlay(QPainter &painter) const
{
    // Only the screen shows the number under the mouse; a saved picture shows the diagram alone.
    if (const auto point = hoveredPoint(mouse))
        ChromaticityChartPainter::drawPointLabels(painter, {*point});
}

void ChromaticityChartView::setMousePosition(std::optional<QPointF> position)
{
    const auto before = hoveredPoint(mouse);
    mouse = position;
    const auto after = hoveredPoint(mouse);
    const auto place = [](const std::optional<ChromaticityPoint> &point) {
        return point ? point->label.rect.adjusted(-4, -4, 4, 4).toAlignedRect() : QRect();
    };
    if ((before ? before->recordIndex : -1) != (after ? after->recordIndex : -1))
        update(QRegion(place(before)) + QRegion(place(after)));
}

void ChromaticityChartView::resizeEvent(QResizeEvent *event)
{
    forget();
    ChartView::resizeEvent(event);
}

void ChromaticityChartView::mouseMoveEvent(QMouseEvent *event)
{
    setMousePosition(event->position());
    ChartView::mouseMoveEvent(event);
}

void ChromaticityChartView::leaveEvent(QEvent *event)
{
    setMousePosition(std::nullopt);
    ChartView::leaveEvent(event);
}

QString ChromaticityChartView::fileNameStem() const
{
    return TextCatalogue::text(Text::ChromaticityChartFileName, isChinese());
}
