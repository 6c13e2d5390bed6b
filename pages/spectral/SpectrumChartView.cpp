// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectrumChartView.h"

#include "SpectralTableModel.h"
#include "SpectrumChartGeometry.h"
#include "SpectrumChartPainter.h"
#include "TextCatalogue.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

SpectrumChartView::SpectrumChartView(const SpectralTableModel &spectra, UserDialogs &dialogs, bool languageFlag,
                                     QWidget *parent)
    : ChartView(dialogs, languageFlag, parent),
      spectra(spectra)
{
    setMouseTracking(true);
    const auto redraw = [this] {
        shownFrame.reset();
        invalidateChart();
    };
    connect(&spectra, &SpectralTableModel::curvesChanged, this, redraw);
    connect(&spectra, &SpectralTableModel::curveVisibilityChanged, this, &SpectrumChartView::curvesTicked);
    // Names edited in the table (or the language) show in the legend; ticks come as their own signal.
    connect(&spectra, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight, const QList<int> &roles) {
                if (roles.size() == 1 && roles.first() == Qt::CheckStateRole)
                    return;
                if (topLeft.column() > this->spectra.nameColumn() || bottomRight.column() < this->spectra.nameColumn())
                    return;
                shownFrame.reset();
                invalidateForeground();
            });
}

void SpectrumChartView::setScaleMode(SpectrumScale scale)
{
    if (mode == scale)
        return;
    mode = scale;
    shownFrame.reset();
    invalidateChart();
}

void SpectrumChartView::curvesTicked(int first, int last)
{
    const std::optional<SpectrumChart> before = shownFrame;
    shownFrame.reset();
    const SpectrumChart &after = frame();
    const bool sameWidth =
        before
        && SpectrumChartPainter::curveWidth(before->tickedCount) == SpectrumChartPainter::curveWidth(after.tickedCount);
    if (before && before->scale == after.scale && sameWidth)
        invalidateItems(first, last);
    else
        invalidateChart();
}

SpectrumChart SpectrumChartView::frameFor(const QRectF &area) const
{
    if (area == QRectF(rect()))
        return frame();
    return computeFrame(area);
}

const SpectrumChart &SpectrumChartView::frame() const
{
    if (!shownFrame)
        shownFrame = computeFrame(QRectF(rect()));
    return *shownFrame;
}

SpectrumChart SpectrumChartView::computeFrame(const QRectF &area) const
{
    // Labels and the upright title take their room in the widget's own font.
    const QFontMetricsF metrics(font());
    return SpectrumChartGeometry::frame(area, spectra.records(), isChinese(), spectra.recordNames(), mode,
                                        spectra.spectralUnit(), SpectrumChartGeometry::wavelengthLabelWidth(metrics),
                                        metrics.height());
}

void SpectrumChartView::drawBackground(QPainter &painter, const QRectF &area) const
{
    SpectrumChartPainter::drawFrame(painter, frameFor(area));
}

int SpectrumChartView::itemCount() const
{
    return spectra.recordCount();
}

void SpectrumChartView::drawItems(QPainter &painter, const QRectF &area, int first, int end) const
{
    const SpectrumChart chart = frameFor(area);
    SpectrumChartPainter::drawCurves(painter, SpectrumChartGeometry::curves(chart, spectra.records(), first, end),
                                     chart.tickedCount);
}

void SpectrumChartView::drawForeground(QPainter &painter, const QRectF &area) const
{
    SpectrumChartPainter::drawLegend(painter, frameFor(area));
}

void SpectrumChartView::resizeEvent(QResizeEvent *event)
{
    shownFrame.reset();
    ChartView::resizeEvent(event);
}

void SpectrumChartView::drawOverlay(QPainter &painter) const
{
    // Only the screen shows where the mouse is; a saved picture shows the chart alone.
    if (!mouse)
        return;
    if (const auto readout = SpectrumChartGeometry::readoutAt(frame(), *mouse, isChinese()))
        SpectrumChartPainter::drawReadout(painter, *readout);
}

void SpectrumChartView::setMousePosition(std::optional<QPointF> position)
{
    // Only the guide and the readout change: repainting just their places keeps the mouse quick
    // over a chart of many curves.
    update(readoutRegion(mouse) + readoutRegion(position));
    mouse = position;
}

QRegion SpectrumChartView::readoutRegion(const std::optional<QPointF> &position) const
{
    if (!position)
        return {};
    // The frame alone places the readout; the curves do not move it.
    const std::optional<SpectrumReadout> readout = SpectrumChartGeometry::readoutAt(frame(), *position, isChinese());
    if (!readout)
        return {};
    const QRectF guide = QRectF(readout->guide.p1(), readout->guide.p2()).adjusted(-2, -2, 2, 2);
    return QRegion(readout->text.rect.toAlignedRect()) + QRegion(guide.toAlignedRect());
}

QString SpectrumChartView::fileNameStem() const
{
    return TextCatalogue::text(Text::SpectrumChartFileName, isChinese());
}

bool SpectrumChartView::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return ChartView::event(event);
    // The legend's entries are cut to their place; the tooltip shows an entry whole.
    const auto *help = static_cast<QHelpEvent *>(event);
    for (const ChartLegendEntry &entry : frame().legend) {
        if (entry.label.rect.contains(help->pos())) {
            QToolTip::showText(help->globalPos(), entry.label.text, this);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void SpectrumChartView::mouseMoveEvent(QMouseEvent *event)
{
    setMousePosition(event->position());
    ChartView::mouseMoveEvent(event);
}

void SpectrumChartView::leaveEvent(QEvent *event)
{
    setMousePosition(std::nullopt);
    ChartView::leaveEvent(event);
}
