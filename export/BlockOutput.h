// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Bytes on their way to a device, held back and written a block at a time, so that a file of any
// length needs no more memory than a block. Once a write fails, nothing more is taken and the
// device's reason is kept.
class BlockOutput
{
public:
    static constexpr qsizetype BlockBytes = 64 * 1024;

    explicit BlockOutput(QIODevice &device) : device(device) {}

    // Adds bytes, writing the block once it is full. False once the device failed.
    bool append(const char *bytes, qsizetype size);
    bool append(const QByteArray &bytes) { return append(bytes.constData(), bytes.size()); }
    // Writes what is still held back. False when the device failed, now or before.
    bool flush();

    bool hasFailed() const { return failed; }
    QString errorString() const { return error; }

private:
    bool writeBlock();

    QIODevice &device;
    QByteArray block;
    bool failed = false;
    QString error;
};
