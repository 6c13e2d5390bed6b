// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChartView.h"
#include "ChromaticityChartGeometry.h"

#include <optional>

class ColourTableModel;
class SpectralTableModel;

// The CIE 1931 chromaticity diagram with a point for each of the spectral table's ticked records.
// The points are numbered while the numbers stand clear of each other; otherwise the point under
// the mouse shows its number.
class ChromaticityChartView final : public ChartView
{
    Q_OBJECT

public:
    ChromaticityChartView(const SpectralTableModel &spectra, const ColourTableModel &colours, UserDialogs &dialogs,
                          bool languageFlag, QWidget *parent);

    // Where the mouse is over the diagram (none when it is elsewhere).
    void setMousePosition(std::optional<QPointF> position);

protected:
    void drawBackground(QPainter &painter, const QRectF &area) const override;
    int itemCount() const override;
    void drawItems(QPainter &painter, const QRectF &area, int first, int end) const override;
    void drawForeground(QPainter &painter, const QRectF &area) const override;
    void drawOverlay(QPainter &painter) const override;
    QString fileNameStem() const override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    ChromaticityChart frameFor(const QRectF &area) const;
    // The points on the screen, kept until the records or their ticks change.
    const QVector<ChromaticityPoint> &shownPoints() const;
    // The point whose number the mouse shows: none while every point is numbered.
    std::optional<ChromaticityPoint> hoveredPoint(const std::optional<QPointF> &position) const;
    void forget();

    const SpectralTableModel &spectra;
    const ColourTableModel &colours;
    std::optional<QPointF> mouse;
    mutable std::optional<ChromaticityChart> shownFrame;
    mutable std::optional<QVector<ChromaticityPoint>> points;
};
