// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChromaticityChartView.h"

#include "ChromaticityChartGeometry.h"
#include "ChromaticityChartPainter.h"
#include "ColourTableModel.h"
#include "SpectralTableModel.h"
#include "TextCatalogue.h"

ChromaticityChartView::ChromaticityChartView(const SpectralTableModel &spectra, const ColourTableModel &colours,
                                             UserDialogs &dialogs, bool languageFlag, QWidget *parent)
    : ChartView(dialogs, languageFlag, parent),
      spectra(spectra),
      colours(colours)
{
    const auto repaint = [this] { invalidateChart(); };
    connect(&spectra, &SpectralTableModel::curvesChanged, this, repaint);
    connect(&colours, &QAbstractItemModel::modelReset, this, repaint);
    connect(&colours, &QAbstractItemModel::rowsInserted, this, repaint);
    connect(&colours, &QAbstractItemModel::rowsRemoved, this, repaint);
}

void ChromaticityChartView::drawChart(QPainter &painter, const QRectF &area) const
{
    ChromaticityChartPainter::draw(
        painter, ChromaticityChartGeometry::compute(area, colours.metrics(), spectra.records(), isChinese()));
}

QString ChromaticityChartView::fileNameStem() const
{
    return TextCatalogue::text(Text::ChromaticityChartFileName, isChinese());
}
