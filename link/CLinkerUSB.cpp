// SPDX-License-Identifier: GPL-3.0-or-later
#include "CLinkerUSB.h"

#include "HidReportTransport.h"

#include <QDebug>
#include <QElapsedTimer>

#include <algorithm>
#include <vector>

CLinkerUSB::CLinkerUSB(std::unique_ptr<HidReportTransport> transport)
    : CLinker(nullptr),
      hidDevice(std::move(transport))
{}

CLinkerUSB::~CLinkerUSB() = default;

int CLinkerUSB::open(quint16 vendorId, quint16 productId)
{
    // Success is logged by the owner that keeps the link (MeterSession): a meter in use by
    // another program is opened here and left again at once.
    if (hidDevice.open(vendorId, productId) == 0)
        return 0;
    qDebug("hidDevice Open error!\n");
    return -1;
}

void CLinkerUSB::close()
{
    hidDevice.close();
}

int CLinkerUSB::read(QByteArray &out, int timeoutMs, int expectedLength)
{
    std::vector<quint8> buffer(ReadBufferSize);

    if (timeoutMs == 0) {
        // Drain: everything until the first report wait without input.
        const HidReadResult got = hidDevice.read(buffer.data(), ReadBufferSize, ReportWaitMs);
        if (got.bytes > 0) {
            out.append(reinterpret_cast<const char *>(buffer.data()), got.bytes);
            return int(out.size());
        }
        return 0;
    }

    QElapsedTimer clock;
    clock.start();
    int last = 0;
    for (;;) {
        // Ask for what the reply still lacks, so that a reply behind stray bytes does not wait
        // for input that will never come and nothing after the reply is taken with it.
        const int missing = out.isEmpty() ? expectedLength : expectedLength - int(out.size());
        const int wanted = std::clamp(missing, 1, ReadBufferSize);
        const HidReadResult got = hidDevice.read(buffer.data(), wanted, ReportWaitMs);
        last = got.bytes;
        if (last > 0) {
            out.append(reinterpret_cast<const char *>(buffer.data()), last);
            const int start = int(out.indexOf(char(ReplyStartByte)));
            out.remove(0, start < 0 ? out.size() : start);
            if (out.size() >= expectedLength && !out.isEmpty() && quint8(out.at(0)) == ReplyStartByte)
                return int(out.size());
        } else {
            qDebug("hidDevice ReadMessage error!\n");
            // A device that failed (gone, closed) cannot deliver the rest of the reply.
            if (got.outcome == HidReadResult::Failed)
                return last;
        }
        if (clock.hasExpired(timeoutMs))
            return last;
    }
}

int CLinkerUSB::readAvailable(QByteArray &out)
{
    std::vector<quint8> buffer(ReadBufferSize);
    int total = 0;
    for (;;) {
        const int got = hidDevice.read(buffer.data(), ReadBufferSize, 0).bytes;
        if (got <= 0)
            return total;
        out.append(reinterpret_cast<const char *>(buffer.data()), got);
        total += got;
        if (got < ReadBufferSize)
            return total;
    }
}

int CLinkerUSB::write(QByteArray &frame, int timeoutMs)
{
    const int length = int(frame.size());
    const int written = hidDevice.write(reinterpret_cast<const quint8 *>(frame.constData()), length, timeoutMs);
    if (written == length)
        return written;
    qDebug("hidDevice WriteMessage error! ret = %d\n", written);
    return -1;
}

bool CLinkerUSB::isOpen() const
{
    return hidDevice.isOpened();
}

bool CLinkerUSB::isDeviceGone() const
{
    return hidDevice.isDeviceGone();
}
