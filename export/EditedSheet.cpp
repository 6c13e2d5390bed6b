// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditedSheet.h"

std::unique_ptr<EditedSheet> EditedSheet::read(const QByteArray &bytes, QString *error)
{
    QVector<BiffRecord> all;
    qint64 end = 0;
    if (!Biff::readSubstream(bytes, 0, &all, &end)) {
        *error = QStringLiteral("broken worksheet");
        return nullptr;
    }
    std::unique_ptr<EditedSheet> sheet(new EditedSheet);
    WorksheetCells &cells = sheet->table;
    int tableAt = -1;
    int depth = 0;
    bool afterCellRecord = false;
    for (const BiffRecord &r : all) {
        // Records of embedded substreams (charts) stay where they are.
        const bool top = depth == 1 && r.id != Biff::Bof && r.id != Biff::Eof;
        if (r.id == Biff::Bof)
            ++depth;
        else if (r.id == Biff::Eof)
            --depth;
        if (top && r.id == Biff::Index) {
            afterCellRecord = false;
            continue;
        }
        if (top && (WorksheetCells::isCellTableRecord(r.id) || (r.id == Biff::Continue && afterCellRecord))) {
            if (tableAt < 0)
                tableAt = int(sheet->records.size());
            if (!cells.addRecord(r, error))
                return nullptr;
            afterCellRecord = true;
            continue;
        }
        afterCellRecord = false;
        if (top && r.id == Biff::Dimensions) {
            if (r.data.size() != 14) {
                *error = QStringLiteral("bad DIMENSIONS record");
                return nullptr;
            }
            sheet->dimensionsAt = int(sheet->records.size());
            cells.setOldDimensions(r.data);
        }
        if (top && r.id == Biff::ColInfo)
            cells.addColumnInfo(r);
        sheet->records.append(r);
    }
    if (sheet->dimensionsAt < 0) {
        *error = QStringLiteral("worksheet without DIMENSIONS");
        return nullptr;
    }
    sheet->cellTableAt = tableAt >= 0 ? tableAt : sheet->dimensionsAt + 1;
    return sheet;
}

void EditedSheet::write(QByteArray &out) const
{
    for (int j = 0; j < records.size(); ++j) {
        if (j == cellTableAt)
            table.write(out);
        const BiffRecord &r = records.at(j);
        Biff::appendRecord(out, r.id, j == dimensionsAt ? table.dimensions() : r.data);
    }
    if (cellTableAt >= records.size())
        table.write(out);
}
