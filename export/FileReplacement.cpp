// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileReplacement.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
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

// The one path a file name stands for: symbolic links followed for the file and for its folder,
// so that a file that does not exist yet is named the same way however its folder is spelled.
QString resolvedPath(const QString &fileName)
{
    const QFileInfo info(fileName);
    const QString canonical = info.canonicalFilePath();
    if (!canonical.isEmpty())
        return canonical;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return (folder.isEmpty() ? info.absolutePath() : folder) + QLatin1Char('/') + info.fileName();
}

// Whether two existing files are one (two hard links to the same inode, for one).
bool sameInode(const QString &first, const QString &second)
{
    struct stat a = {}, b = {};
    return ::stat(QFile::encodeName(first).constData(), &a) == 0 && ::stat(QFile::encodeName(second).constData(), &b) == 0
           && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

QString notReplaceable()
{
    return QStringLiteral("the file cannot be replaced (read-only, not a regular file, or open in another program)");
}

} // namespace

bool FileReplacement::canReplace(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return !info.isSymLink();
    if (!info.isFile() || !info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner))
        return false;
    return !QFileInfo::exists(info.absolutePath() + QStringLiteral("/.~lock.") + info.fileName() + QLatin1Char('#'));
}

FileReplacement::Readiness FileReplacement::readiness(const QString &fileName)
{
    if (fileName.isEmpty())
        return FolderNotWritable;
    if (!canReplace(fileName))
        return NotReplaceable;
    const QFileInfo folder(QFileInfo(fileName).absolutePath());
    return folder.isDir() && folder.isWritable() ? Ready : FolderNotWritable;
}

bool FileReplacement::wouldReplace(const QString &fileName, const QString &kept)
{
    if (fileName.isEmpty() || kept.isEmpty())
        return false;
    const QString target = resolvedPath(fileName);
    for (const char *companion : {"", "-wal", "-shm", "-journal"}) {
        const QString keptFile = kept + QLatin1String(companion);
        if (target == resolvedPath(keptFile) || sameInode(fileName, keptFile))
            return true;
    }
    return false;
}

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
    if (!canReplace(fileName)) {
        error = notReplaceable();
        return false;
    }
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
    if (!canReplace(fileName)) {
        error = notReplaceable();
        return {};
    }
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
    if (!canReplace(fileName)) {
        error = notReplaceable();
        file.remove();
        return false;
    }
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
