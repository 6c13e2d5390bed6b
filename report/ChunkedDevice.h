// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>

// A write-only device that gathers the many small writes of a PDF writer into chunks for a target
// written unbuffered, so that each chunk is one system call. The first failed write of the target
// is kept: later writes fail too, and finish() reports it.
class ChunkedDevice final : public QIODevice
{
public:
    explicit ChunkedDevice(QIODevice &target);

    // Writes what is still gathered; false, with the target's reason, when any write failed.
    bool finish(QString &error);

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool flushChunk();

    static constexpr qsizetype chunkBytes = 256 * 1024;
    QIODevice &target;
    QByteArray chunk;
    bool failed = false;
};
