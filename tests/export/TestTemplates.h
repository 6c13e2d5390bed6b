// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Small hand-made Excel 97-2003 workbooks to use as "template.xls", written record by record
// apart from the engine. The standard template has two sheets:
//
// sheet 1 "数据" (cell table with INDEX and DBCELL):
//   A1 "kept title" (replaced by a column title), H1 "outside" (right of the written area),
//   B2..D2 RK numbers 1..3 from a MULRK, U2..W2 RK numbers 4..6 (outside),
//   A3..D3 blank cells from a MULBLANK in a bold, left-aligned, wrapping format (XF 16),
//   F4 "under an empty item", K11 "keep me", A13 the number 3.5, A11:B12 merged,
//   B21..B23 a shared formula with the cached result 7, column F formatted with XF 16 (COLINFO).
// sheet 2 "Second": A1 "second sheet", A2 the number 42, with INDEX and DBCELL.
//
// Its SST holds a rich-text string and enough filler strings to need CONTINUE records. The
// compound file also holds a summary-information stream and a storage with a class id.
namespace TestTemplates {

struct Options
{
    bool encrypted = false;           // FILEPASS after the globals' BOF
    quint16 bofVersion = 0x0600;      // 0x0500 makes a BIFF5 stream
    bool sharedFormulaInArea = false; // the shared formula's anchor moves to B2..B4
    bool withBookStream = false;      // also a BIFF5 "Book" stream (a dual-stream file)
    bool onlyBookStream = false;      // the stream is called "Book" (Excel 5.0/95)
    bool brokenSheetPosition = false; // BOUNDSHEET of sheet 2 points one byte off
    int extraXfs = 0;                 // extra cell formats before the limit of 4050
};

QByteArray workbookStream(const Options &options = {});
// Writes the standard template (or a variant) as a compound file.
bool writeTemplate(const QString &fileName, const Options &options = {});

// Stream and storage beside "Workbook" in the template's compound file.
QByteArray summaryStreamName();
QByteArray summaryStreamData();
QByteArray storageName();
QByteArray storageClassId();

} // namespace TestTemplates
