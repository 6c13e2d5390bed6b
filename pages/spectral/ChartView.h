// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

#include <vector>

class QPainter;
class UserDialogs;

// A chart that paints itself over its whole area and that the user can save, from its context
// menu, as a PNG picture or an SVG drawing of the size it has on the screen.
class ChartView : public QWidget
{
    Q_OBJECT

public:
    enum class FileFormat {
        Png,
        Svg
    };

    ChartView(UserDialogs &dialogs, bool languageFlag, QWidget *parent);

    // Draws the chart into `area` (the widget's rectangle, or the saved picture's): its
    // background, its items in order, then its foreground.
    void drawChart(QPainter &painter, const QRectF &area) const;

    // A saved PNG is at least this wide: the on-screen size would print coarse.
    static constexpr int pngMinimumWidth = 2000;
    // How many picture pixels a PNG of a chart of `size` has per widget pixel.
    static qreal pngPixelRatio(const QSize &size);

    // Writes the chart at the widget's size (a PNG in finer pixels, at least pngMinimumWidth wide);
    // false, with why, when the file cannot be written (nothing is left of it then: an existing
    // file keeps its bytes).
    bool saveTo(const QString &fileName, FileFormat format, QString &error) const;

    // The save dialog's name filters (PNG first) and the file a name and a chosen filter make: a
    // typed ".png" or ".svg" (any case) decides, otherwise the filter does and adds its suffix.
    static QStringList nameFilters();
    static QPair<QString, FileFormat> target(const QString &fileName, const QString &chosenFilter);

public Q_SLOTS:
    // Asks for a file name, writes the chart there and tells the user when it could not.
    void saveChart();
    // What the chart shows changed: it is drawn again at the next paint.
    void invalidateChart();
    // Only items first..last (and the foreground) changed: their layers are drawn again.
    void invalidateItems(int first, int last);
    // Only the foreground changed.
    void invalidateForeground();

protected:
    // The parts of a chart, drawn in this order. The items (a curve or a point per record) are
    // drawn into layers of consecutive items kept apart on the screen, so that ticking one record
    // of thousands draws its layer again, not every item; each part clears what it sets.
    virtual void drawBackground(QPainter &painter, const QRectF &area) const = 0;
    virtual int itemCount() const { return 0; }
    // Draws items [first, end), in order.
    virtual void drawItems(QPainter &painter, const QRectF &area, int first, int end) const;
    virtual void drawForeground(QPainter &painter, const QRectF &area) const;

    // The chart is drawn once into a picture of the widget's size; a paint copies the part it
    // needs and draws the overlay on top, so that the mouse moving over a chart of many curves
    // repaints only what follows the mouse.
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Drawn over the chart on the screen only (the readout under the mouse); nothing by default.
    virtual void drawOverlay(QPainter &painter) const;
    bool isChinese() const { return languageFlag; }
    // The name the save dialog proposes, before its date and time.
    virtual QString fileNameStem() const = 0;

private:
    // Items per layer for `count` items: one layer for a few hundred, at most about a dozen layers.
    static int layerSizeFor(int count);
    // Brings the background, the layers and the picture made of them up to date.
    void compose();
    QImage blankPicture(QImage::Format format) const;

    QImage background;          // null while it must be drawn again
    std::vector<QImage> layers; // layer i holds items [i * layerSize, (i + 1) * layerSize)
    std::vector<bool> layerDrawn;
    int layerSize = 0;
    int layeredItems = -1;      // the item count the layers were made for
    QImage drawn;               // the chart at the widget's size and pixel ratio; null while it must be made again
    UserDialogs &dialogs;
    const bool languageFlag;
};
