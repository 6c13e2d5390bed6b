// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchMeterImage.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

bool BenchMeterImage::writeKind1(const QString &path, int records)
{
    QFile sample(QStringLiteral(LUMIVANE_SOURCE_DIR "/samples/meters/kind1.json"));
    if (!sample.open(QIODevice::ReadOnly))
        return false;
    QJsonObject image = QJsonDocument::fromJson(sample.readAll()).object();
    const QJsonArray sampleRecords = image.value(QStringLiteral("records")).toArray();
    if (sampleRecords.isEmpty())
        return false;
    QJsonArray stored;
    for (int j = 0; j < qMin(records, StoredRecords); ++j)
        stored.append(sampleRecords.at(j % sampleRecords.size()));
    image.insert(QStringLiteral("records"), stored);
    image.insert(QStringLiteral("recordCount"), records);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(QJsonDocument(image).toJson()) > 0;
}
