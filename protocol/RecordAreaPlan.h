// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterFacts.h"

#include <QtGlobal>

// Sizes and chunk counts of the record memory (196 bytes per record from 0x80000000) and the
// name memory (16 bytes per record from 0xC0000000) for a record count the meter reported.
struct RecordAreaPlan
{
    static constexpr quint32 RecordAreaStart = 0x80000000u;
    static constexpr quint32 NameAreaStart = 0xC0000000u;
    static constexpr quint32 RecordBytes = MeterFacts::RecordSize;
    static constexpr quint32 NameSlotBytes = MeterFacts::NameSlotSize;
    static constexpr quint32 ChunkBytes = 256;
    // The largest count whose record area ends at or below the start of the name area.
    static constexpr qint64 MaxRecordCount = (NameAreaStart - RecordAreaStart) / RecordBytes;

    enum Status {
        Valid,
        NoRecords, // count 0 or less: nothing to read
        TooLarge   // the record area would reach into the name area
    };

    qint64 count = 0;
    quint32 recordAreaBytes = 0;
    quint32 nameAreaBytes = 0; // 0 unless names are read
    int recordChunks = 0;
    int nameChunks = 0;

    int totalChunks() const { return recordChunks + nameChunks; }

    // Fills plan for count records (with the name area when withNames).
    static Status make(qint64 count, bool withNames, RecordAreaPlan &plan);
    static int chunkCount(quint32 areaBytes);
};
