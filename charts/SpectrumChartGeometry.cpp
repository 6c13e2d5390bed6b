// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectrumChartGeometry.h"

#include "TextCatalogue.h"

#include <cmath>
#include <iterator>

float SpectrumChartGeometry::scaleFor(const std::vector<SpectralRecord> &records)
{
    float scale = initialScale;
    for (const SpectralRecord &record : records) {
        if (!record.curveVisible)
            continue;
        for (const float value : record.values) {
            // A NaN compares false and so never raises the scale. The product is taken in double
            // precision and rounded once: 1.2f * value would round 1.2 first and differ in the last bit.
            if (scale < value)
                scale = float(1.2 * double(value));
        }
    }
    return scale;
}

QColor SpectrumChartGeometry::curveColour(int k)
{
    // The first three colours the chart has always used, then colours chosen to stand apart from
    // them and from each other on white; the list repeats from the start.
    static const QColor palette[] = {
        QColor(0, 0, 0),      QColor(1, 100, 200),   QColor(2, 200, 144),  QColor(214, 39, 40),
        QColor(255, 127, 14), QColor(148, 103, 189), QColor(140, 86, 75),  QColor(227, 119, 194),
        QColor(127, 127, 127), QColor(188, 189, 34), QColor(0, 0, 255),     QColor(4, 144, 32),
    };
    constexpr int count = int(std::size(palette));
    return palette[((k % count) + count) % count];
}

ChartCurve SpectrumChartGeometry::curveOf(const SpectrumChart &chart, const SpectralRecord &record, int k)
{
    ChartCurve curve;
    curve.recordIndex = k;
    curve.colour = curveColour(k);
    QPolygonF piece;
    for (int i = 0; i < SpectralRecord::valueCount; ++i) {
        const double x = chart.left + i * chart.plotW / 30;
        const double y = (chart.top + chart.plotH) - chart.plotH * record.values[i] / chart.scale;
        if (!std::isfinite(y)) {
            if (!piece.isEmpty())
                curve.pieces.append(piece);
            piece.clear();
            continue;
        }
        piece.append(QPointF(x, y));
    }
    if (!piece.isEmpty())
        curve.pieces.append(piece);
    return curve;
}

namespace {

// The legend stands right of the plot, a line per ticked record from the plot's top down; when the
// lines do not all fit, the last one says how many are left out.
void addLegend(SpectrumChart &chart, const QRectF &area, const std::vector<SpectralRecord> &records, bool languageFlag,
               const QStringList &names)
{
    constexpr double lineHeight = 18;
    constexpr double swatchWidth = 20;
    const double left = chart.right + area.width() / 40;
    const double width = area.right() - left;
    const int fitting = int((chart.bottom - chart.top) / lineHeight);
    if (width <= swatchWidth || fitting < 1)
        return;
    int ticked = 0;
    for (const SpectralRecord &record : records)
        ticked += record.curveVisible ? 1 : 0;
    const int shown = ticked <= fitting ? ticked : fitting - 1;
    for (int k = 0; k < int(records.size()) && chart.legend.size() < shown; ++k) {
        if (!records[size_t(k)].curveVisible)
            continue;
        const double y = chart.top + chart.legend.size() * lineHeight;
        QString label = records[size_t(k)].numberText(k + 1);
        if (!names.value(k).isEmpty())
            label += QLatin1Char(' ') + names.at(k);
        chart.legend.append({QLineF(left, y + lineHeight / 2, left + swatchWidth, y + lineHeight / 2),
                             SpectrumChartGeometry::curveColour(k),
                             {QRectF(left + swatchWidth + 4, y, width - swatchWidth - 4, lineHeight), label,
                              Qt::AlignLeft | Qt::AlignVCenter}});
    }
    if (shown < ticked) {
        chart.legendMore = {QRectF(left, chart.top + shown * lineHeight, width, lineHeight),
                            TextCatalogue::text(Text::LegendMore, languageFlag).arg(ticked - shown),
                            Qt::AlignLeft | Qt::AlignVCenter};
    }
}

} // namespace

SpectrumChart SpectrumChartGeometry::compute(const QRectF &area, const std::vector<SpectralRecord> &records,
                                             bool languageFlag, const QStringList &names, bool withCurves)
{
    const double X = area.x();
    const double Y = area.y();
    const double W = area.width();
    const double H = area.height();

    SpectrumChart chart;
    chart.left = X + 2 * W / 10;
    chart.right = X + 8 * W / 10;
    chart.top = Y + 2 * H / 10;
    chart.bottom = Y + 8 * H / 10;
    chart.plotW = 6 * W / 10;
    chart.plotH = 6 * H / 10;

    for (int i = 0; i < horizontalGridLines; ++i) {
        const double y = chart.top + i * chart.plotH / horizontalGridLines;
        chart.gridLines.append(QLineF(chart.left, y, chart.right, y));
    }
    for (int j = 0; j < SpectralRecord::valueCount; ++j) {
        const double x = chart.left + j * chart.plotW / 30;
        chart.gridLines.append(QLineF(x, chart.top, x, chart.bottom));
    }

    chart.axes.append(QLineF(chart.left, chart.bottom, chart.right, chart.bottom));
    chart.axes.append(QLineF(chart.left, chart.bottom, chart.left, chart.top));

    // "400" starts at the y axis; every other label is centred on its wavelength.
    const double labelH = H / 10;
    chart.wavelengthLabels.append(
        {QRectF(chart.left, chart.bottom, W / 10, labelH), QStringLiteral("400"), Qt::AlignLeft | Qt::AlignVCenter});
    chart.wavelengthLabels.append(
        {QRectF(chart.left, chart.bottom, 2 * W / 10, labelH), QStringLiteral("450"), Qt::AlignCenter});
    for (int n = 3; n <= 7; ++n) {
        chart.wavelengthLabels.append({QRectF(X + n * W / 10, chart.bottom, 2 * W / 10, labelH),
                                       QString::number(500 + 50 * (n - 3)), Qt::AlignCenter});
    }

    chart.xTitle = {QRectF(X, Y + 9 * H / 10, W, H / 10),
                    languageFlag ? QStringLiteral("波段(nm)") : QStringLiteral("Wavelength(nm)"), Qt::AlignCenter};

    chart.scale = scaleFor(records);
    for (int k = 0; withCurves && k < int(records.size()); ++k) {
        if (records[size_t(k)].curveVisible)
            chart.curves.append(curveOf(chart, records[size_t(k)], k));
    }

    // The value that set the scale is drawn at 5/6 of the plot height, level with "1.0".
    const double labelLeft = X + W / 10 - 5;
    const double labelW = W / 10;
    const QRectF lower(labelLeft, chart.top + chart.plotH / 6, labelW, 5 * chart.plotH / 6);
    chart.powerLabels.append({lower, QStringLiteral("0"), Qt::AlignRight | Qt::AlignBottom});
    chart.powerLabels.append({lower, QStringLiteral("0.5"), Qt::AlignRight | Qt::AlignVCenter});
    chart.powerLabels.append({QRectF(labelLeft, chart.top, labelW, 2 * chart.plotH / 6), QStringLiteral("1.0"),
                              Qt::AlignRight | Qt::AlignVCenter});

    // The title stands one label width left of where it would overlap the labels' column: "0.5",
    // nearly level with the title's centre, is right-aligned there and must stay clear of it.
    chart.yTitle = {QRectF(X + W / 8 - labelW, Y, W / 10, H),
                    languageFlag ? QStringLiteral("功率") : QStringLiteral("Power"), Qt::AlignCenter};

    addLegend(chart, area, records, languageFlag, names);
    return chart;
}

std::optional<SpectrumReadout> SpectrumChartGeometry::readoutAt(const SpectrumChart &chart, const QPointF &position,
                                                                bool languageFlag)
{
    if (chart.plotW <= 0 || chart.plotH <= 0 || position.x() < chart.left || position.x() > chart.right
        || position.y() < chart.top || position.y() > chart.bottom)
        return std::nullopt;
    const double span = double(SpectralRecord::wavelengthStep * (SpectralRecord::valueCount - 1));
    const double wavelength = SpectralRecord::firstWavelength + (position.x() - chart.left) / chart.plotW * span;
    const double value = (chart.bottom - position.y()) / chart.plotH * double(chart.scale);
    SpectrumReadout readout;
    readout.guide = QLineF(position.x(), chart.top, position.x(), chart.bottom);
    // Above the plot, in the band the chart leaves empty there.
    const double band = chart.top - chart.plotH / 6;
    readout.text = {QRectF(chart.left, band, chart.plotW, chart.top - band),
                    TextCatalogue::text(Text::SpectrumReadout, languageFlag)
                        .arg(qRound(wavelength))
                        .arg(QString::number(value, 'g', 4)),
                    Qt::AlignRight | Qt::AlignVCenter};
    return readout;
}
