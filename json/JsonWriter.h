// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BlockOutput.h"

#include <QByteArray>
#include <QString>

#include <vector>

class QIODevice;

// Writes one JSON document (UTF-8, no byte-order mark) to a device as it is made, token by token:
// the caller opens and closes objects and arrays and names each member with key() before its
// value. Separators are placed here. Containers down to `lineDepth` levels put every element on
// a line of its own, indented by two spaces a level; deeper ones stay on one line, so that a
// download's records read one per line without making the file much larger. Bytes are gathered
// and written in blocks, so that a document of any length needs no more memory than a block.
class JsonWriter
{
public:

    explicit JsonWriter(QIODevice &device, int lineDepth = 2);

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    // The name of the next member of the current object.
    void key(const QString &name);

    void value(const QString &text);
    void value(const char *text) { value(QString::fromUtf8(text)); }
    void value(qint64 number);
    void value(int number) { value(qint64(number)); }
    void value(bool truth);
    // A measured single-precision value in the shortest form that reads back as the same float;
    // null when it is not finite (JSON has no infinity or NaN).
    void value(float number);
    // A computed value in the shortest form that reads back as the same double; null when it is
    // not finite.
    void value(double number);
    void null();

    // Ends the document with a line break and writes what is still held back. False when the
    // device failed, now or before.
    bool finish();
    bool hasFailed() const { return output.hasFailed(); }
    QString errorString() const { return output.errorString(); }

    // The texts of a string, a float and a double as value() writes them.
    static QByteArray quoted(const QString &text);
    static QByteArray number(float value);
    static QByteArray number(double value);

private:
    // Separator and line break before a new element of the current container.
    void element();
    void open(char bracket);
    void close(char bracket);
    void append(const QByteArray &bytes);
    void append(const char *bytes, qsizetype size);

    struct Level
    {
        bool isObject;
        bool empty = true;
    };

    BlockOutput output;
    const int lineDepth;
    std::vector<Level> levels;
    bool afterKey = false;
};
