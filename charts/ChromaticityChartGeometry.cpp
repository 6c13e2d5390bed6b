// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChromaticityChartGeometry.h"

#include "CieObserver.h"
#include "PlanckianLocus.h"
#include "TextCatalogue.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace {

// The right margin holds the "700" label beside the end of the spectral locus.
constexpr double leftMargin = 58, rightMargin = 24, topMargin = 32, bottomMargin = 44;
constexpr double tickLength = 6;
constexpr double labelWidth = 40, labelHeight = 14;

// Ticks every 10 nm where the locus bends; labels where they do not crowd each other.
constexpr int tickedWavelengths[] = {460, 470, 480, 490, 500, 510, 520, 530, 540, 550,
                                     560, 570, 580, 590, 600, 610, 620, 640, 700};
constexpr int labelledWavelengths[] = {460, 480, 490, 500, 510, 520, 540, 560, 580, 600, 620, 700};
constexpr int isotemperatureKelvins[] = {1500, 2000, 2500, 3000, 4000, 5000, 6500, 10000};
constexpr int labelledKelvins[] = {2000, 3000, 4000, 6500, 10000};
constexpr double isotemperatureHalfLength = 0.02; // Duv either side of the locus
constexpr int planckianSteps = 120;

QRectF centredRect(const QPointF &centre, double width, double height)
{
    return QRectF(centre.x() - width / 2, centre.y() - height / 2, width, height);
}

// Adds a label unless it would cover one already there, an axis label or the title: on a small
// diagram, ticks crowd together.
void addUncrowded(QVector<ChartText> &labels, const ChartText &label, const ChromaticityChart &chart)
{
    if (chart.title.rect.intersects(label.rect))
        return;
    for (const QVector<ChartText> *others : {&std::as_const(labels), &chart.axisLabels}) {
        for (const ChartText &other : *others) {
            if (other.rect.intersects(label.rect))
                return;
        }
    }
    labels.append(label);
}

QPointF areaOfUv(const ChromaticityChart &chart, const ChromaticityUv &uv)
{
    return chart.toArea(ColourSpaces::xyOf(uv));
}

void addFrame(ChromaticityChart &chart, const QRectF &area, bool languageFlag)
{
    const double scale =
        std::max(0.0, std::min((area.width() - leftMargin - rightMargin) / ChromaticityChart::xMaximum,
                               (area.height() - topMargin - bottomMargin) / ChromaticityChart::yMaximum));
    const double plotW = scale * ChromaticityChart::xMaximum;
    const double plotH = scale * ChromaticityChart::yMaximum;
    const double spare = area.width() - leftMargin - rightMargin - plotW;
    chart.plot = QRectF(area.x() + leftMargin + spare / 2, area.y() + topMargin, plotW, plotH);

    const QRectF &plot = chart.plot;
    // Every 0.1 is labelled where the labels stand apart, otherwise every 0.2 (or 0.4): a label
    // such as "0.3" needs about xLabelRoom pixels, and a line of text labelHeight.
    constexpr double xLabelRoom = 30;
    const double xSpacing = plot.width() / 8;
    const int xEvery = xSpacing >= xLabelRoom ? 1 : xSpacing * 2 >= xLabelRoom ? 2 : 4;
    const double ySpacing = plot.height() / 9;
    const int yEvery = ySpacing >= labelHeight + 2 ? 1 : ySpacing * 2 >= labelHeight + 2 ? 2 : 3;
    for (int i = 0; i <= 8; ++i) {
        const double x = plot.left() + i * plot.width() / 8;
        chart.gridLines.append(QLineF(x, plot.top(), x, plot.bottom()));
        if (i % xEvery == 0)
            // Clear of the y axis's "0.0", which reaches half a line below the axis.
            chart.axisLabels.append({centredRect(QPointF(x, plot.bottom() + labelHeight + 1),
                                                 std::min(labelWidth, xSpacing * xEvery), labelHeight),
                                     QString::number(i / 10.0, 'f', 1), Qt::AlignCenter});
    }
    for (int j = 0; j <= 9; ++j) {
        const double y = plot.bottom() - j * plot.height() / 9;
        chart.gridLines.append(QLineF(plot.left(), y, plot.right(), y));
        if (j % yEvery == 0)
            chart.axisLabels.append({QRectF(plot.left() - labelWidth - 4, y - labelHeight / 2, labelWidth, labelHeight),
                                     QString::number(j / 10.0, 'f', 1), Qt::AlignRight | Qt::AlignVCenter});
    }
    chart.axes = {QLineF(plot.bottomLeft(), plot.bottomRight()), QLineF(plot.bottomLeft(), plot.topLeft())};
    chart.xTitle = {
        QRectF(plot.left(), plot.bottom() + 1.5 * labelHeight + 2, plot.width(), bottomMargin - 1.5 * labelHeight - 2),
        QStringLiteral("x"), Qt::AlignCenter};
    // Left of the y axis's labels, however wide the area around the plot.
    const double yTitleWidth = leftMargin - labelWidth - 4;
    chart.yTitle = {QRectF(plot.left() - labelWidth - 4 - yTitleWidth, plot.top(), yTitleWidth, plot.height()),
                    QStringLiteral("y"), Qt::AlignCenter};
    // Above the y axis's top label, which reaches half a line above the plot.
    chart.title = {QRectF(area.x(), area.y(), area.width(), topMargin - labelHeight / 2 - 1),
                   TextCatalogue::text(Text::ChromaticityTitle, languageFlag), Qt::AlignCenter};
}

void addSpectralLocus(ChromaticityChart &chart)
{
    for (int nm = ChromaticityChartGeometry::firstLocusWavelength; nm <= ChromaticityChartGeometry::lastLocusWavelength;
         ++nm)
        chart.spectralLocus.append(chart.toArea(CieObserver::spectralLocus(nm)));

    // A tick stands on the locus at right angles to it, on the side away from the white point.
    const QPointF white = chart.toArea({1.0 / 3, 1.0 / 3});
    const auto onLocus = [&chart](int nm) {
        return chart.spectralLocus.at(nm - ChromaticityChartGeometry::firstLocusWavelength);
    };
    for (const int nm : tickedWavelengths) {
        const QPointF at = onLocus(nm);
        const QPointF along = onLocus(std::min(nm + 1, ChromaticityChartGeometry::lastLocusWavelength))
                              - onLocus(std::max(nm - 1, ChromaticityChartGeometry::firstLocusWavelength));
        QPointF normal(-along.y(), along.x());
        const double length = std::hypot(normal.x(), normal.y());
        if (length <= 0)
            continue;
        normal /= length;
        if (QPointF::dotProduct(at - white, normal) < 0)
            normal = -normal;
        chart.wavelengthTicks.append(QLineF(at, at + normal * tickLength));
        if (std::find(std::begin(labelledWavelengths), std::end(labelledWavelengths), nm)
            != std::end(labelledWavelengths)) {
            addUncrowded(chart.wavelengthLabels,
                         {centredRect(at + normal * (tickLength + labelWidth / 2), labelWidth, labelHeight),
                          QString::number(nm), Qt::AlignCenter},
                         chart);
        }
    }
}

// Whether `line` passes through `rect`.
bool crosses(const QRectF &rect, const QLineF &line)
{
    if (rect.contains(line.p1()) || rect.contains(line.p2()))
        return true;
    const QLineF edges[] = {{rect.topLeft(), rect.topRight()},
                            {rect.topRight(), rect.bottomRight()},
                            {rect.bottomRight(), rect.bottomLeft()},
                            {rect.bottomLeft(), rect.topLeft()}};
    return std::any_of(std::begin(edges), std::end(edges), [&line](const QLineF &edge) {
        return line.intersects(edge, nullptr) == QLineF::BoundedIntersection;
    });
}

bool crosses(const QRectF &rect, const QPolygonF &polyline)
{
    for (qsizetype i = 1; i < polyline.size(); ++i) {
        if (crosses(rect, QLineF(polyline.at(i - 1), polyline.at(i))))
            return true;
    }
    return false;
}

// How far `point` lies from the segment `line`.
double distanceTo(const QPointF &point, const QLineF &line)
{
    const QPointF d = line.p2() - line.p1();
    const double length2 = QPointF::dotProduct(d, d);
    const double t = length2 > 0 ? std::clamp(QPointF::dotProduct(point - line.p1(), d) / length2, 0.0, 1.0) : 0;
    return QLineF(point, line.p1() + t * d).length();
}

bool isLabelled(int kelvin)
{
    return std::find(std::begin(labelledKelvins), std::end(labelledKelvins), kelvin) != std::end(labelledKelvins);
}

// Whether a label centred at `centre` is read as isotemperature line `own`'s: it is nearer that
// line than any other labelled one (the unlabelled lines between stand for the steps between).
bool nearestTo(const QPointF &centre, const ChromaticityChart &chart, int own)
{
    const double ownDistance = distanceTo(centre, chart.isotemperatureLines.at(own));
    for (int k = 0; k < chart.isotemperatureLines.size(); ++k) {
        if (k != own && isLabelled(isotemperatureKelvins[k])
            && distanceTo(centre, chart.isotemperatureLines.at(k)) <= ownDistance)
            return false;
    }
    return true;
}

// Whether a temperature label at `rect` stands clear of every line of the diagram: the loci (the
// purple line included), the isotemperature lines and the wavelength ticks; and inside the plot.
bool standsClear(const QRectF &rect, const ChromaticityChart &chart)
{
    if (!chart.plot.contains(rect) || crosses(rect, chart.spectralLocus) || crosses(rect, chart.planckianLocus)
        || (!chart.spectralLocus.isEmpty()
            && crosses(rect, QLineF(chart.spectralLocus.first(), chart.spectralLocus.last()))))
        return false;
    for (const ChartText &wavelength : chart.wavelengthLabels) {
        if (wavelength.rect.intersects(rect))
            return false;
    }
    for (const QVector<QLineF> *lines : {&chart.isotemperatureLines, &chart.wavelengthTicks}) {
        for (const QLineF &line : *lines) {
            if (crosses(rect, line))
                return false;
        }
    }
    return true;
}

// A temperature label continues its line past one of its ends, below the locus where it can,
// else above, a little further out where something is in the way; a label with no clear place is
// left out (the diagram is small, and its lines matter more).
void placeTemperatureLabel(ChromaticityChart &chart, int k)
{
    // A temperature is drawn in a smaller font, about this many pixels a character.
    constexpr double characterWidth = 9;
    constexpr double gap = 2, step = 3;
    constexpr int tries = 8;
    const QLineF line = chart.isotemperatureLines.at(k);
    if (line.length() <= 0)
        return;
    const QString text = QStringLiteral("%1K").arg(isotemperatureKelvins[k]);
    const double labelRoomWidth = characterWidth * double(text.size()) + 2;
    const QPointF along = (line.p1() - line.p2()) / line.length(); // from above the locus to below
    const double reach = std::abs(along.x()) * labelRoomWidth / 2 + std::abs(along.y()) * labelHeight / 2;
    const QPointF across(-along.y(), along.x());
    for (const auto &[end, outward] : {std::pair(line.p1(), along), std::pair(line.p2(), -along)}) {
        for (int i = 0; i < tries; ++i) {
            // Straight on first, then a little to either side.
            for (const double aside : {0.0, 1.0, -1.0, 2.0, -2.0}) {
                const QPointF centre = end + outward * (reach + gap + i * step) + across * (aside * labelHeight / 2);
                const ChartText label{centredRect(centre, labelRoomWidth, labelHeight), text, Qt::AlignCenter};
                if (!nearestTo(centre, chart, k) || !standsClear(label.rect, chart))
                    continue;
                const qsizetype before = chart.temperatureLabels.size();
                addUncrowded(chart.temperatureLabels, label, chart);
                if (chart.temperatureLabels.size() > before)
                    return;
            }
        }
    }
}

void addPlanckianLocus(ChromaticityChart &chart)
{
    const double span = std::log(PlanckianLocus::maximumKelvin / PlanckianLocus::minimumKelvin);
    for (int i = 0; i <= planckianSteps; ++i) {
        const double kelvin = PlanckianLocus::minimumKelvin * std::exp(span * i / planckianSteps);
        chart.planckianLocus.append(areaOfUv(chart, PlanckianLocus::at(kelvin)));
    }
    for (const int kelvin : isotemperatureKelvins) {
        chart.isotemperatureLines.append(
            QLineF(areaOfUv(chart, PlanckianLocus::offset(kelvin, -isotemperatureHalfLength)),
                   areaOfUv(chart, PlanckianLocus::offset(kelvin, isotemperatureHalfLength))));
    }
    for (int k = 0; k < int(std::size(isotemperatureKelvins)); ++k) {
        if (isLabelled(isotemperatureKelvins[k]))
            placeTemperatureLabel(chart, k);
    }
}

} // namespace

QPointF ChromaticityChart::toArea(const ChromaticityXy &c) const
{
    return QPointF(plot.left() + c.x / xMaximum * plot.width(), plot.bottom() - c.y / yMaximum * plot.height());
}

ChromaticityChart ChromaticityChartGeometry::frame(const QRectF &area, bool languageFlag)
{
    ChromaticityChart chart;
    addFrame(chart, area, languageFlag);
    addSpectralLocus(chart);
    addPlanckianLocus(chart);
    return chart;
}

QVector<ChromaticityPoint> ChromaticityChartGeometry::points(const ChromaticityChart &chart,
                                                             const std::vector<ColourMetrics> &metrics,
                                                             const std::vector<SpectralRecord> &records, int first,
                                                             int end)
{
    QVector<ChromaticityPoint> points;
    const int count = int(std::min(metrics.size(), records.size()));
    for (int k = std::max(first, 0); k < std::min(end, count); ++k) {
        if (!records[size_t(k)].curveVisible || !metrics[size_t(k)].valid)
            continue;
        const QPointF centre = chart.toArea(metrics[size_t(k)].xy);
        points.append({k,
                       centre,
                       SpectrumChartGeometry::curveColour(k),
                       {QRectF(centre.x() + 5, centre.y() - labelHeight - 3, labelWidth, labelHeight),
                        records[size_t(k)].numberText(k + 1), Qt::AlignLeft | Qt::AlignVCenter}});
    }
    return points;
}

ChromaticityChart ChromaticityChartGeometry::compute(const QRectF &area, const std::vector<ColourMetrics> &metrics,
                                                     const std::vector<SpectralRecord> &records, bool languageFlag)
{
    ChromaticityChart chart = frame(area, languageFlag);
    chart.points = points(chart, metrics, records, 0, int(records.size()));
    return chart;
}

std::optional<ChromaticityPoint> ChromaticityChartGeometry::pointAt(const QVector<ChromaticityPoint> &points,
                                                                    const QPointF &position)
{
    // The last point drawn lies on top.
    for (auto point = points.crbegin(); point != points.crend(); ++point) {
        const QPointF offset = point->centre - position;
        if (std::hypot(offset.x(), offset.y()) <= ChromaticityPoint::radius + 1)
            return *point;
    }
    return std::nullopt;
}

bool ChromaticityChartGeometry::labelsStandClear(const QVector<ChromaticityPoint> &points)
{
    if (points.size() > mostLabels)
        return false;
    for (qsizetype i = 0; i < points.size(); ++i) {
        for (qsizetype j = i + 1; j < points.size(); ++j) {
            if (points[i].label.rect.intersects(points[j].label.rect))
                return false;
        }
    }
    return true;
}
