// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportLayout.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// A cell as wide as this at most; longer texts (long names) are cut short with an ellipsis.
constexpr double widestColumn = 220;

} // namespace

QFont ReportLayout::textFont()
{
    // Latin text in DejaVu Sans; Chinese in WenQuanYi Micro Hei, whose characters Qt's PDF writer
    // maps back to the characters written (Noto CJK's shared glyphs extract as Kangxi radicals).
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(textPixels);
    // Any letter spacing turns ligatures off: "Office" stays six letters that search and copying
    // find, rather than "O" and an "ffi" glyph.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.02);
    return font;
}

QFont ReportLayout::boldFont(int pixelSize)
{
    QFont font = textFont();
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

ReportLayout::ReportLayout(const ReportContent &content)
    : report(content),
      columns(content.sections.size())
{
    lineHeight = std::ceil(QFontMetricsF(textFont()).height() * 1.6);
    laidOut.push_back(Page{});
    for (int section = 0; section < int(report.sections.size()); ++section) {
        if (report.sections[size_t(section)].kind == ReportContent::Section::Charts) {
            Page charts;
            charts.kind = Page::Charts;
            charts.section = section;
            laidOut.push_back(charts);
        } else {
            layTable(section);
        }
    }
}

QSizeF ReportLayout::pageSize(QPageLayout::Orientation orientation) const
{
    const QSizeF portrait = QPageSize(report.details.paper).size(QPageSize::Point);
    return orientation == QPageLayout::Portrait ? portrait : portrait.transposed();
}

QRectF ReportLayout::body(QPageLayout::Orientation orientation) const
{
    const QSizeF size = pageSize(orientation);
    return QRectF(margin, margin + headerHeight, size.width() - 2 * margin,
                  size.height() - 2 * margin - headerHeight - footerHeight);
}

void ReportLayout::layTable(int section)
{
    const ReportTable &table = report.sections[size_t(section)].table;
    TableColumns &laid = columns[size_t(section)];
    const QFontMetricsF text(textFont());
    const QFontMetricsF bold(titleFont());
    laid.widths.assign(size_t(table.columns()), 0);
    int titleLines = 1;
    for (int column = 0; column < table.columns(); ++column) {
        // A title with its unit below it ("Illuminance\n(Lux)") is as wide as its widest line.
        const QStringList lines = table.titles[column].split(QLatin1Char('\n'));
        titleLines = std::max(titleLines, int(lines.size()));
        for (const QString &line : lines) {
            laid.widths[size_t(column)] = std::max(laid.widths[size_t(column)],
                                                   titleText.width(line).value_or(bold.horizontalAdvance(line)));
        }
    }
    laid.titleHeight = lineHeight + (titleLines - 1) * std::ceil(bold.height());
    // Every cell is measured: most are numbers, whose widths the learnt glyphs give without shaping.
    for (int row = 0; row < table.rows; ++row) {
        for (int column = 0; column < table.columns(); ++column) {
            double &width = laid.widths[size_t(column)];
            const QString cell = table.cell(row, column);
            const std::optional<double> quick = cellText.width(cell);
            width = std::max(width, quick ? *quick : text.horizontalAdvance(cell));
        }
    }
    laid.cut.assign(laid.widths.size(), false);
    for (size_t column = 0; column < laid.widths.size(); ++column) {
        double &width = laid.widths[column];
        laid.cut[column] = std::ceil(width) + 2 * cellPadding > widestColumn;
        width = std::min(std::ceil(width) + 2 * cellPadding, widestColumn);
    }

    const double total = std::accumulate(laid.widths.begin(), laid.widths.end(), 0.0);
    laid.orientation = total <= body(QPageLayout::Portrait).width() ? QPageLayout::Portrait : QPageLayout::Landscape;
    const double available = body(laid.orientation).width();
    // Groups: column 0, then as many further columns as fit beside it.
    std::vector<int> group{0};
    double used = laid.widths.empty() ? 0 : laid.widths[0];
    for (int column = 1; column < table.columns(); ++column) {
        if (group.size() > 1 && used + laid.widths[size_t(column)] > available) {
            laid.groups.push_back(group);
            group = {0};
            used = laid.widths[0];
        }
        group.push_back(column);
        used += laid.widths[size_t(column)];
    }
    laid.groups.push_back(group);

    // The caption line and the title row stand on every page of the table.
    const QRectF area = body(laid.orientation);
    const int perPage = std::max(1, int((area.height() - lineHeight - laid.titleHeight) / lineHeight));
    const int blocks = std::max(1, (table.rows + perPage - 1) / perPage);
    for (int block = 0; block < blocks; ++block) {
        for (int group = 0; group < int(laid.groups.size()); ++group) {
            Page page;
            page.kind = Page::TableRows;
            page.orientation = laid.orientation;
            page.section = section;
            page.firstRow = block * perPage;
            page.rowCount = std::min(perPage, table.rows - page.firstRow);
            page.group = group;
            laidOut.push_back(page);
        }
    }
}
