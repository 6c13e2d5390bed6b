// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test: says which and aborts, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                                          \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            std::fprintf(stderr, "FUZZ_CHECK failed at %s:%d: %s\n", __FILE__, __LINE__, #condition);                  \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

namespace FuzzSupport {

// Silences qDebug and qWarning, which the link and the engine write on every failed read or file;
// a qFatal still ends the run. Creates the application object the event loop and QSettings need.
inline void start(int *argc, char ***argv)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QCoreApplication app(*argc, *argv);
}

// A temporary directory for files that a target rewrites on every run: in memory (/dev/shm) where
// there is one, since ext4 writes a truncated and rewritten file out to the disk on closing.
// Removed when the run ends.
inline QString scratchDirectory()
{
    static const bool inMemory =
        QFileInfo(QStringLiteral("/dev/shm")).isDir() && QFileInfo(QStringLiteral("/dev/shm")).isWritable();
    static QTemporaryDir dir(inMemory ? QStringLiteral("/dev/shm/lumivane-fuzz-XXXXXX")
                                      : QDir::tempPath() + QStringLiteral("/lumivane-fuzz-XXXXXX"));
    FUZZ_CHECK(dir.isValid());
    return dir.path();
}

// Reads fixed-size fields from the front of a fuzz input.
class Reader
{
public:
    Reader(const uint8_t *data, size_t size) : data(data), size(size) {}

    quint8 byte() { return offset < size ? data[offset++] : 0; }
    quint16 word()
    {
        const quint8 low = byte();
        return quint16(low | (byte() << 8));
    }
    quint32 dword()
    {
        const quint16 low = word();
        return quint32(low) | (quint32(word()) << 16);
    }
    // Up to `count` of the bytes left.
    QByteArray bytes(size_t count)
    {
        const size_t take = qMin(count, size - offset);
        const QByteArray out(reinterpret_cast<const char *>(data + offset), qsizetype(take));
        offset += take;
        return out;
    }
    QByteArray rest() { return bytes(size - offset); }
    size_t remaining() const { return size - offset; }

private:
    const uint8_t *data;
    size_t size;
    size_t offset = 0;
};

} // namespace FuzzSupport
