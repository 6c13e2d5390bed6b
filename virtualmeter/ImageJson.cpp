// SPDX-License-Identifier: GPL-3.0-or-later
#include "ImageJson.h"

#include <QJsonArray>

#include <cmath>

namespace ImageJson {

bool toInteger(const QJsonValue &value, const QString &key, qint64 min, qint64 max, qint64 &out, QString &error)
{
    const double number = value.toDouble();
    if (!value.isDouble() || std::floor(number) != number || number < double(min) || number > double(max)) {
        error = QStringLiteral("%1: expected an integer from %2 to %3").arg(key).arg(min).arg(max);
        return false;
    }
    out = qint64(number);
    return true;
}

bool toHexBytes(const QJsonValue &value, const QString &key, int byteCount, QByteArray &out, QString &error)
{
    if (!value.isString()) {
        error = QStringLiteral("%1: expected a string of %2 hexadecimal digits").arg(key).arg(2 * byteCount);
        return false;
    }
    const QString text = value.toString();
    if (text.size() != 2 * byteCount) {
        error =
            QStringLiteral("%1: expected %2 hexadecimal digits, found %3").arg(key).arg(2 * byteCount).arg(text.size());
        return false;
    }
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool hex = (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                         || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
                         || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!hex) {
            error = QStringLiteral("%1: not a hexadecimal digit at position %2").arg(key).arg(i);
            return false;
        }
    }
    out = QByteArray::fromHex(text.toLatin1());
    return true;
}

bool toRequestList(const QJsonValue &value, const QString &key, QList<int> &out, QString &error)
{
    if (!value.isArray()) {
        error = QStringLiteral("%1: expected an array of request numbers").arg(key);
        return false;
    }
    const QJsonArray array = value.toArray();
    for (int i = 0; i < array.size(); ++i) {
        qint64 number = 0;
        if (!toInteger(array.at(i), QStringLiteral("%1[%2]").arg(key).arg(i), 1, 0x7FFFFFFF, number, error))
            return false;
        out.append(int(number));
    }
    return true;
}

QString excerpt(const QString &text)
{
    qsizetype length = qMin(text.size(), excerptLength);
    // A cut between the two halves of a surrogate pair would leave half a character.
    if (length < text.size() && text.at(length - 1).isHighSurrogate())
        --length;
    QString shown = text.left(length);
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    if (length < text.size())
        shown += QChar(0x2026);
    return shown;
}

} // namespace ImageJson
