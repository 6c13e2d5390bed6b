// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class QLockFile;

// A lock per meter, held by a program for as long as it holds the meter's link. hidraw lets
// several processes open one device, and each would then take the other's replies; the window
// and the command line therefore take this lock before they talk to a meter, and a second
// program is refused (with Text::MeterHeldElsewhere) instead of corrupting both transfers.
//
// The lock is a QLockFile named after the vendor and product identifiers and the serial number,
// in the user's runtime directory ($XDG_RUNTIME_DIR), or in /tmp where there is none. A lock
// left behind by a process that has ended is taken over; a lock never goes stale by age, since a
// window may hold its meter for hours.
class MeterLock
{
public:
    enum Result {
        Locked,
        HeldElsewhere, // another process (or another session of this one) holds the meter
        Failed         // the lock file cannot be created (directory missing or not writable)
    };

    MeterLock(quint16 vendorId, quint16 productId, const QString &serialNumber);
    ~MeterLock();

    MeterLock(const MeterLock &) = delete;
    MeterLock &operator=(const MeterLock &) = delete;

    // Takes the lock without waiting. Taking a lock already held by this object returns Locked.
    Result tryLock();
    void unlock();
    bool isLocked() const;

    QString filePath() const { return path; }
    // The process that holds the lock, as its lock file names it; 0 when unknown.
    qint64 holderPid() const { return holder; }

    // Where the lock files live.
    static QString directory();
    // The lock file's name: vendor and product in hex and the serial number, with every
    // character outside [A-Za-z0-9._-] written as %XX so that any serial string is a safe name.
    static QString fileName(quint16 vendorId, quint16 productId, const QString &serialNumber);

private:
    QString path;
    qint64 holder = 0;
    std::unique_ptr<QLockFile> file;
};
