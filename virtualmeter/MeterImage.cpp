// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterImage.h"

#include "ImageJson.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <functional>

namespace {

const QStringList &knownKeys()
{
    static const QStringList keys{
        QStringLiteral("modelCode"),       QStringLiteral("unitSlots"),   QStringLiteral("serialNo"),
        QStringLiteral("firmwareVersion"), QStringLiteral("date"),        QStringLiteral("marker"),
        QStringLiteral("extraWord"),       QStringLiteral("mode"),        QStringLiteral("records"),
        QStringLiteral("names"),           QStringLiteral("recordCount"), QStringLiteral("faults")};
    return keys;
}

bool readMemory(const QJsonObject &object, const QString &key, int slotBytes, QByteArray &memory, int &slotCount,
                QString &error)
{
    slotCount = 0;
    if (!object.contains(key))
        return true;
    const QJsonValue value = object.value(key);
    if (!value.isArray()) {
        error = QStringLiteral("%1: expected an array of strings").arg(key);
        return false;
    }
    const QJsonArray array = value.toArray();
    memory.reserve(qsizetype(array.size()) * slotBytes);
    for (int i = 0; i < array.size(); ++i) {
        QByteArray bytes;
        if (!ImageJson::toHexBytes(array.at(i), QStringLiteral("%1[%2]").arg(key).arg(i), slotBytes, bytes, error))
            return false;
        memory.append(bytes);
    }
    slotCount = int(array.size());
    return true;
}

} // namespace

bool MeterImage::fromJson(const QByteArray &json, MeterImage &image, QString &error)
{
    using ImageJson::toInteger;
    image = MeterImage();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("not valid JSON at offset %1: %2").arg(parseError.offset).arg(parseError.errorString());
        return false;
    }
    if (!document.isObject()) {
        error = QStringLiteral("the image must be a JSON object");
        return false;
    }
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!knownKeys().contains(it.key())) {
            error = QStringLiteral("%1: unknown key").arg(ImageJson::excerpt(it.key()));
            return false;
        }
    }
    for (const char *required : {"modelCode", "unitSlots"}) {
        if (!object.contains(QLatin1String(required))) {
            error = QStringLiteral("%1: required key missing").arg(QLatin1String(required));
            return false;
        }
    }

    qint64 number = 0;
    if (!toInteger(object.value(QLatin1String("modelCode")), QStringLiteral("modelCode"), 0, 0xFFFFFFFFLL, number,
                   error))
        return false;
    image.modelCode = quint32(number);

    const QJsonValue slotValue = object.value(QLatin1String("unitSlots"));
    if (!slotValue.isArray() || slotValue.toArray().size() != UnitSlotCount) {
        error = slotValue.isArray()
                    ? QStringLiteral("unitSlots: expected exactly 60 entries, found %1").arg(slotValue.toArray().size())
                    : QStringLiteral("unitSlots: expected an array of 60 integers");
        return false;
    }
    const QJsonArray slotArray = slotValue.toArray();
    for (int i = 0; i < slotArray.size(); ++i) {
        if (!toInteger(slotArray.at(i), QStringLiteral("unitSlots[%1]").arg(i), 0, 0xFFFF, number, error))
            return false;
        image.unitSlots.append(quint16(number));
    }

    struct Optional
    {
        const char *key;
        qint64 max;
        std::function<void(qint64)> store;
    };
    const Optional optionals[] = {
        {"serialNo", 0xFFFFFFFFLL, [&](qint64 v) { image.serialNo = quint32(v); }},
        {"firmwareVersion", 0xFFFF, [&](qint64 v) { image.firmwareVersion = quint16(v); }},
        {"marker", 0xFF, [&](qint64 v) { image.marker = quint8(v); }},
        {"extraWord", 0xFFFF, [&](qint64 v) { image.extraWord = quint16(v); }},
        {"mode", 0xFFFF, [&](qint64 v) { image.mode = quint16(v); }},
    };
    for (const Optional &field : optionals) {
        const QLatin1String key(field.key);
        if (!object.contains(key))
            continue;
        if (!toInteger(object.value(key), key, 0, field.max, number, error))
            return false;
        field.store(number);
    }

    if (object.contains(QLatin1String("date"))) {
        const QJsonValue value = object.value(QLatin1String("date"));
        static const QRegularExpression pattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        const QString text = value.toString();
        const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (!value.isString() || !pattern.match(text).hasMatch() || !date.isValid()) {
            error = QStringLiteral("date: expected a calendar date \"YYYY-MM-DD\"");
            return false;
        }
        image.date = date;
    }

    int recordSlots = 0;
    int nameSlots = 0;
    if (!readMemory(object, QStringLiteral("records"), RecordBytes, image.recordMemory, recordSlots, error)
        || !readMemory(object, QStringLiteral("names"), NameSlotBytes, image.nameMemory, nameSlots, error))
        return false;
    image.recordCount = quint32(recordSlots);
    if (object.contains(QLatin1String("recordCount"))) {
        if (!toInteger(object.value(QLatin1String("recordCount")), QStringLiteral("recordCount"), 0, 0xFFFFFFFFLL,
                       number, error))
            return false;
        image.recordCount = quint32(number);
    }

    if (object.contains(QLatin1String("faults"))
        && !MeterFaults::fromJson(object.value(QLatin1String("faults")), image.faults, error))
        return false;
    return true;
}

bool MeterImage::fromFile(const QString &path, MeterImage &image, QString &error)
{
    // Opening a FIFO would wait for a writer, and a device or a growing file could be read
    // without end: only a regular file of at most MaxFileBytes is read.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        error = QStringLiteral("%1: not a regular file").arg(path);
        return false;
    }
    const QString tooLarge = QStringLiteral("%1: larger than %2 MiB, the most an image may hold")
                                 .arg(path)
                                 .arg(MaxFileBytes / (1024 * 1024));
    if (info.size() > MaxFileBytes) {
        error = tooLarge;
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    // The file may have grown since it was looked at.
    const QByteArray json = file.read(MaxFileBytes + 1);
    if (json.size() > MaxFileBytes) {
        error = tooLarge;
        return false;
    }
    return fromJson(json, image, error);
}
