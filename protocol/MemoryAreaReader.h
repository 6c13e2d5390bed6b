#pragma once

#include <QByteArray>
#include <functional>

class MeterProtocol;

// Reads one memory area of the meter in 256-byte chunks (the last one shorter) through
// readMemoryBlock, appending every chunk to one buffer.
class MemoryAreaReader
{
public:
    // Called after each successful chunk with the running chunk counter (before it advances).
    using Progress = std::function<void(int chunkCounter)>;

    explicit MemoryAreaReader(MeterProtocol &protocol);

    // Reads areaBytes bytes from start with the given command byte. chunkCounter runs on over
    // several areas. Returns 1, or the failing chunk's result code; on failure out is restored
    // to what it held before the call.
    int read(quint32 start, quint32 areaBytes, quint8 command, QByteArray &out, int &chunkCounter,
             const Progress &progress = {});

private:
    MeterProtocol &protocol;
};
