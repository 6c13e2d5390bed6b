// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectralTestBench.h"
#include "WindowArchive.h"

#include "DataTableView.h"
#include "VirtualMeter.h"
#include "VirtualMeterTransport.h"

#include <QPushButton>
#include <QStyleOptionViewItem>
#include <QtEndian>
#include <QtTest>

#include <cstring>

UnitCatalog SpectralTestBench::unitCatalog(int rows, const QMap<int, int> &fieldCounts)
{
    UnitCatalog catalog;
    for (int i = 0; i < rows; ++i) {
        const int decimals = i >= 20 && i <= 22 ? i - 20 : 3;
        CatalogRow row{QVariant(i), QVariant(QStringLiteral("unit %1").arg(i)), QVariant(QString::number(decimals))};
        const int fields = fieldCounts.value(i, 3);
        while (row.size() > fields)
            row.removeLast();
        while (row.size() < fields)
            row.append(QVariant(QStringLiteral("extra")));
        catalog.append(row);
    }
    return catalog;
}

QByteArray SpectralTestBench::recordBytes(int k)
{
    QByteArray bytes(196, '\0');
    for (int j = 0; j < 49; ++j) {
        const float value = wordValue(k, j);
        quint32 word;
        std::memcpy(&word, &value, sizeof word);
        qToLittleEndian(word, bytes.data() + 4 * j);
    }
    return bytes;
}

QByteArray SpectralTestBench::nameSlot(const QByteArray &text)
{
    QByteArray slot = text.left(16);
    slot.append(QByteArray(16 - slot.size(), '\0'));
    return slot;
}

MeterImage SpectralTestBench::image(int recordCount, quint16 mode, const QList<QByteArray> &names)
{
    MeterImage image;
    image.modelCode = 1001;
    for (int s = 0; s < MeterImage::UnitSlotCount; ++s)
        image.unitSlots.append(s >= 15 && s <= 45 ? quint16(20 + (s - 15) % 3) : quint16(1));
    image.mode = mode;
    for (int k = 0; k < recordCount; ++k)
        image.recordMemory.append(recordBytes(k));
    for (const QByteArray &name : names)
        image.nameMemory.append(nameSlot(name));
    image.recordCount = quint32(recordCount);
    return image;
}

SpectralTestBench::~SpectralTestBench()
{
    WindowArchive::waitForArchiving();
}

MeterImage SpectralTestBench::sampleImage(const QString &fileName)
{
    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/") + fileName, image, error))
        qWarning("sample image %s: %s", qPrintable(fileName), qPrintable(error));
    return image;
}

bool SpectralTestBench::connect(const MeterImage &image)
{
    auto transport = std::make_unique<VirtualMeterTransport>(image);
    meter = transport->meter();
    return session.openUsb(std::move(transport));
}

std::unique_ptr<MeterPage> SpectralTestBench::page(int uiIndex, bool languageFlag, const UnitCatalog &catalog)
{
    return std::make_unique<MeterPage>(uiIndex, catalog, languageFlag, session, dialogs);
}

int SpectralTestBench::requests() const
{
    return meter ? meter->requestsReceived() : 0;
}

DataTableView *tableOf(const MeterPage &page)
{
    return page.findChild<DataTableView *>(QStringLiteral("tableWidget_data"));
}

int rowCount(const MeterPage &page)
{
    return tableOf(page)->model()->rowCount();
}

int columnCount(const MeterPage &page)
{
    return tableOf(page)->model()->columnCount();
}

QVariant cellData(const MeterPage &page, int row, int column, int role)
{
    const QAbstractItemModel *model = tableOf(page)->model();
    return model->data(model->index(row, column), role);
}

QString cellText(const MeterPage &page, int row, int column)
{
    return cellData(page, row, column).toString();
}

bool isCurveTicked(const MeterPage &page, int row)
{
    return cellData(page, row, columnCount(page) - 2, Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
}

namespace {

// The shown page's view, scrolled so that the cell is in sight, and the cell's place in it.
DataTableView *showCell(MeterPage &page, int row, int column, QRect &cell)
{
    if (!page.isVisible()) {
        page.show();
        if (!QTest::qWaitForWindowExposed(&page))
            qWarning("the spectral page was not exposed");
    }
    DataTableView *view = tableOf(page);
    const QModelIndex index = view->model()->index(row, column);
    view->scrollTo(index);
    cell = view->visualRect(index);
    return view;
}

} // namespace

void clickCurveBox(MeterPage &page, int row)
{
    const int column = columnCount(page) - 2;
    QRect cell;
    DataTableView *view = showCell(page, row, column, cell);
    // Where the style puts the check indicator of such a cell: the click must land on it.
    QStyleOptionViewItem option;
    option.initFrom(view);
    option.rect = cell;
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    option.text = cellText(page, row, column);
    if (!option.text.isEmpty())
        option.features |= QStyleOptionViewItem::HasDisplay;
    const QRect indicator = view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, indicator.center());
}

void clickDeleteButton(MeterPage &page, int row)
{
    QRect cell;
    DataTableView *view = showCell(page, row, columnCount(page) - 1, cell);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
}

void doubleClickCell(MeterPage &page, int row, int column)
{
    QRect cell;
    QWidget *viewport = showCell(page, row, column, cell)->viewport();
    // As the window system delivers a double click: a click, then a press that is also a double
    // click, then its release.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, cell.center());
    QTest::mousePress(viewport, Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, cell.center());
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, cell.center());
}

void clickButton(const MeterPage &page, const char *objectName)
{
    auto *button = page.findChild<QPushButton *>(QLatin1String(objectName));
    QVERIFY2(button, objectName);
    button->click();
}
