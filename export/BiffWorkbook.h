#pragma once

#include "BiffRecord.h"
#include "SharedStringTable.h"
#include "WorksheetCells.h"

#include <QHash>
#include <QString>
#include <QVector>

#include <memory>

// A BIFF8 workbook stream opened for writing text cells into one worksheet.
//
// Everything is kept byte for byte except what writing cells must change: centred copies of cell
// formats are appended after the last XF record (so every existing format index stays valid), new
// strings are appended to the shared string table, the written sheet's cell table is rebuilt
// (without INDEX and DBCELL) with its DIMENSIONS widened, and the offsets that depend on positions
// in the stream (BOUNDSHEET sheet positions, EXTSST, INDEX in the other sheets) are recomputed
// when the stream is written.
class BiffWorkbook
{
public:
    // Reads a workbook stream. Fails, with a reason, on anything that cannot be edited safely:
    // not BIFF8, encrypted, sheets whose positions do not point at a sheet, a broken string table.
    static std::unique_ptr<BiffWorkbook> load(const QByteArray &stream, QString *error);

    int sheetCount() const { return int(sheets.size()); }
    QString sheetName(int index) const { return sheets.at(index).name; }

    // Chooses the worksheet (0-based) that setCellText writes to.
    bool selectSheet(int index, QString *error);
    const WorksheetCells &cells() const { return *sheetCells; }
    const SharedStringTable &strings() const { return sst; }

    // Whether writing (row, column) would replace the anchor of a shared, array or table formula.
    bool isFormulaAnchorArea(int row, int column) const;

    // Writes a centred text cell (0-based row and column); an empty text gives a centred blank cell.
    bool setCellText(int row, int column, const QString &text, QString *error);
    struct TextCell
    {
        int column;
        const QString *text;
    };
    // Writes several cells of one row; checks all of them before writing any.
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
        int boundSheet = -1; // index of its BOUNDSHEET in `globals`
        qint64 oldOffset = 0;
        QByteArray bytes;
        QVector<qsizetype> indexRecords; // payload positions of INDEX records in `bytes`
        bool worksheet = false;
    };

    BiffWorkbook() = default;
    bool loadGlobals(const QByteArray &stream, qint64 *globalsEnd, QString *error);
    bool loadSheets(const QByteArray &stream, qint64 globalsEnd, QString *error);
    bool centredXf(quint16 source, quint16 *result, QString *error);
    void writeStrings(QByteArray &out) const;
    void writeSelectedSheet(QByteArray &out) const;

    QVector<BiffRecord> globals;
    QVector<Sheet> sheets; // in BOUNDSHEET order
    int lastXf = -1;
    int sstRecord = -1;
    int sstContinues = 0;
    int extSstRecord = -1;
    int dsfRecord = -1;
    int sstInsertAfter = -1;
    bool clearDsf = false;

    QVector<QByteArray> xfs;
    QVector<QByteArray> addedXfs;
    QHash<quint16, quint16> centredXfs;
    std::vector<quint16> rowXfs;
    std::vector<const QString *> rowTexts;
    std::vector<quint32> rowStrings;
    SharedStringTable sst;

    int selected = -1;
    QVector<BiffRecord> sheetRecords; // the selected sheet without its cell table
    int cellTableAt = -1;             // the cell table is written before sheetRecords[cellTableAt]
    int dimensionsAt = -1;
    std::unique_ptr<WorksheetCells> sheetCells = std::make_unique<WorksheetCells>();
};
