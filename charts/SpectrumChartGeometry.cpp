// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectrumChartGeometry.h"

#include "TextCatalogue.h"

#include <algorithm>
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
        QColor(0, 0, 0),       QColor(1, 100, 200),   QColor(2, 200, 144), QColor(214, 39, 40),
        QColor(255, 127, 14),  QColor(148, 103, 189), QColor(140, 86, 75), QColor(227, 119, 194),
        QColor(127, 127, 127), QColor(188, 189, 34),  QColor(0, 0, 255),   QColor(4, 144, 32),
    };
    constexpr int count = int(std::size(palette));
    return palette[((k % count) + count) % count];
}

namespace {

// The largest finite value of a record; 1 for a record without a positive one, which then stays
// at or below the axis.
double peakOf(const SpectralRecord &record)
{
    double peak = 0;
    for (const float value : record.values) {
        if (std::isfinite(value) && value > peak)
            peak = value;
    }
    return peak > 0 ? peak : 1.0;
}

} // namespace

ChartCurve SpectrumChartGeometry::curveOf(const SpectrumChart &chart, const SpectralRecord &record, int k)
{
    ChartCurve curve;
    curve.recordIndex = k;
    curve.colour = curveColour(k);
    // The normalised scale draws each record's values in its own peaks.
    const double unit = chart.scaleMode == SpectrumScale::Normalised ? peakOf(record) : 1.0;
    QPolygonF piece;
    for (int i = 0; i < SpectralRecord::valueCount; ++i) {
        const double x = chart.left + i * chart.plotW / 30;
        const double y = (chart.top + chart.plotH) - chart.plotH * (record.values[i] / unit) / chart.scale;
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

constexpr double legendSwatchWidth = 20;
constexpr double legendGap = 4; // between a swatch and its text
// A legend entry of a named record keeps room for about this many digits: its number and enough
// of its name, cut in the middle, to be told from the others.
constexpr double legendDigits = 12;
// The plot gives way to such a legend down to this share of the chart's width.
constexpr double narrowestPlotShare = 0.4;

// The legend stands right of the plot, a line per ticked record from the plot's top down; when the
// lines do not all fit, the last one says how many are left out.
void addLegend(SpectrumChart &chart, const QRectF &area, const std::vector<SpectralRecord> &records, bool languageFlag,
               const QStringList &names)
{
    constexpr double lineHeight = 18;
    const double left = chart.right + area.width() / 40;
    const double width = area.right() - left;
    const int fitting = int((chart.bottom - chart.top) / lineHeight);
    if (width <= legendSwatchWidth || fitting < 1)
        return;
    const int ticked = chart.tickedCount;
    const int shown = ticked <= fitting ? ticked : fitting - 1;
    for (int k = 0; k < int(records.size()) && chart.legend.size() < shown; ++k) {
        if (!records[size_t(k)].curveVisible)
            continue;
        const double y = chart.top + chart.legend.size() * lineHeight;
        QString label = records[size_t(k)].numberText(k + 1);
        if (!names.value(k).isEmpty())
            label += QLatin1Char(' ') + names.at(k);
        chart.legend.append(
            {QLineF(left, y + lineHeight / 2, left + legendSwatchWidth, y + lineHeight / 2),
             SpectrumChartGeometry::curveColour(k),
             {QRectF(left + legendSwatchWidth + legendGap, y, width - legendSwatchWidth - legendGap, lineHeight), label,
              Qt::AlignLeft | Qt::AlignVCenter}});
    }
    if (shown < ticked) {
        chart.legendMore = {QRectF(left, chart.top + shown * lineHeight, width, lineHeight),
                            TextCatalogue::text(Text::LegendMore, languageFlag).arg(ticked - shown),
                            Qt::AlignLeft | Qt::AlignVCenter};
    }
}

// A step of 1, 2 or 5 times a power of ten that divides `top` into at most five steps.
double labelStep(double top)
{
    const double rough = top / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double multiple : {1.0, 2.0, 5.0}) {
        if (multiple * power >= rough)
            return multiple * power;
    }
    return 10 * power;
}

// The labels of the y axis: 0, 0.5 and 1.0 where the axis is relative; values in the unit, a
// round step apart, where it is absolute. Each is right-aligned 5 pixels left of the axis in a
// column `labelW` wide.
void addPowerLabels(SpectrumChart &chart, double labelW)
{
    chart.powerLabels.clear();
    const double labelLeft = chart.left - 5 - labelW;
    if (chart.scaleMode != SpectrumScale::Absolute) {
        // The value that set the scale is drawn at 5/6 of the plot height, level with "1.0".
        const QRectF lower(labelLeft, chart.top + chart.plotH / 6, labelW, 5 * chart.plotH / 6);
        chart.powerLabels.append({lower, QStringLiteral("0"), Qt::AlignRight | Qt::AlignBottom});
        chart.powerLabels.append({lower, QStringLiteral("0.5"), Qt::AlignRight | Qt::AlignVCenter});
        chart.powerLabels.append({QRectF(labelLeft, chart.top, labelW, 2 * chart.plotH / 6), QStringLiteral("1.0"),
                                  Qt::AlignRight | Qt::AlignVCenter});
        return;
    }
    const double top = double(chart.scale);
    const double step = labelStep(top);
    if (!(step > 0) || !std::isfinite(step))
        return;
    const int decimals = std::max(0, int(-std::floor(std::log10(step) + 1e-9)));
    const double height = chart.plotH / 6;
    for (int n = 0; n * step <= top * (1 + 1e-9); ++n) {
        const double y = chart.bottom - chart.plotH * (n * step) / top;
        chart.powerLabels.append({QRectF(labelLeft, y - height / 2, labelW, height),
                                  n == 0 ? QStringLiteral("0") : QString::number(n * step, 'f', decimals),
                                  Qt::AlignRight | Qt::AlignVCenter});
    }
}

// The room of the widest y-axis label: a digit's width for every character but the point, which
// is never wider than half a digit.
double widestPowerLabel(const SpectrumChart &chart, double digitWidth)
{
    double widest = 0;
    for (const ChartText &label : chart.powerLabels) {
        const qsizetype points = label.text.count(QLatin1Char('.'));
        widest = std::max(widest, (double(label.text.size() - points) + 0.5 * double(points)) * digitWidth);
    }
    return widest;
}

// The wavelength labels: "400" starts at the y axis, every other one is centred on its wavelength,
// each as wide as the label's text and a gap. Every 50 nm where they stand apart, else every 100,
// 150 or 300 nm: the labels stay evenly spaced from 400 to 700.
void addWavelengthLabels(SpectrumChart &chart, double labelHeight, double labelWidth)
{
    const int first = SpectralRecord::firstWavelength;
    const int span = SpectralRecord::wavelengthStep * (SpectralRecord::valueCount - 1);
    for (const int step : {50, 100, 150, 300}) {
        QVector<ChartText> labels;
        bool apart = true;
        for (int nm = first; nm <= first + span && apart; nm += step) {
            const double x = chart.left + (nm - first) * chart.plotW / span;
            const bool axis = nm == first;
            const ChartText label{QRectF(axis ? x : x - labelWidth / 2, chart.bottom, labelWidth, labelHeight),
                                  QString::number(nm), axis ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter};
            apart = labels.isEmpty() || !labels.constLast().rect.intersects(label.rect);
            labels.append(label);
        }
        if (apart || step == 300) {
            chart.wavelengthLabels = labels;
            return;
        }
    }
}

QString yTitleOf(const SpectrumChart &chart, bool languageFlag)
{
    switch (chart.scaleMode) {
    case SpectrumScale::Relative:
        // The default scale keeps the chart's plain title; its labels 0 to 1.0 say it is relative.
        return TextCatalogue::text(Text::SpectrumAxisPower, languageFlag);
    case SpectrumScale::Normalised:
        return TextCatalogue::text(Text::SpectrumAxisNormalised, languageFlag);
    case SpectrumScale::Absolute:
        break;
    }
    const QString title = TextCatalogue::text(Text::SpectrumAxisPower, languageFlag);
    return chart.unit.isEmpty() ? title : QStringLiteral("%1 (%2)").arg(title, chart.unit);
}

} // namespace

SpectrumChart SpectrumChartGeometry::compute(const QRectF &area, const std::vector<SpectralRecord> &records,
                                             bool languageFlag, const QStringList &names, SpectrumScale mode,
                                             const QString &unit, double labelWidth, double lineHeight)
{
    SpectrumChart chart = frame(area, records, languageFlag, names, mode, unit, labelWidth, lineHeight);
    chart.curves = curves(chart, records, 0, int(records.size()));
    return chart;
}

QVector<ChartCurve> SpectrumChartGeometry::curves(const SpectrumChart &chart,
                                                  const std::vector<SpectralRecord> &records, int first, int end)
{
    QVector<ChartCurve> drawn;
    for (int k = std::max(first, 0); k < end && k < int(records.size()); ++k) {
        if (records[size_t(k)].curveVisible)
            drawn.append(curveOf(chart, records[size_t(k)], k));
    }
    return drawn;
}

SpectrumChart SpectrumChartGeometry::frame(const QRectF &area, const std::vector<SpectralRecord> &records,
                                           bool languageFlag, const QStringList &names, SpectrumScale mode,
                                           const QString &unit, double labelWidth, double lineHeight)
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

    chart.scaleMode = mode;
    chart.unit = unit;
    // Normalised, every peak is 1 and stands where the largest value stands otherwise.
    chart.scale = mode == SpectrumScale::Normalised ? 1.2f : scaleFor(records);
    for (const SpectralRecord &record : records)
        chart.tickedCount += record.curveVisible ? 1 : 0;

    // Left of the y axis stand its labels and, further left, its upright title, a line thick, each
    // half a digit apart from the other and from the chart's edge. A chart too narrow for both
    // moves its plot right rather than let the title run into the labels.
    const double digitWidth = labelWidth / 3.5; // a wavelength label is three and a half digits wide
    const double gap = digitWidth / 2;
    addPowerLabels(chart, W / 10);
    const double widest = widestPowerLabel(chart, digitWidth);
    // The plot keeps room for "400" and "700" apart; a chart too small for that and the title
    // goes without the title.
    const double titledLeft = std::max(chart.left, X + gap + lineHeight + gap + widest + 5);
    const bool titled = chart.right - titledLeft >= 2 * labelWidth;
    chart.left = titled ? titledLeft : std::max(chart.left, X + gap + widest + 5);
    chart.plotW = chart.right - chart.left;
    addPowerLabels(chart, std::max(W / 10, widest));
    // Where there is room, the title stands where it always has, centred at 3/40 of the width.
    const double titleRight =
        std::max(X + gap + lineHeight, std::min(X + 3 * W / 40 + lineHeight / 2, chart.left - 5 - widest - gap));
    chart.yTitle = {QRectF(titleRight - lineHeight, Y, lineHeight, H),
                    titled ? yTitleOf(chart, languageFlag) : QString(), Qt::AlignCenter};

    // Names in the legend take room from the plot: a legend of bare numbers tells nothing apart.
    bool named = false;
    for (int k = 0; k < int(records.size()) && !named; ++k)
        named = records[size_t(k)].curveVisible && !names.value(k).isEmpty();
    if (named) {
        // The plot's narrowest share counts from where the plot starts when the title leaves it
        // room: a plot moved right for the title takes that room from itself, not from the legend.
        const double legend = W / 40 + legendSwatchWidth + legendGap + legendDigits * digitWidth;
        chart.right = std::max(X + 2 * W / 10 + narrowestPlotShare * W, std::min(chart.right, X + W - legend));
        chart.plotW = chart.right - chart.left;
    }

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

    addWavelengthLabels(chart, H / 10, labelWidth);

    chart.xTitle = {QRectF(X, Y + 9 * H / 10, W, H / 10),
                    languageFlag ? QStringLiteral("波段(nm)") : QStringLiteral("Wavelength(nm)"), Qt::AlignCenter};

    addLegend(chart, area, records, languageFlag, names);
    return chart;
}

double SpectrumChartGeometry::wavelengthLabelWidth(const QFontMetricsF &metrics)
{
    return metrics.horizontalAdvance(QStringLiteral("000")) + metrics.horizontalAdvance(QLatin1Char('0')) / 2;
}

std::optional<SpectrumReadout> SpectrumChartGeometry::readoutAt(const SpectrumChart &chart, const QPointF &position,
                                                                bool languageFlag)
{
    if (chart.plotW <= 0 || chart.plotH <= 0 || position.x() < chart.left || position.x() > chart.right
        || position.y() < chart.top || position.y() > chart.bottom)
        return std::nullopt;
    const double span = double(SpectralRecord::wavelengthStep * (SpectralRecord::valueCount - 1));
    const double wavelength = SpectralRecord::firstWavelength + (position.x() - chart.left) / chart.plotW * span;
    const double fraction = (chart.bottom - position.y()) / chart.plotH;
    const double value = fraction * double(chart.scale);
    // The relative axes read 1.0 at 5/6 of the plot height, where the scale's 1.2 puts 1.
    const QString relative = QString::number(fraction * 1.2, 'g', 3);
    const QString absolute = chart.unit.isEmpty()
                                 ? QString::number(value, 'g', 4)
                                 : QStringLiteral("%1 %2").arg(QString::number(value, 'g', 4), chart.unit);
    QString text;
    switch (chart.scaleMode) {
    case SpectrumScale::Relative:
        text = TextCatalogue::text(Text::SpectrumReadoutBoth, languageFlag)
                   .arg(qRound(wavelength))
                   .arg(relative, absolute);
        break;
    case SpectrumScale::Normalised:
        text = TextCatalogue::text(Text::SpectrumReadout, languageFlag).arg(qRound(wavelength)).arg(relative);
        break;
    case SpectrumScale::Absolute:
        text = TextCatalogue::text(Text::SpectrumReadout, languageFlag).arg(qRound(wavelength)).arg(absolute);
        break;
    }
    SpectrumReadout readout;
    readout.guide = QLineF(position.x(), chart.top, position.x(), chart.bottom);
    // Above the plot, in the band the chart leaves empty there.
    const double band = chart.top - chart.plotH / 6;
    readout.text = {QRectF(chart.left, band, chart.plotW, chart.top - band), text, Qt::AlignRight | Qt::AlignVCenter};
    return readout;
}
