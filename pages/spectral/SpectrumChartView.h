// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChartView.h"
#include "SpectrumChartGeometry.h"

#include <QRegion>

#include <optional>

class SpectralTableModel;

// The spectrum chart of the spectral table's ticked records, with their legend and, while the
// mouse is over the plot, the wavelength and value under it.
class SpectrumChartView final : public ChartView
{
    Q_OBJECT

public:
    SpectrumChartView(const SpectralTableModel &spectra, UserDialogs &dialogs, bool languageFlag, QWidget *parent);

    void drawChart(QPainter &painter, const QRectF &area) const override;
    // Where the mouse is over the chart (none when it is elsewhere): the readout follows it.
    void setMousePosition(std::optional<QPointF> position);

protected:
    QString fileNameStem() const override;
    void drawOverlay(QPainter &painter) const override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // Where the readout of a mouse position is painted; empty off the plot.
    QRegion readoutRegion(const std::optional<QPointF> &position) const;

    // The plot's frame and scale at the widget's size, for the readout; drawn again with the chart.
    const SpectrumChart &frame() const;

    const SpectralTableModel &spectra;
    std::optional<QPointF> mouse;
    mutable std::optional<SpectrumChart> shownFrame;
};
