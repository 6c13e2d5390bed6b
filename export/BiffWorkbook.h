// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BiffRecord.h"
#include "EditedSheet.h"
#include "NumberFormats.h"
#include "SharedStringTable.h"
#include "WorksheetCells.h"

#include <QHash>
#include <QString>
#include <QVector>

#include <memory>
#include <vector>

// A BIFF8 workbook stream opened for writing text and number cells into its worksheets.
//
// Everything is kept byte for byte except what writing cells must change: centred copies of cell
// formats are appended after the last XF record (so every existing format index stays valid), the
// number formats they need are added as FORMAT records before the first XF record, new strings are
// appended to the shared string table, the cell tables of the sheets written to are rebuilt
// (without INDEX and DBCELL) with their DIMENSIONS widened, added sheets come after all existing
// ones, and the offsets that depend on positions in the stream (BOUNDSHEET sheet positions,
// EXTSST, INDEX in the other sheets) are recomputed when the stream is written.
class BiffWorkbook
{
public:
    // Reads a workbook stream. Fails, with a reason, on anything that cannot be edited safely:
    // not BIFF8, encrypted, sheets whose positions do not point at a sheet, a broken string table.
    static std::unique_ptr<BiffWorkbook> load(const QByteArray &stream, QString *error);

    int sheetCount() const { return int(sheets.size()); }
    QString sheetName(int index) const { return sheets.at(size_t(index)).name; }

    // Chooses the worksheet (0-based) that cells are written to. What was written into another
    // sheet stays when it is chosen again later. cells() and the writing functions need a sheet
    // chosen.
    bool selectSheet(int index, QString *error);
    int selectedSheet() const { return selected; }
    const WorksheetCells &cells() const { return sheets.at(size_t(selected)).edit->cells(); }
    const SharedStringTable &strings() const { return sst; }

    // Adds an empty, unselected worksheet after all others and returns its index, or -1. Its name
    // is `name` with any character a sheet name may not hold replaced by '_', cut to 31 characters,
    // and followed by " (2)", " (3)"... when the workbook already has a sheet of that name (sheet
    // names compare case-insensitively). Fails for an empty name.
    int addSheet(const QString &name, QString *error);
    // Takes back the last sheet addSheet added, and what was written into it, unless it is the
    // selected one; the strings and formats it needed stay in the workbook, unused.
    void removeAddedSheet(int index);

    // Whether writing (row, column) would replace the anchor of a shared, array or table formula.
    bool isFormulaAnchorArea(int row, int column) const;

    // Writes a centred text cell (0-based row and column); an empty text gives a centred blank cell.
    bool setCellText(int row, int column, const QString &text, QString *error);
    // A cell given by its text. A text made from a number (see NumberText) that reads back as one
    // is written as that number, under a format that shows it with the text's decimals.
    struct TextCell
    {
        int column;
        const QString *text;
        bool number = false;
    };
    // Writes several cells of one row, centred; checks all of them before writing any.
    bool setRowTexts(int row, const TextCell *cells, int count, QString *error);

    // Makes room for about this many more strings before a large table is written.
    void reserveStrings(qsizetype count) { sst.reserve(count); }

    // The file's BIFF5 copy of the workbook is not written back: clear the flag that announces it.
    void clearDualStreamFlag() { clearDsf = true; }

    QByteArray write() const;

private:
    struct Sheet
    {
        QString name;
        int boundSheet = -1; // index of its BOUNDSHEET in `globals`, -1 for an added sheet
        qint64 oldOffset = 0;
        QByteArray bytes;
        QVector<qsizetype> indexRecords; // payload positions of INDEX records in `bytes`
        bool worksheet = false;
        std::unique_ptr<EditedSheet> edit; // set once cells are written into the sheet
    };

    BiffWorkbook() = default;
    bool loadGlobals(const QByteArray &stream, qint64 *globalsEnd, QString *error);
    bool loadSheets(const QByteArray &stream, qint64 globalsEnd, QString *error);
    bool centredXf(quint16 source, quint16 *result, QString *error);
    bool numberXf(quint16 source, int decimals, quint16 *result, QString *error);
    bool addXf(const QByteArray &xf, quint16 *result, QString *error);
    const QByteArray &xfAt(quint16 index) const;
    QByteArray recordToWrite(int index) const;
    void writeStrings(QByteArray &out) const;
    std::vector<int> sheetsInStreamOrder() const;

    QVector<BiffRecord> globals;
    std::vector<Sheet> sheets; // in BOUNDSHEET order, added sheets last
    int firstXf = -1;
    int lastXf = -1;
    int lastBoundSheet = -1;
    int sstRecord = -1;
    int sstContinues = 0;
    int extSstRecord = -1;
    int dsfRecord = -1;
    int sstInsertAfter = -1;
    bool clearDsf = false;

    QVector<QByteArray> xfs;
    QVector<QByteArray> addedXfs;
    QHash<quint16, quint16> centredXfs;
    QHash<quint32, quint16> numberXfs; // (source XF << 8 | decimals) -> XF
    NumberFormats formats;
    std::vector<quint16> rowXfs;
    std::vector<const QString *> rowTexts;
    std::vector<quint32> rowStrings;
    std::vector<double> rowNumbers;
    std::vector<bool> rowIsNumber;
    SharedStringTable sst;

    int selected = -1;
};
