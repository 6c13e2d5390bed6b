// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectrumChartView.h"

#include "SpectralTableModel.h"
#include "SpectrumChartGeometry.h"
#include "SpectrumChartPainter.h"
#include "TextCatalogue.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QPainter>

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
    // Names edited in the table show in the legend.
    connect(&spectra, &QAbstractItemModel::dataChanged, this, redraw);
}

void SpectrumChartView::drawChart(QPainter &painter, const QRectF &area) const
{
    const SpectrumChart chart =
        SpectrumChartGeometry::compute(area, spectra.records(), isChinese(), spectra.recordNames());
    SpectrumChartPainter::draw(painter, chart);
}

const SpectrumChart &SpectrumChartView::frame() const
{
    if (!shownFrame) {
        shownFrame = SpectrumChartGeometry::compute(QRectF(rect()), {}, isChinese());
        shownFrame->scale = SpectrumChartGeometry::scaleFor(spectra.records());
    }
    return *shownFrame;
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
    const SpectrumChart chart =
        SpectrumChartGeometry::compute(QRectF(rect()), spectra.records(), isChinese(), spectra.recordNames());
    for (const ChartLegendEntry &entry : chart.legend) {
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
