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

    SpectrumScale scaleMode() const { return mode; }
    // Draws the chart again on the scale chosen.
    void setScaleMode(SpectrumScale scale);
    // Where the mouse is over the chart (none when it is elsewhere): the readout follows it.
    void setMousePosition(std::optional<QPointF> position);

protected:
    void drawBackground(QPainter &painter, const QRectF &area) const override;
    int itemCount() const override;
    void drawItems(QPainter &painter, const QRectF &area, int first, int end) const override;
    void drawForeground(QPainter &painter, const QRectF &area) const override;
    QString fileNameStem() const override;
    void drawOverlay(QPainter &painter) const override;
    void resizeEvent(QResizeEvent *event) override;
    bool event(QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // Records first..last were ticked or unticked: their layers are drawn again, or everything
    // where the scale or the curves' width changed with them.
    void curvesTicked(int first, int last);
    // The chart without curves for `area`: the one on the screen is kept until it changes.
    SpectrumChart frameFor(const QRectF &area) const;
    // The chart without curves for `area`, worked out afresh.
    SpectrumChart computeFrame(const QRectF &area) const;
    // Where the readout of a mouse position is painted; empty off the plot.
    QRegion readoutRegion(const std::optional<QPointF> &position) const;

    // The plot's frame and scale at the widget's size; computed again when they may have changed.
    const SpectrumChart &frame() const;

    const SpectralTableModel &spectra;
    SpectrumScale mode = SpectrumScale::Relative;
    std::optional<QPointF> mouse;
    mutable std::optional<SpectrumChart> shownFrame;
};
