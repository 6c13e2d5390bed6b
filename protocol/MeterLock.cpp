// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterLock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

MeterLock::MeterLock(quint16 vendorId, quint16 productId, const QString &serialNumber)
    : path(directory() + QLatin1Char('/') + fileName(vendorId, productId, serialNumber))
{}

MeterLock::~MeterLock()
{
    unlock();
}

QString MeterLock::directory()
{
    // QStandardPaths warns on standard error, and picks a directory of its own, when
    // XDG_RUNTIME_DIR is unset or names no directory; only ask it when the variable names one,
    // and fall back to /tmp quietly, so that every program of the user agrees on the place.
    const QString xdgRuntime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdgRuntime.isEmpty() && QFileInfo(xdgRuntime).isDir()) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (!runtime.isEmpty())
            return runtime;
    }
    return QStringLiteral("/tmp");
}

QString MeterLock::fileName(quint16 vendorId, quint16 productId, const QString &serialNumber)
{
    QString safe;
    const QByteArray utf8 = serialNumber.toUtf8();
    for (const char byte : utf8) {
        const auto c = uchar(byte);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.'
                           || c == '_' || c == '-';
        // A leading dot would hide the file; write it escaped.
        if (plain && !(c == '.' && safe.isEmpty()))
            safe += QLatin1Char(char(c));
        else
            safe += QStringLiteral("%%1").arg(uint(c), 2, 16, QLatin1Char('0')).toUpper();
    }
    return QStringLiteral("lumivane-meter-%1-%2-%3.lock")
        .arg(vendorId, 4, 16, QLatin1Char('0'))
        .arg(productId, 4, 16, QLatin1Char('0'))
        .arg(safe);
}

MeterLock::Result MeterLock::tryLock()
{
    if (isLocked())
        return Locked;
    holder = 0;
    auto lockFile = std::make_unique<QLockFile>(path);
    // Staleness by age would hand a meter held for a long time to a second program; a lock of a
    // process that has ended is still recognised and taken over.
    lockFile->setStaleLockTime(0);
    if (lockFile->tryLock(0)) {
        file = std::move(lockFile);
        return Locked;
    }
    if (lockFile->error() == QLockFile::LockFailedError) {
        qint64 pid = 0;
        QString hostName, appName;
        if (lockFile->getLockInfo(&pid, &hostName, &appName))
            holder = pid;
        return HeldElsewhere;
    }
    return Failed;
}

void MeterLock::unlock()
{
    if (file) {
        file->unlock();
        file.reset();
    }
}

bool MeterLock::isLocked() const
{
    return file && file->isLocked();
}
