// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ChartView.h"

class ColourTableModel;
class SpectralTableModel;

// The CIE 1931 chromaticity diagram with a point for each of the spectral table's ticked records.
class ChromaticityChartView final : public ChartView
{
    Q_OBJECT

public:
    ChromaticityChartView(const SpectralTableModel &spectra, const ColourTableModel &colours, UserDialogs &dialogs,
                          bool languageFlag, QWidget *parent);

    void drawChart(QPainter &painter, const QRectF &area) const override;

protected:
    QString fileNameStem() const override;

private:
    const SpectralTableModel &spectra;
    const ColourTableModel &colours;
};
