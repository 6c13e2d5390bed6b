// SPDX-License-Identifier: GPL-3.0-or-later
#include "OleStorage.h"

#include "FileReplacement.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <QIODevice>

#include <cstdio>
#include <memory>

namespace {

struct GObjectUnref
{
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};
template <typename T>
using GsfPtr = std::unique_ptr<T, GObjectUnref>;

const char WorkbookStream[] = "Workbook";

QString gErrorText(GError *error, const char *fallback)
{
    const QString text = error ? QString::fromUtf8(error->message) : QString::fromUtf8(fallback);
    if (error)
        g_error_free(error);
    return text;
}

bool readStream(GsfInput *input, QByteArray *data)
{
    const gsf_off_t size = gsf_input_size(input);
    if (size < 0 || size > (gsf_off_t(1) << 31) - 1)
        return false;
    data->resize(qsizetype(size));
    return size == 0 || gsf_input_read(input, size_t(size), reinterpret_cast<guint8 *>(data->data())) != nullptr;
}

QByteArray classIdOf(GsfInput *input)
{
    guint8 id[16] = {};
    if (!GSF_IS_INFILE_MSOLE(input) || !gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(input), id))
        return {};
    return QByteArray(reinterpret_cast<const char *>(id), 16);
}

bool readEntry(GsfInput *input, const char *name, OleEntry *entry)
{
    entry->name = QByteArray(name);
    const int children = GSF_IS_INFILE(input) ? gsf_infile_num_children(GSF_INFILE(input)) : -1;
    if (children < 0)
        return readStream(input, &entry->data);
    entry->storage = true;
    entry->classId = classIdOf(input);
    for (int i = 0; i < children; ++i) {
        GsfPtr<GsfInput> child(gsf_infile_child_by_index(GSF_INFILE(input), i));
        const char *childName = gsf_infile_name_by_index(GSF_INFILE(input), i);
        OleEntry childEntry;
        if (!child || !childName || !readEntry(child.get(), childName, &childEntry))
            return false;
        entry->children.push_back(std::move(childEntry));
    }
    return true;
}

bool writeEntry(GsfOutfile *parent, const OleEntry &entry)
{
    GsfPtr<GsfOutput> child(gsf_outfile_new_child(parent, entry.name.constData(), entry.storage));
    if (!child)
        return false;
    bool ok = true;
    if (entry.storage) {
        if (entry.classId.size() == 16)
            gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(child.get()),
                                           reinterpret_cast<const guint8 *>(entry.classId.constData()));
        for (const OleEntry &grandChild : entry.children)
            ok = ok && writeEntry(GSF_OUTFILE(child.get()), grandChild);
    } else if (!entry.data.isEmpty()) {
        ok = gsf_output_write(child.get(), size_t(entry.data.size()),
                              reinterpret_cast<const guint8 *>(entry.data.constData()));
    }
    return gsf_output_close(child.get()) && ok;
}

} // namespace

bool OleStorage::read(const QByteArray &file, Contents *contents, QString *error)
{
    gsf_init();
    GsfPtr<GsfInput> input(
        gsf_input_memory_new(reinterpret_cast<const guint8 *>(file.constData()), file.size(), FALSE));
    GError *gError = nullptr;
    GsfPtr<GsfInfile> ole(input ? gsf_infile_msole_new(input.get(), &gError) : nullptr);
    if (!ole) {
        *error = QStringLiteral("not an OLE2 compound file: ") + gErrorText(gError, "unreadable");
        return false;
    }
    OleEntry root;
    root.storage = true;
    root.classId = classIdOf(GSF_INPUT(ole.get()));
    bool haveWorkbook = false;
    bool haveBook = false;
    const int children = gsf_infile_num_children(ole.get());
    for (int i = 0; i < children; ++i) {
        const char *name = gsf_infile_name_by_index(ole.get(), i);
        GsfPtr<GsfInput> child(gsf_infile_child_by_index(ole.get(), i));
        if (!name || !child) {
            *error = QStringLiteral("unreadable compound file entry");
            return false;
        }
        // Writers differ in the case of the stream name ("Workbook", "WORKBOOK", "workbook").
        const bool isStream = !GSF_IS_INFILE(child.get()) || gsf_infile_num_children(GSF_INFILE(child.get())) < 0;
        if (isStream && g_ascii_strcasecmp(name, WorkbookStream) == 0) {
            if (haveWorkbook || !readStream(child.get(), &contents->workbook)) {
                *error = QStringLiteral("unreadable Workbook stream");
                return false;
            }
            haveWorkbook = true;
            continue;
        }
        if (isStream && g_ascii_strcasecmp(name, "Book") == 0) {
            haveBook = true;
            continue;
        }
        OleEntry entry;
        if (!readEntry(child.get(), name, &entry)) {
            *error = QStringLiteral("unreadable compound file entry \"%1\"").arg(QString::fromUtf8(name));
            return false;
        }
        root.children.push_back(std::move(entry));
    }
    if (!haveWorkbook) {
        *error = haveBook ? QStringLiteral("an Excel 5.0/95 (BIFF5) workbook, not Excel 97-2003")
                          : QStringLiteral("no Workbook stream: not an Excel workbook");
        return false;
    }
    contents->root = std::move(root);
    contents->droppedBiff5Copy = haveBook;
    return true;
}

namespace {

// Writes the container into `sink` and closes both.
bool writeContainer(GsfOutput *sink, const QByteArray &workbook, const OleEntry &root, QString *error)
{
    GsfPtr<GsfOutfile> ole(gsf_outfile_msole_new(sink));
    if (!ole) {
        *error = QStringLiteral("cannot create the compound file");
        return false;
    }
    if (root.classId.size() == 16)
        gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole.get()),
                                       reinterpret_cast<const guint8 *>(root.classId.constData()));
    OleEntry stream;
    stream.name = WorkbookStream;
    stream.data = workbook;
    bool ok = writeEntry(ole.get(), stream);
    for (const OleEntry &entry : root.children)
        ok = ok && writeEntry(ole.get(), entry);
    ok = gsf_output_close(GSF_OUTPUT(ole.get())) && ok;
    if (!gsf_output_is_closed(sink))
        ok = gsf_output_close(sink) && ok;
    if (!ok)
        *error = QStringLiteral("writing the compound file failed");
    return ok;
}

} // namespace

bool OleStorage::write(const QByteArray &workbook, const OleEntry &root, QByteArray *file, QString *error)
{
    gsf_init();
    GsfPtr<GsfOutput> sink(gsf_output_memory_new());
    if (!sink || !writeContainer(sink.get(), workbook, root, error))
        return false;
    const gsf_off_t size = gsf_output_size(sink.get());
    const guint8 *bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    if (size <= 0 || !bytes) {
        *error = QStringLiteral("writing the compound file failed");
        return false;
    }
    *file = QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size));
    return true;
}

namespace {

// A stdio stream over a QIODevice (fopencookie), for libgsf's stdio output. The stream notes the
// device's first failure: the stream's last buffer is only written when it is closed, and a full
// disk may show up just there.
struct DeviceStream
{
    QIODevice &device;
    QString failure;

    void fail()
    {
        if (failure.isEmpty())
            failure = device.errorString().isEmpty() ? QStringLiteral("the device took less than it was given")
                                                     : device.errorString();
    }

    static ssize_t write(void *cookie, const char *data, size_t size)
    {
        auto *stream = static_cast<DeviceStream *>(cookie);
        if (!FileReplacement::writeAll(stream->device, data, qint64(size))) {
            stream->fail();
            return 0; // the stream's error indicator goes up, its write fails
        }
        return ssize_t(size);
    }

    static int seek(void *cookie, off64_t *offset, int whence)
    {
        auto *stream = static_cast<DeviceStream *>(cookie);
        QIODevice &device = stream->device;
        const qint64 base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? device.pos() : device.size();
        const qint64 target = base + qint64(*offset);
        if (target < 0 || !device.seek(target)) {
            stream->fail();
            return -1;
        }
        *offset = off64_t(target);
        return 0;
    }
};

} // namespace

bool OleStorage::write(const QByteArray &workbook, const OleEntry &root, QIODevice &device, QString *error)
{
    gsf_init();
    DeviceStream stream{device, QString()};
    cookie_io_functions_t functions{};
    functions.write = &DeviceStream::write;
    functions.seek = &DeviceStream::seek;
    FILE *file = fopencookie(&stream, "wb", functions);
    if (!file) {
        *error = QStringLiteral("cannot write the file");
        return false;
    }
    bool written = false;
    {
        // The stdio output closes the stream when the container is closed, or at the latest when
        // it goes, before the stream state does.
        GsfPtr<GsfOutput> sink(gsf_output_stdio_new_FILE("Workbook", file, FALSE));
        if (!sink) {
            std::fclose(file);
            *error = QStringLiteral("cannot write the file");
            return false;
        }
        written = writeContainer(sink.get(), workbook, root, error);
    }
    if (!stream.failure.isEmpty()) {
        *error = stream.failure;
        return false;
    }
    return written;
}
