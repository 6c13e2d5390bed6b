// SPDX-License-Identifier: GPL-3.0-or-later
#include "MemoryAreaReader.h"

#include "MeterProtocol.h"
#include "RecordAreaPlan.h"

#include <QBuffer>

#include <algorithm>

MemoryAreaReader::MemoryAreaReader(MeterProtocol &protocol) : protocol(protocol) {}

int MemoryAreaReader::read(quint32 start, quint32 areaBytes, quint8 command, QByteArray &out, int &chunkCounter,
                           const Progress &progress, const StopRequested &stopRequested)
{
    const qsizetype sizeBefore = out.size();
    // Reserve for plausible areas only; a meter claiming a huge count must not make us
    // allocate before the first chunk arrived.
    constexpr quint32 reserveLimit = 16u * 1024u * 1024u;
    out.reserve(sizeBefore + qsizetype(std::min(areaBytes, reserveLimit)));

    QBuffer sink(&out);
    sink.open(QIODevice::WriteOnly | QIODevice::Append);
    const int result = read(start, areaBytes, command, sink, chunkCounter, progress, stopRequested);
    sink.close();
    if (result != MeterProtocol::Ok)
        out.truncate(sizeBefore);
    return result;
}

int MemoryAreaReader::read(quint32 start, quint32 areaBytes, quint8 command, QIODevice &sink, int &chunkCounter,
                           const Progress &progress, const StopRequested &stopRequested)
{
    QByteArray chunk;
    chunk.reserve(RecordAreaPlan::ChunkBytes);
    for (quint64 offset = 0; offset < areaBytes; offset += RecordAreaPlan::ChunkBytes) {
        const int length = int(std::min<quint64>(RecordAreaPlan::ChunkBytes, areaBytes - offset));
        chunk.truncate(0);
        const int result = protocol.readMemoryBlock(start + quint32(offset), chunk, length, command);
        if (result < 0)
            return result;
        if (sink.write(chunk) != chunk.size())
            return SinkFailed;
        if (progress)
            progress(chunkCounter);
        ++chunkCounter;
        if (stopRequested && stopRequested())
            return Stopped;
    }
    return MeterProtocol::Ok;
}
