// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One sample meter image and the file it is written to.
struct SampleImage
{
    QString fileName;
    quint32 modelCode;
    quint32 serialNo;
    int firmwareVersion;
    QString date;
    QList<int> unitSlots;
    std::optional<int> mode; // written only when set
    QStringList records;
    std::optional<QStringList> names; // written only when set
};

namespace SampleJson {

// The image as UTF-8 JSON text: the keys in the order of the struct, one value or array element
// per line, each level indented by one more space, then a line end.
QByteArray imageText(const SampleImage &image);

} // namespace SampleJson
