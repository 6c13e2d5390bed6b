#include "SpectrumChartView.h"

#include "SpectralTableModel.h"
#include "SpectrumChartGeometry.h"
#include "SpectrumChartPainter.h"
#include "TextCatalogue.h"

#include <QMouseEvent>
#include <QPainter>

SpectrumChartView::SpectrumChartView(const SpectralTableModel &spectra, UserDialogs &dialogs, bool languageFlag,
                                     QWidget *parent)
    : ChartView(dialogs, languageFlag, parent),
      spectra(spectra)
{
    setMouseTracking(true);
    connect(&spectra, &SpectralTableModel::curvesChanged, this, qOverload<>(&QWidget::update));
}

void SpectrumChartView::drawChart(QPainter &painter, const QRectF &area) const
{
    const SpectrumChart chart =
        SpectrumChartGeometry::compute(area, spectra.records(), isChinese(), spectra.recordNames());
    SpectrumChartPainter::draw(painter, chart);
    // A saved picture shows the chart only, not where the mouse happened to be.
    if (mouse && painter.device() == this) {
        if (const auto readout = SpectrumChartGeometry::readoutAt(chart, *mouse, isChinese()))
            SpectrumChartPainter::drawReadout(painter, *readout);
    }
}

void SpectrumChartView::setMousePosition(std::optional<QPointF> position)
{
    mouse = position;
    update();
}

QString SpectrumChartView::fileNameStem() const
{
    return TextCatalogue::text(Text::SpectrumChartFileName, isChinese());
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
