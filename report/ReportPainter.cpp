// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportPainter.h"

#include "CellGlyphs.h"
#include "ChromaticityChartGeometry.h"
#include "ChromaticityChartPainter.h"
#include "ColourTableModel.h"
#include "ProgramVersion.h"
#include "ReportTexts.h"
#include "SpectralTableModel.h"
#include "SpectrumChartGeometry.h"
#include "SpectrumChartPainter.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const QColor ruleColour(0x80, 0x80, 0x80);
const QColor titleRowColour(0xe8, 0xec, 0xf2);
const QColor stripeColour(0xf6, 0xf7, 0xf9);

// The charts are computed for an area of the window's size and scale and then scaled onto the
// page, so they look as they do on the screen; their texts have the window's pixel size.
constexpr double chartPixelsPerPoint = 1.4;
constexpr int chartTextPixels = 12;
// The curves' points are placed on a grid of 1/64 chart pixel, finer than any printer's dot.
constexpr int chartCurveGrid = 64;

// A line of text in a rectangle: the learnt glyphs where they serve, Qt's text drawing otherwise.
void drawLine(QPainter &painter, CellGlyphs &glyphs, const QFont &font, const QRectF &rect, Qt::Alignment alignment,
              const QString &text)
{
    if (glyphs.add(text, rect, alignment)) {
        glyphs.paint(painter);
        return;
    }
    painter.setFont(font);
    painter.drawText(rect, int(alignment), text);
}

} // namespace

bool ReportPainter::paint(QPagedPaintDevice &device, const ReportLayout &layout, const Progress &progress,
                          QString &error)
{
    const std::vector<ReportLayout::Page> &pages = layout.pages();
    device.setPageSize(QPageSize(layout.content().details.paper));
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    device.setPageOrientation(pages.front().orientation);
    PageGlyphs glyphs{layout.cellGlyphs(), layout.titleGlyphs()};
    QPainter painter;
    if (!painter.begin(&device)) {
        error = QStringLiteral("the report cannot be painted");
        return false;
    }
    for (int index = 0; index < int(pages.size()); ++index) {
        const ReportLayout::Page &page = pages[size_t(index)];
        if (index > 0) {
            device.setPageOrientation(page.orientation);
            device.newPage();
        }
        painter.resetTransform();
        // Everything is laid out in points.
        const double scale = device.logicalDpiX() / 72.0;
        painter.scale(scale, scale);
        paintFrame(painter, layout, index, glyphs);
        switch (page.kind) {
        case ReportLayout::Page::Facts:
            paintFacts(painter, layout);
            break;
        case ReportLayout::Page::TableRows:
            paintTableRows(painter, layout, page, glyphs);
            break;
        case ReportLayout::Page::Charts:
            paintCharts(painter, layout, page);
            break;
        }
        // A table read a batch at a time may have lost its source (a file, the archive).
        if (page.kind == ReportLayout::Page::TableRows) {
            const ReportTable &table = layout.content().sections[size_t(page.section)].table;
            const QString why = table.readError ? table.readError() : QString();
            if (!why.isEmpty()) {
                painter.end();
                error = why;
                return false;
            }
        }
        if (progress && !progress(index + 1, int(pages.size()))) {
            painter.end();
            error = QStringLiteral("cancelled");
            return false;
        }
    }
    if (!painter.end()) {
        error = QStringLiteral("the report could not be finished");
        return false;
    }
    return true;
}

void ReportPainter::paintFrame(QPainter &painter, const ReportLayout &layout, int pageIndex, PageGlyphs &glyphs)
{
    const ReportLayout::Page &page = layout.pages()[size_t(pageIndex)];
    const ReportDetails &details = layout.content().details;
    const QSizeF size = layout.pageSize(page.orientation);
    const double width = size.width() - 2 * ReportLayout::margin;
    const QRectF header(ReportLayout::margin, ReportLayout::margin, width, ReportLayout::headerHeight - 8);
    painter.setPen(Qt::black);
    const QFont headingFont = ReportLayout::boldFont(ReportLayout::headingPixels);
    const QString title = details.shownTitle();
    const QRectF titleRect(header.left(), header.top(), width * 0.7, header.height());
    if (glyphs.heading.add(title, titleRect, Qt::AlignLeft | Qt::AlignVCenter)) {
        glyphs.heading.paint(painter);
    } else {
        painter.setFont(headingFont);
        painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetricsF(headingFont).elidedText(title, Qt::ElideRight, width * 0.7));
    }
    const QString program = ProgramVersion::name() + QLatin1Char(' ') + ProgramVersion::version();
    drawLine(painter, glyphs.cells, ReportLayout::textFont(), header, Qt::AlignRight | Qt::AlignVCenter, program);
    painter.setPen(QPen(ruleColour, 0.5));
    painter.drawLine(QPointF(header.left(), header.bottom() + 2), QPointF(header.right(), header.bottom() + 2));

    const QRectF footer(ReportLayout::margin, size.height() - ReportLayout::margin - ReportLayout::footerHeight + 6,
                        width, ReportLayout::footerHeight - 6);
    painter.drawLine(QPointF(footer.left(), footer.top()), QPointF(footer.right(), footer.top()));
    painter.setPen(Qt::black);
    const QString pageText = ReportTexts::text(ReportText::PageOf, details.chinese)
                                 .arg(pageIndex + 1)
                                 .arg(layout.pages().size());
    drawLine(painter, glyphs.cells, ReportLayout::textFont(), footer, Qt::AlignHCenter | Qt::AlignBottom, pageText);
}

void ReportPainter::paintFacts(QPainter &painter, const ReportLayout &layout)
{
    const ReportContent &content = layout.content();
    const ReportDetails &details = content.details;
    const QRectF body = layout.body(QPageLayout::Portrait);
    double y = body.top() + 6;
    painter.setPen(Qt::black);
    painter.setFont(ReportLayout::boldFont(20));
    const QFontMetricsF titleMetrics(painter.font());
    painter.drawText(QRectF(body.left(), y, body.width(), titleMetrics.height() * 2.4),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, details.shownTitle());
    y += titleMetrics.boundingRect(QRectF(0, 0, body.width(), 1000), Qt::TextWordWrap, details.shownTitle()).height()
         + 18;

    const double labelWidth = 130;
    const auto heading = [&](ReportText id) {
        painter.setFont(ReportLayout::boldFont(11));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(body.left(), y + QFontMetricsF(painter.font()).ascent()),
                         ReportTexts::text(id, details.chinese));
        y += QFontMetricsF(painter.font()).height() + 4;
        painter.setPen(QPen(ruleColour, 0.5));
        painter.drawLine(QPointF(body.left(), y), QPointF(body.right(), y));
        y += 6;
    };
    // A label and its values side by side, each value wrapped in its own column (a comparison
    // gives one per download, so that each download's facts and notes stand under its id).
    const auto fact = [&](const QString &label, const QStringList &values) {
        painter.setFont(ReportLayout::textFont());
        const QFontMetricsF metrics(painter.font());
        const double columnWidth = (body.width() - labelWidth) / double(std::max<qsizetype>(values.size(), 1));
        double height = metrics.height();
        painter.setPen(QColor(0x50, 0x50, 0x50));
        painter.drawText(QRectF(body.left(), y, labelWidth - 8, metrics.height()), Qt::AlignLeft, label);
        painter.setPen(Qt::black);
        for (int v = 0; v < int(values.size()); ++v) {
            const QRectF valueRect(body.left() + labelWidth + v * columnWidth, y, columnWidth - 8, body.bottom() - y);
            height = std::max(height, metrics.boundingRect(valueRect, Qt::TextWordWrap, values.at(v)).height());
            painter.drawText(valueRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, values.at(v));
        }
        y += height + 5;
    };

    heading(ReportText::Report);
    fact(ReportTexts::text(ReportText::Location, details.chinese), {details.location});
    fact(ReportTexts::text(ReportText::Operator, details.chinese), {details.operatorName});
    fact(ReportTexts::text(ReportText::Note, details.chinese), {details.note});
    y += 12;
    heading(ReportText::Meter);
    for (const auto &[label, values] : content.meterFacts)
        fact(label, values);
}

void ReportPainter::paintTableRows(QPainter &painter, const ReportLayout &layout, const ReportLayout::Page &page,
                                   PageGlyphs &glyphs)
{
    const ReportTable &table = layout.content().sections[size_t(page.section)].table;
    const ReportLayout::TableColumns &columns = layout.columnsOf(page.section);
    const std::vector<int> &group = columns.groups[size_t(page.group)];
    const QRectF body = layout.body(page.orientation);
    const double line = layout.rowHeight();
    const bool chinese = layout.content().details.chinese;

    QString caption = table.caption;
    if (columns.groups.size() > 1)
        caption += QLatin1Char(' ')
                   + ReportTexts::text(ReportText::ColumnGroup, chinese).arg(page.group + 1).arg(columns.groups.size());
    painter.setPen(Qt::black);
    drawLine(painter, glyphs.captions, ReportLayout::boldFont(ReportLayout::captionPixels),
             QRectF(body.left(), body.top(), body.width(), line), Qt::AlignLeft | Qt::AlignVCenter, caption);

    double tableWidth = 0;
    for (const int column : group)
        tableWidth += columns.widths[size_t(column)];
    const double tableTop = body.top() + line;
    const double rowsTop = tableTop + columns.titleHeight;
    const int shownRows = std::max(page.rowCount, table.rows == 0 ? 1 : 0);
    const double tableBottom = rowsTop + shownRows * line;

    // The fills first, every other row's as rectangles of one fill (a PDF writes each as four
    // numbers, where a path takes five points), then the texts over them.
    painter.fillRect(QRectF(body.left(), tableTop, tableWidth, columns.titleHeight), titleRowColour);
    std::vector<QRectF> stripes;
    for (int row = 1; row < page.rowCount; row += 2)
        stripes.emplace_back(body.left(), rowsTop + row * line, tableWidth, line);
    if (!stripes.empty()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(stripeColour);
        painter.drawRects(stripes.data(), int(stripes.size()));
    }
    painter.setPen(Qt::black);

    // A text on its baseline: the learnt glyphs where they serve, Qt's text drawing otherwise;
    // only a column narrower than its widest text elides.
    const auto drawText = [&painter](CellGlyphs &cells, const QFont &font, const QString &text, const QPointF &origin,
                                     double width, bool cut) {
        if (cells.add(text, origin, cut ? width + 0.5 : std::numeric_limits<double>::infinity()))
            return;
        painter.setFont(font);
        painter.drawText(origin, cut ? QFontMetricsF(font).elidedText(text, Qt::ElideRight, width + 0.5) : text);
    };

    // The title row: a title with its unit below it has its lines centred in the row together,
    // as Qt's text drawing places them.
    const QFont titleFont = ReportLayout::titleFont();
    const QFontMetricsF titleMetrics(titleFont);
    double x = body.left();
    for (const int column : group) {
        const double width = columns.widths[size_t(column)];
        const QStringList lines = table.titles[column].split(QLatin1Char('\n'));
        std::vector<double> tops;
        double height = 0;
        for (int k = 0; k < lines.size(); ++k) {
            height = std::ceil(height + titleMetrics.leading());
            tops.push_back(height);
            height += titleMetrics.ascent() + titleMetrics.descent();
        }
        const double top = tableTop + (columns.titleHeight - height) / 2;
        for (int k = 0; k < lines.size(); ++k) {
            drawText(glyphs.titles, titleFont, lines[k],
                     QPointF(x + ReportLayout::cellPadding, top + tops[size_t(k)] + titleMetrics.ascent()),
                     width - 2 * ReportLayout::cellPadding, true);
        }
        x += width;
    }
    glyphs.titles.paint(painter);

    const QFont textFont = ReportLayout::textFont();
    const QFontMetricsF metrics(textFont);
    if (table.rows == 0) {
        painter.setFont(textFont);
        painter.drawText(QRectF(body.left() + ReportLayout::cellPadding, rowsTop, body.width(), line),
                         Qt::AlignLeft | Qt::AlignVCenter, ReportTexts::text(ReportText::NoRecords, chinese));
    }
    const double baseline = (line + metrics.ascent() - metrics.descent()) / 2;
    for (int row = page.firstRow; row < page.firstRow + page.rowCount; ++row) {
        const double y = rowsTop + (row - page.firstRow) * line;
        x = body.left();
        for (const int column : group) {
            const double width = columns.widths[size_t(column)];
            drawText(glyphs.cells, textFont, table.cell(row, column),
                     QPointF(x + ReportLayout::cellPadding, y + baseline), width - 2 * ReportLayout::cellPadding,
                     columns.cut[size_t(column)]);
            x += width;
        }
    }
    glyphs.cells.paint(painter);

    painter.setPen(QPen(ruleColour, 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(body.left(), tableTop, tableWidth, tableBottom - tableTop));
    painter.drawLine(QPointF(body.left(), rowsTop), QPointF(body.left() + tableWidth, rowsTop));
}

void ReportPainter::paintCharts(QPainter &painter, const ReportLayout &layout, const ReportLayout::Page &page)
{
    const ReportContent::Section &section = layout.content().sections[size_t(page.section)];
    const bool chinese = layout.content().details.chinese;
    const QRectF body = layout.body(page.orientation);
    const double line = layout.rowHeight();
    QFont chartFont = ReportLayout::textFont();
    chartFont.setPixelSize(chartTextPixels);

    const auto chartIn = [&](const QRectF &target, ReportText caption, const std::function<void(const QRectF &)> &draw) {
        painter.setFont(ReportLayout::boldFont(10));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(target.left(), target.top(), target.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                         ReportTexts::text(caption, chinese));
        const QRectF area = target.adjusted(0, line, 0, 0);
        painter.save();
        painter.translate(area.topLeft());
        painter.scale(1 / chartPixelsPerPoint, 1 / chartPixelsPerPoint);
        painter.setFont(chartFont);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(QRectF(0, 0, area.width() * chartPixelsPerPoint, area.height() * chartPixelsPerPoint));
        painter.restore();
    };
    const double spectrumHeight = body.height() * 0.42;
    chartIn(QRectF(body.left(), body.top(), body.width(), spectrumHeight), ReportText::SpectrumChart,
            [&](const QRectF &area) {
                // The frame as the window draws it, then the curves one at a time on a fine grid:
                // a report of tens of thousands of records neither holds all their polylines nor
                // writes every point in nine digits.
                const std::vector<SpectralRecord> &records = section.spectra->records();
                const QFontMetricsF metrics(painter.font(), painter.device());
                const SpectrumChart frame = SpectrumChartGeometry::frame(
                    area, records, chinese, section.spectra->recordNames(), SpectrumScale::Relative, {},
                    SpectrumChartGeometry::wavelengthLabelWidth(metrics), metrics.height());
                SpectrumChartPainter::draw(painter, frame);
                const qsizetype ticked = std::count_if(records.begin(), records.end(),
                                                       [](const SpectralRecord &record) { return record.curveVisible; });
                painter.save();
                painter.scale(1.0 / chartCurveGrid, 1.0 / chartCurveGrid);
                for (int k = 0; k < int(records.size()); ++k) {
                    if (records[size_t(k)].curveVisible) {
                        SpectrumChartPainter::drawCurve(
                            painter, SpectrumChartGeometry::curveOf(frame, records[size_t(k)], k), ticked, chartCurveGrid);
                    }
                }
                painter.restore();
            });
    const double top = body.top() + spectrumHeight + 12;
    const double side = std::min(body.width(), body.bottom() - top);
    chartIn(QRectF(body.left() + (body.width() - side) / 2, top, side, body.bottom() - top), ReportText::Chromaticity,
            [&](const QRectF &area) {
                ChromaticityChartPainter::draw(painter, ChromaticityChartGeometry::compute(area, section.colours->metrics(),
                                                                                           section.spectra->records(), chinese));
            });
}
