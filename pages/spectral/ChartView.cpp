// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChartView.h"

#include "FileReplacement.h"
#include "SaveTarget.h"
#include "TextCatalogue.h"
#include "UserDialogs.h"
#include "WindowArchive.h"

#include <QAction>
#include <QDateTime>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QSvgGenerator>

namespace {

constexpr ChartView::FileFormat fileFormats[] = {ChartView::FileFormat::Png, ChartView::FileFormat::Svg};

QString suffixOf(ChartView::FileFormat format)
{
    return format == ChartView::FileFormat::Png ? QStringLiteral("png") : QStringLiteral("svg");
}

QString nameFilter(ChartView::FileFormat format)
{
    return format == ChartView::FileFormat::Png ? QStringLiteral("PNG (*.png)") : QStringLiteral("SVG (*.svg)");
}

} // namespace

ChartView::ChartView(UserDialogs &dialogs, bool languageFlag, QWidget *parent)
    : QWidget(parent),
      dialogs(dialogs),
      languageFlag(languageFlag)
{
    auto *save = new QAction(TextCatalogue::text(Text::SaveChartAction, languageFlag), this);
    save->setObjectName(QStringLiteral("action_saveChart"));
    connect(save, &QAction::triggered, this, &ChartView::saveChart);
    addAction(save);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void ChartView::drawChart(QPainter &painter, const QRectF &area) const
{
    drawBackground(painter, area);
    drawItems(painter, area, 0, itemCount());
    drawForeground(painter, area);
}

void ChartView::drawItems(QPainter &, const QRectF &, int, int) const {}

void ChartView::drawForeground(QPainter &, const QRectF &) const {}

int ChartView::layerSizeFor(int count)
{
    constexpr int fewItems = 256;
    constexpr int mostLayers = 12;
    return qMax(fewItems, (count + mostLayers - 1) / mostLayers);
}

QImage ChartView::blankPicture(QImage::Format format) const
{
    const qreal ratio = devicePixelRatioF();
    QImage picture((QSizeF(size()) * ratio).toSize(), format);
    picture.setDevicePixelRatio(ratio);
    return picture;
}

void ChartView::compose()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (!drawn.isNull() && drawn.size() == pixels && drawn.devicePixelRatio() == ratio)
        return;
    const QRectF area(rect());
    if (background.isNull() || background.size() != pixels || background.devicePixelRatio() != ratio) {
        background = blankPicture(QImage::Format_RGB32);
        background.fill(palette().color(backgroundRole()));
        QPainter painter(&background);
        painter.setFont(font());
        drawBackground(painter, area);
        layeredItems = -1; // a new size: every layer too
    }
    const int count = itemCount();
    if (count != layeredItems) {
        layeredItems = count;
        layerSize = layerSizeFor(count);
        const size_t layerCount = size_t((count + layerSize - 1) / layerSize);
        layers.assign(layerCount, QImage());
        layerDrawn.assign(layerCount, false);
    }
    for (size_t i = 0; i < layers.size(); ++i) {
        if (layerDrawn[i])
            continue;
        if (layers[i].isNull())
            layers[i] = blankPicture(QImage::Format_ARGB32_Premultiplied);
        layers[i].fill(Qt::transparent);
        QPainter painter(&layers[i]);
        painter.setFont(font());
        const int first = int(i) * layerSize;
        drawItems(painter, area, first, qMin(count, first + layerSize));
        layerDrawn[i] = true;
    }
    drawn = background.copy();
    QPainter painter(&drawn);
    for (const QImage &layer : layers)
        painter.drawImage(QPointF(0, 0), layer);
    painter.setFont(font());
    drawForeground(painter, area);
}

void ChartView::paintEvent(QPaintEvent *event)
{
    compose();
    const qreal ratio = drawn.devicePixelRatio();
    QPainter painter(this);
    painter.drawImage(event->rect(), drawn,
                      QRectF(QPointF(event->rect().topLeft()) * ratio, QSizeF(event->rect().size()) * ratio));
    drawOverlay(painter);
}

void ChartView::drawOverlay(QPainter &) const {}

void ChartView::invalidateChart()
{
    background = QImage();
    drawn = QImage();
    update();
}

void ChartView::invalidateItems(int first, int last)
{
    if (layerSize > 0) {
        for (int i = qMax(first, 0) / layerSize; i <= last / layerSize && i < int(layerDrawn.size()); ++i)
            layerDrawn[size_t(i)] = false;
    }
    invalidateForeground();
}

void ChartView::invalidateForeground()
{
    drawn = QImage();
    update();
}

void ChartView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    background = QImage();
    drawn = QImage();
}

void ChartView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange
        || event->type() == QEvent::StyleChange)
        invalidateChart();
}

qreal ChartView::pngPixelRatio(const QSize &size)
{
    return size.width() > 0 ? qMax<qreal>(1.0, qreal(pngMinimumWidth) / size.width()) : 1.0;
}

QStringList ChartView::nameFilters()
{
    QStringList filters;
    for (const FileFormat format : fileFormats)
        filters.append(nameFilter(format));
    return filters;
}

QPair<QString, ChartView::FileFormat> ChartView::target(const QString &fileName, const QString &chosenFilter)
{
    QStringList suffixes;
    for (const FileFormat format : fileFormats)
        suffixes << suffixOf(format);
    const SaveTarget chosen = SaveTarget::of(fileName, chosenFilter, suffixes, nameFilters());
    return {chosen.fileName, fileFormats[chosen.format]};
}

bool ChartView::saveTo(const QString &fileName, FileFormat format, QString &error) const
{
    if (FileReplacement::wouldReplace(fileName, WindowArchive::filePath())) {
        error = TextCatalogue::text(Text::OutputIsArchive, languageFlag);
        return false;
    }
    // Written beside the target and renamed over it only when complete.
    const auto draw = [this, format](QIODevice &file, QString &) {
        const QRectF area(QPointF(0, 0), QSizeF(size()));
        if (format == FileFormat::Png) {
            // Drawn at the widget's size in finer pixels, wide enough to print well.
            const qreal ratio = pngPixelRatio(size());
            QImage image((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            {
                QPainter painter(&image);
                painter.setFont(font());
                drawChart(painter, area);
            }
            return image.save(&file, "PNG");
        }
        QSvgGenerator svg;
        svg.setOutputDevice(&file);
        svg.setSize(size());
        svg.setResolution(96); // CSS pixels: the drawing opens at the size it had on the screen
        svg.setViewBox(area);
        svg.setTitle(fileNameStem());
        QPainter painter;
        if (!painter.begin(&svg))
            return false;
        painter.setFont(font());
        painter.fillRect(area, Qt::white);
        drawChart(painter, area);
        // A failed write is kept by the file and fails its commit.
        return painter.end();
    };
    return FileReplacement::write(fileName, draw, error);
}

void ChartView::saveChart()
{
    const QString proposed = fileNameStem() + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddHHmmss"));
    QString chosenFilter;
    const QString chosen = dialogs.saveFileName(this, TextCatalogue::text(Text::SaveChartCaption, languageFlag),
                                                proposed, nameFilters(), chosenFilter);
    if (chosen.isEmpty())
        return;
    const auto [fileName, format] = target(chosen, chosenFilter);
    QString error;
    if (!saveTo(fileName, format, error)) {
        dialogs.information(this, TextCatalogue::text(Text::Tip, languageFlag),
                            TextCatalogue::text(Text::SaveChartFailed, languageFlag).arg(error));
    }
}
