// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleColumns.h"

#include "MeterFacts.h"

namespace SampleColumns {

namespace {

const MeterKind &kindOf(int uiIndex)
{
    const MeterKind *kind = MeterKind::find(uiIndex);
    if (!kind)
        qFatal("the meter kind table has no kind %d", uiIndex);
    return *kind;
}

} // namespace

const MeterColumn *find(int kind, int mode, Text title)
{
    for (const MeterColumn &column : kindOf(kind).columns(mode)) {
        if (column.title == title)
            return &column;
    }
    return nullptr;
}

const MeterColumn &require(int kind, int mode, Text title)
{
    const MeterColumn *column = find(kind, mode, title);
    if (!column)
        qFatal("kind %d mode %d has no column \"%s\"", kind, mode, qPrintable(TextCatalogue::english(title)));
    return *column;
}

int firstSpectralWord(int kind, int mode)
{
    return kindOf(kind).spectralOffset(mode) / (MeterFacts::RecordSize / MeterFacts::RecordWords);
}

} // namespace SampleColumns
