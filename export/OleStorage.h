// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

class QIODevice;

// One entry of an OLE2 compound file: a stream with its bytes, or a storage with children.
struct OleEntry
{
    QByteArray name; // as the compound file spells it (UTF-8)
    bool storage = false;
    QByteArray classId; // 16 bytes, storages only; empty when unknown
    QByteArray data;
    std::vector<OleEntry> children;
};

// Reading and writing the OLE2 compound file (.xls container) around the BIFF8 "Workbook"
// stream, through libgsf.
class OleStorage
{
public:
    // The compound file's content apart from the workbook stream (summary information, VBA
    // storages, ...), which is written back unchanged beside a new workbook stream.
    struct Contents
    {
        QByteArray workbook;
        OleEntry root{QByteArray(), true, QByteArray(), QByteArray(), {}};
        // The file also held the BIFF5 "Book" stream of a dual-stream workbook; it is not kept.
        bool droppedBiff5Copy = false;
    };

    // Reads a compound file held in memory. Fails on anything that is not a compound file or has
    // no "Workbook" stream (a BIFF5 file has only "Book").
    static bool read(const QByteArray &file, Contents *contents, QString *error);

    // Builds a compound file holding `workbook` as its "Workbook" stream plus every entry of
    // `root` (with their class ids), in memory.
    static bool write(const QByteArray &workbook, const OleEntry &root, QByteArray *file, QString *error);
    // The same, written straight into an open device (it must be seekable: the container's header
    // is written last). Fails, with the device's reason, as soon as the device takes less than it
    // was given, up to the last buffered bytes written when the container is closed.
    static bool write(const QByteArray &workbook, const OleEntry &root, QIODevice &device, QString *error);
};
