// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChunkedDevice.h"

#include "FileReplacement.h"

ChunkedDevice::ChunkedDevice(QIODevice &target)
    : target(target)
{
    chunk.reserve(chunkBytes);
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 ChunkedDevice::writeData(const char *data, qint64 size)
{
    if (failed)
        return -1;
    chunk.append(data, qsizetype(size));
    if (chunk.size() >= chunkBytes && !flushChunk())
        return -1;
    return size;
}

bool ChunkedDevice::flushChunk()
{
    failed = failed || !FileReplacement::writeAll(target, chunk.constData(), chunk.size());
    chunk.clear();
    return !failed;
}

bool ChunkedDevice::finish(QString &error)
{
    if (!flushChunk()) {
        error = target.errorString();
        return false;
    }
    return true;
}
