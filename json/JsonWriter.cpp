// SPDX-License-Identifier: GPL-3.0-or-later
#include "JsonWriter.h"


#include <QIODevice>

#include <charconv>
#include <cmath>

namespace {

template <typename Number>
QByteArray shortest(Number value)
{
    // std::to_chars without a precision gives the shortest text that reads back as the same
    // value, in fixed or scientific notation, whichever is shorter; both are JSON numbers.
    char text[64];
    const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
    return QByteArray(text, result.ptr - text);
}

} // namespace

JsonWriter::JsonWriter(QIODevice &device, int lineDepth) : output(device), lineDepth(lineDepth) {}

QByteArray JsonWriter::quoted(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + 2);
    out += '"';
    for (const char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
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
            if (uchar(c) < 0x20) {
                static const char hex[] = "0123456789abcdef";
                out += "\\u00";
                out += hex[(uchar(c) >> 4) & 0xF];
                out += hex[uchar(c) & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

QByteArray JsonWriter::number(float value)
{
    return std::isfinite(value) ? shortest(value) : QByteArray("null");
}

QByteArray JsonWriter::number(double value)
{
    return std::isfinite(value) ? shortest(value) : QByteArray("null");
}

void JsonWriter::element()
{
    if (afterKey) {
        afterKey = false;
        return;
    }
    if (levels.empty())
        return;
    Level &level = levels.back();
    if (!level.empty)
        append(",", 1);
    level.empty = false;
    if (int(levels.size()) <= lineDepth) {
        append("\n", 1);
        append(QByteArray(2 * qsizetype(levels.size()), ' '));
    }
}

void JsonWriter::open(char bracket)
{
    element();
    append(&bracket, 1);
    levels.push_back({bracket == '{'});
}

void JsonWriter::close(char bracket)
{
    if (levels.empty())
        return;
    const bool wasEmpty = levels.back().empty;
    levels.pop_back();
    if (!wasEmpty && int(levels.size()) < lineDepth) {
        append("\n", 1);
        append(QByteArray(2 * qsizetype(levels.size()), ' '));
    }
    append(&bracket, 1);
}

void JsonWriter::beginObject()
{
    open('{');
}

void JsonWriter::endObject()
{
    close('}');
}

void JsonWriter::beginArray()
{
    open('[');
}

void JsonWriter::endArray()
{
    close(']');
}

void JsonWriter::key(const QString &name)
{
    element();
    append(quoted(name));
    append(":", 1);
    afterKey = true;
}

void JsonWriter::value(const QString &text)
{
    element();
    append(quoted(text));
}

void JsonWriter::value(qint64 number)
{
    element();
    append(QByteArray::number(number));
}

void JsonWriter::value(bool truth)
{
    element();
    append(truth ? QByteArray("true") : QByteArray("false"));
}

void JsonWriter::value(float number)
{
    element();
    append(JsonWriter::number(number));
}

void JsonWriter::value(double number)
{
    element();
    append(JsonWriter::number(number));
}

void JsonWriter::null()
{
    element();
    append("null", 4);
}

void JsonWriter::append(const QByteArray &bytes)
{
    append(bytes.constData(), bytes.size());
}

void JsonWriter::append(const char *bytes, qsizetype size)
{
    output.append(bytes, size);
}

bool JsonWriter::finish()
{
    append("\n", 1);
    return output.flush();
}
