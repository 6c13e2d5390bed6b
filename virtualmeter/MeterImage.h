// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterFacts.h"
#include "MeterFaults.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

// One meter as the virtual meter plays it: key information, unit slots, mode, record memory
// (from 0x80000000) and name memory (from 0xC0000000).
struct MeterImage
{
    quint32 modelCode = 0;
    QList<quint16> unitSlots; // exactly 60
    quint32 serialNo = 1;
    quint16 firmwareVersion = 100;
    QDate date{2024, 1, 1};
    quint8 marker = 0xA5;
    quint16 extraWord = 0;
    quint16 mode = 0;
    QByteArray recordMemory; // records back to back, 196 bytes each
    QByteArray nameMemory;   // name slots back to back, 16 bytes each
    quint32 recordCount = 0;
    MeterFaults faults;

    static constexpr int UnitSlotCount = 60;
    static constexpr int RecordBytes = MeterFacts::RecordSize;
    static constexpr int NameSlotBytes = MeterFacts::NameSlotSize;

    // The largest image file read: over twice the 65,535 records an xls sheet holds below its
    // title row (about 26 MB of image, one record per line). A larger count is modelled with
    // recordCount, since memory past the stored records reads as zero; the whole record area
    // (about 5.5 million records, over 2 GB of JSON) would take several GB to parse.
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    // Parses an image; anything outside the format is refused with an error naming the key and
    // the problem (a key from the image is cut short, see ImageJson::excerpt).
    static bool fromJson(const QByteArray &json, MeterImage &image, QString &error);
    // Reads a regular file of at most MaxFileBytes and parses it; errors about the file itself
    // (missing, not a regular file, too large, unreadable) start with its path.
    static bool fromFile(const QString &path, MeterImage &image, QString &error);
};
