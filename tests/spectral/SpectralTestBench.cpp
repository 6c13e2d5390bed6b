#include "SpectralTestBench.h"

#include "VirtualMeter.h"
#include "VirtualMeterTransport.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>
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

QTableWidget *tableOf(const MeterPage &page)
{
    return page.findChild<QTableWidget *>(QStringLiteral("tableWidget_data"));
}

QString cellText(const MeterPage &page, int row, int column)
{
    const QTableWidgetItem *item = tableOf(page)->item(row, column);
    return item ? item->text() : QString();
}

QCheckBox *curveBox(const MeterPage &page, int row)
{
    QTableWidget *table = tableOf(page);
    return qobject_cast<QCheckBox *>(table->cellWidget(row, table->columnCount() - 2));
}

QPushButton *deleteButton(const MeterPage &page, int row)
{
    QTableWidget *table = tableOf(page);
    return qobject_cast<QPushButton *>(table->cellWidget(row, table->columnCount() - 1));
}

void clickButton(const MeterPage &page, const char *objectName)
{
    auto *button = page.findChild<QPushButton *>(QLatin1String(objectName));
    QVERIFY2(button, objectName);
    button->click();
}
