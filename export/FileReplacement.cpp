// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileReplacement.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

// The file a target name stands for: a symbolic link is followed to the file it points to (as
// QSaveFile does), so that replacing writes there and the link stays.
QString finalFileName(const QString &fileName)
{
    QFileInfo info(fileName);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? fileName : info.filePath();
}

} // namespace

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

QString FileReplacement::createBeside(const QString &fileName, QString &error)
{
    const QFileInfo target(finalFileName(fileName));
    const QString stem = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QLatin1Char('.');
    // A fresh random name until one is not taken; the file is created exclusively, so that no
    // other file (or link) is ever written through.
    for (int attempt = 0; attempt < 16; ++attempt) {
        QFile file(stem + QString::number(QRandomGenerator::global()->generate(), 36));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (target.exists() && !file.setPermissions(target.permissions())) {
                error = file.errorString();
                file.remove();
                return {};
            }
            return file.fileName();
        }
        if (file.exists())
            continue;
        error = file.errorString();
        return {};
    }
    error = QStringLiteral("no free name for a temporary file in ") + target.absolutePath();
    return {};
}

bool FileReplacement::replaceWith(const QString &written, const QString &fileName, QString &error)
{
    QFile file(written);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        file.remove();
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        error = qt_error_string(errno);
        file.close();
        file.remove();
        return false;
    }
    file.close();
    // rename() replaces the target in one step: a reader sees either the old file or the new one.
    if (std::rename(QFile::encodeName(written).constData(), QFile::encodeName(finalFileName(fileName)).constData())
        != 0) {
        error = qt_error_string(errno);
        file.remove();
        return false;
    }
    return true;
}
