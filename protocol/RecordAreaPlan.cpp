// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordAreaPlan.h"

int RecordAreaPlan::chunkCount(quint32 areaBytes)
{
    return int((quint64(areaBytes) + ChunkBytes - 1) / ChunkBytes);
}

RecordAreaPlan::Status RecordAreaPlan::make(qint64 count, bool withNames, RecordAreaPlan &plan)
{
    plan = RecordAreaPlan();
    if (count <= 0)
        return NoRecords;
    if (count > MaxRecordCount)
        return TooLarge;
    plan.count = count;
    // Both products fit in 32 bits: count is at most 0x40000000 / 196.
    plan.recordAreaBytes = quint32(quint64(count) * RecordBytes);
    plan.recordChunks = chunkCount(plan.recordAreaBytes);
    if (withNames) {
        plan.nameAreaBytes = quint32(quint64(count) * NameSlotBytes);
        plan.nameChunks = chunkCount(plan.nameAreaBytes);
    }
    return Valid;
}
