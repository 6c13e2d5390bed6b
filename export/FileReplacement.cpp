#include "FileReplacement.h"

#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

bool FileReplacement::writeAll(QIODevice &device, const char *data, qint64 size)
{
    while (size > 0) {
        const qint64 written = device.write(data, size);
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

bool FileReplacement::write(const QString &fileName, const Writer &writer, QString &error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    QString reason;
    if (!writer(file, reason)) {
        error = reason.isEmpty() ? file.errorString() : reason;
        file.cancelWriting();
        return false;
    }
    // The commit syncs the file but ignores a failed sync: a file system that reports a full disk
    // or a device failure only there would still get the incomplete file renamed over the target.
    if (::fsync(file.handle()) != 0) {
        error = qt_error_string(errno);
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
