// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

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

    // Draws the chart into `area`: the widget's rectangle, or the saved picture's.
    virtual void drawChart(QPainter &painter, const QRectF &area) const = 0;

    // Writes the chart at the widget's size; false, with why, when the file cannot be written
    // (nothing is left of it then: an existing file keeps its bytes).
    bool saveTo(const QString &fileName, FileFormat format, QString &error) const;

    // The save dialog's name filters (PNG first) and the file a name and a chosen filter make: a
    // typed ".png" or ".svg" (any case) decides, otherwise the filter does and adds its suffix.
    static QStringList nameFilters();
    static QPair<QString, FileFormat> target(const QString &fileName, const QString &chosenFilter);

public Q_SLOTS:
    // Asks for a file name, writes the chart there and tells the user when it could not.
    void saveChart();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool isChinese() const { return languageFlag; }
    // The name the save dialog proposes, before its date and time.
    virtual QString fileNameStem() const = 0;

private:
    UserDialogs &dialogs;
    const bool languageFlag;
};
