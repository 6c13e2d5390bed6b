// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Writes a file beside its target and renames it over the target only once every byte is on the
// disk, so that a failure at any point (a short write, a full disk at the last write, the sync,
// the rename) leaves an existing target as it was and no temporary file behind. The temporary
// file is written unbuffered: every write reaches the system at once, so none can fail unseen
// when the file is closed. This class is also the one place that decides whether a file may be
// replaced at all, and whether an output would replace a file that must be kept.
class FileReplacement
{
public:
    // False for an existing file that must not be replaced: not a regular file, marked read-only,
    // not writable, or open in an office suite (which keeps a ".~lock.<name>#" file beside it);
    // false too for a dangling symbolic link, which would be written through to an unknown place.
    // Touches nothing.
    static bool canReplace(const QString &fileName);

    enum Readiness {
        Ready,
        NotReplaceable,   // canReplace() is false
        FolderNotWritable // no file can be made in the target's folder
    };
    // Whether a file can be written to fileName now. Touches nothing.
    static Readiness readiness(const QString &fileName);

    // Whether writing fileName would replace `kept` (a file no output may replace: the meter image
    // a download reads, the SQLite archive that keeps the downloads) or one of the files SQLite
    // keeps beside it ("-wal", "-shm", "-journal"), however either is spelled: relative or
    // absolute, through symbolic links, as another hard link. A kept file need not exist yet.
    static bool wouldReplace(const QString &fileName, const QString &kept);

    // Writes the whole file into device (seekable); false, with the reason, when it could not.
    using Writer = std::function<bool(QIODevice &device, QString &error)>;

    // False, with the reason, when the target cannot be replaced or the writer or any step failed.
    static bool write(const QString &fileName, const Writer &writer, QString &error);

    // For a writer that takes a file name rather than a device (a library that writes the whole
    // file itself): a new empty file in the target's folder, with the permissions an existing
    // target has (else the usual ones of a new file), for the writer to fill and replaceWith to
    // rename over the target. Empty, with the reason, when the target cannot be replaced or the
    // file cannot be made.
    static QString createBeside(const QString &fileName, QString &error);
    // Syncs the complete file `written` and renames it over fileName (once more checking that the
    // target may be replaced: it may have changed while the file was written). On any failure
    // removes it, leaving the target as it was; false, with the reason.
    static bool replaceWith(const QString &written, const QString &fileName, QString &error);

    // Writes all size bytes to device. A short write is tried again for the rest, so that a device
    // that stops part-way (a full disk) fails the next write and sets its errorString().
    static bool writeAll(QIODevice &device, const char *data, qint64 size);
};
