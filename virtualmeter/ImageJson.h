// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

// Strict readers for the fields of a meter image. Each returns false with error set to
// "<key>: <problem>".
namespace ImageJson {

bool toInteger(const QJsonValue &value, const QString &key, qint64 min, qint64 max, qint64 &out, QString &error);
bool toHexBytes(const QJsonValue &value, const QString &key, int byteCount, QByteArray &out, QString &error);
bool toRequestList(const QJsonValue &value, const QString &key, QList<int> &out, QString &error);

// Text from the image (a key) as an error quotes it: at most excerptLength characters, then "…",
// with control characters shown as '?', so that an error stays one short line whatever the image
// holds.
constexpr qsizetype excerptLength = 64;
QString excerpt(const QString &text);

} // namespace ImageJson
