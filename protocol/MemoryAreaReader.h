// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <functional>

class MeterProtocol;
class QIODevice;

// Reads one memory area of the meter in 256-byte chunks (the last one shorter) through
// readMemoryBlock, appending every chunk to one buffer or writing it to a sink.
class MemoryAreaReader
{
public:
    // Called after each successful chunk with the running chunk counter (before it advances).
    using Progress = std::function<void(int chunkCounter)>;
    // Asked after each successful chunk, once its progress was told; true ends the read there.
    using StopRequested = std::function<bool()>;

    // The result of a read that was asked to stop: no further chunk was requested.
    static constexpr int Stopped = 0;
    // The result of a read whose sink took less than a chunk: no further chunk was requested.
    static constexpr int SinkFailed = 2;

    explicit MemoryAreaReader(MeterProtocol &protocol);

    // Reads areaBytes bytes from start with the given command byte. chunkCounter runs on over
    // several areas. Returns 1, Stopped, or the failing chunk's result code; unless it returns 1,
    // out is restored to what it held before the call.
    int read(quint32 start, quint32 areaBytes, quint8 command, QByteArray &out, int &chunkCounter,
             const Progress &progress = {}, const StopRequested &stopRequested = {});
    // The same, writing each chunk to sink as it arrives, so that no more than a chunk is held.
    // Returns 1, Stopped, SinkFailed (sink.errorString() tells why) or the failing chunk's result
    // code; what reached the sink before a failure stays there.
    int read(quint32 start, quint32 areaBytes, quint8 command, QIODevice &sink, int &chunkCounter,
             const Progress &progress = {}, const StopRequested &stopRequested = {});

private:
    MeterProtocol &protocol;
};
