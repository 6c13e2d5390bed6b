// SPDX-License-Identifier: GPL-3.0-or-later
#include "CLinker.h"

CLinker::CLinker(QObject *parent) : QObject(parent) {}

CLinker::~CLinker() = default;

void CLinker::close() {}

int CLinker::read(QByteArray &out, int timeoutMs, int expectedLength)
{
    Q_UNUSED(out)
    Q_UNUSED(timeoutMs)
    Q_UNUSED(expectedLength)
    return 0;
}

int CLinker::write(QByteArray &frame, int timeoutMs)
{
    Q_UNUSED(frame)
    Q_UNUSED(timeoutMs)
    return 0;
}

bool CLinker::isOpen() const
{
    return false;
}

bool CLinker::isDeviceGone() const
{
    return true;
}

int CLinker::readAvailable(QByteArray &out)
{
    Q_UNUSED(out)
    return 0;
}
