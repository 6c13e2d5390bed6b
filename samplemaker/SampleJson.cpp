// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleJson.h"

namespace SampleJson {

namespace {

// A JSON string: quotes, backslashes and control characters escaped, everything else as UTF-8.
QByteArray quoted(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (uchar(c) < 0x20)
                out += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
            else
                out += c;
        }
    }
    return out + '"';
}

// An array element per line at indent 2, the closing bracket at indent 1.
QByteArray array(const QList<QByteArray> &elements)
{
    if (elements.isEmpty())
        return "[]";
    return "[\n  " + elements.join(",\n  ") + "\n ]";
}

QByteArray array(const QList<int> &numbers)
{
    QList<QByteArray> elements;
    for (const int number : numbers)
        elements.append(QByteArray::number(number));
    return array(elements);
}

QByteArray array(const QStringList &texts)
{
    QList<QByteArray> elements;
    for (const QString &text : texts)
        elements.append(quoted(text));
    return array(elements);
}

} // namespace

QByteArray imageText(const SampleImage &image)
{
    QList<QByteArray> members{
        "\"modelCode\": " + QByteArray::number(image.modelCode),
        "\"serialNo\": " + QByteArray::number(image.serialNo),
        "\"firmwareVersion\": " + QByteArray::number(image.firmwareVersion),
        "\"date\": " + quoted(image.date),
        "\"unitSlots\": " + array(image.unitSlots),
    };
    if (image.mode)
        members.append("\"mode\": " + QByteArray::number(*image.mode));
    members.append("\"records\": " + array(image.records));
    if (image.names)
        members.append("\"names\": " + array(*image.names));
    return "{\n " + members.join(",\n ") + "\n}\n";
}

} // namespace SampleJson
