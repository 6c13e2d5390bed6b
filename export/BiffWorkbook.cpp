#include "BiffWorkbook.h"

#include <algorithm>

namespace {

QString readShortString(const QByteArray &d, int at)
{
    if (at + 2 > d.size())
        return {};
    const int count = quint8(d.at(at));
    const bool highByte = quint8(d.at(at + 1)) & 1;
    QString text;
    for (int i = 0, p = at + 2; i < count && p + (highByte ? 2 : 1) <= d.size(); ++i, p += highByte ? 2 : 1)
        text.append(highByte ? QChar(Biff::u16(d, p)) : QChar(quint8(d.at(p))));
    return text;
}

// Records after which a missing shared string table is inserted: everything the globals hold
// between the sheet list and the string table, so that the table lands where Excel expects it.
bool precedesStrings(quint16 id)
{
    return id == Biff::BoundSheet || id == Biff::Country || id == Biff::SupBook || id == Biff::ExternSheet
           || id == Biff::Name || id == Biff::RecalcId || id == Biff::Rtd || id == Biff::HfPicture
           || id == Biff::MsoDrawingGroup;
}

} // namespace

std::unique_ptr<BiffWorkbook> BiffWorkbook::load(const QByteArray &stream, QString *error)
{
    std::unique_ptr<BiffWorkbook> book(new BiffWorkbook);
    qint64 globalsEnd = 0;
    if (!book->loadGlobals(stream, &globalsEnd, error) || !book->loadSheets(stream, globalsEnd, error))
        return nullptr;
    return book;
}

bool BiffWorkbook::loadGlobals(const QByteArray &stream, qint64 *globalsEnd, QString *error)
{
    if (!Biff::readSubstream(stream, 0, &globals, globalsEnd)) {
        *error = QStringLiteral("no workbook globals: not an Excel workbook stream");
        return false;
    }
    const QByteArray &bof = globals.first().data;
    if (bof.size() < 4 || Biff::u16(bof, 0) != 0x0600 || Biff::u16(bof, 2) != Biff::Globals) {
        *error = QStringLiteral("not an Excel 97-2003 (BIFF8) workbook");
        return false;
    }
    int stringsAnchorId = -1;
    for (int i = 0; i < globals.size(); ++i) {
        const BiffRecord &r = globals.at(i);
        switch (r.id) {
        case Biff::FilePass:
            *error = QStringLiteral("the workbook is encrypted");
            return false;
        case Biff::Xf:
            if (r.data.size() != 20) {
                *error = QStringLiteral("bad XF record");
                return false;
            }
            xfs.append(r.data);
            lastXf = i;
            break;
        case Biff::BoundSheet: {
            if (r.data.size() < 8) {
                *error = QStringLiteral("bad BOUNDSHEET record");
                return false;
            }
            Sheet sheet;
            sheet.name = readShortString(r.data, 6);
            sheet.boundSheet = i;
            sheet.oldOffset = Biff::u32(r.data, 0);
            sheet.worksheet = quint8(r.data.at(5)) == 0;
            sheets.append(sheet);
            break;
        }
        case Biff::Sst:
            if (sstRecord >= 0) {
                *error = QStringLiteral("two shared string tables");
                return false;
            }
            sstRecord = i;
            while (i + 1 < globals.size() && globals.at(i + 1).id == Biff::Continue) {
                ++i;
                ++sstContinues;
            }
            break;
        case Biff::ExtSst:
            extSstRecord = i;
            break;
        case Biff::Dsf:
            dsfRecord = i;
            break;
        default:
            break;
        }
        if (precedesStrings(r.id)) {
            sstInsertAfter = i;
            stringsAnchorId = r.id;
        } else if (r.id == Biff::Continue && stringsAnchorId >= 0 && sstInsertAfter == i - 1) {
            sstInsertAfter = i;
        }
    }
    if (xfs.size() <= 15) {
        *error = QStringLiteral("the workbook has no default cell format");
        return false;
    }
    if (sheets.isEmpty()) {
        *error = QStringLiteral("the workbook has no sheets");
        return false;
    }
    if (sstRecord >= 0) {
        QVector<QByteArray> chunks;
        for (int k = sstRecord; k <= sstRecord + sstContinues; ++k)
            chunks.append(globals.at(k).data);
        if (!sst.load(chunks, error))
            return false;
    }
    return true;
}

bool BiffWorkbook::loadSheets(const QByteArray &stream, qint64 globalsEnd, QString *error)
{
    QVector<int> order(sheets.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [this](int a, int b) { return sheets[a].oldOffset < sheets[b].oldOffset; });
    qint64 previousEnd = globalsEnd;
    for (int i : order) {
        Sheet &sheet = sheets[i];
        QVector<BiffRecord> records;
        qint64 end = 0;
        if (sheet.oldOffset < previousEnd || !Biff::readSubstream(stream, sheet.oldOffset, &records, &end)) {
            *error = QStringLiteral("the position of sheet \"%1\" does not point at a sheet").arg(sheet.name);
            return false;
        }
        const QByteArray &bof = records.first().data;
        if (bof.size() < 4 || Biff::u16(bof, 0) != 0x0600) {
            *error = QStringLiteral("sheet \"%1\" is not in the BIFF8 format").arg(sheet.name);
            return false;
        }
        sheet.worksheet = sheet.worksheet && Biff::u16(bof, 2) == Biff::Worksheet;
        sheet.bytes = stream.mid(sheet.oldOffset, end - sheet.oldOffset);
        int depth = 0;
        for (const BiffRecord &r : records) {
            if (r.id == Biff::Bof)
                ++depth;
            else if (r.id == Biff::Eof)
                --depth;
            else if (r.id == Biff::Index && depth == 1 && r.data.size() >= 16)
                sheet.indexRecords.append(r.offset - sheet.oldOffset + 4);
        }
        previousEnd = end;
    }
    return true;
}

bool BiffWorkbook::selectSheet(int index, QString *error)
{
    if (index < 0 || index >= sheets.size() || !sheets.at(index).worksheet) {
        *error = QStringLiteral("no worksheet number %1").arg(index + 1);
        return false;
    }
    QVector<BiffRecord> records;
    qint64 end = 0;
    if (!Biff::readSubstream(sheets.at(index).bytes, 0, &records, &end)) {
        *error = QStringLiteral("broken worksheet");
        return false;
    }
    auto cells = std::make_unique<WorksheetCells>();
    QVector<BiffRecord> others;
    int tableAt = -1;
    int dimensions = -1;
    int depth = 0;
    bool afterCellRecord = false;
    for (const BiffRecord &r : records) {
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
                tableAt = int(others.size());
            if (!cells->addRecord(r, error))
                return false;
            afterCellRecord = true;
            continue;
        }
        afterCellRecord = false;
        if (top && r.id == Biff::Dimensions) {
            if (r.data.size() != 14) {
                *error = QStringLiteral("bad DIMENSIONS record");
                return false;
            }
            dimensions = int(others.size());
            cells->setOldDimensions(r.data);
        }
        if (top && r.id == Biff::ColInfo)
            cells->addColumnInfo(r);
        others.append(r);
    }
    if (dimensions < 0) {
        *error = QStringLiteral("worksheet without DIMENSIONS");
        return false;
    }
    selected = index;
    sheetRecords = others;
    cellTableAt = tableAt >= 0 ? tableAt : dimensions + 1;
    dimensionsAt = dimensions;
    sheetCells = std::move(cells);
    return true;
}

bool BiffWorkbook::isFormulaAnchorArea(int row, int column) const
{
    for (const WorksheetCells::Range &range : sheetCells->formulaRanges())
        if (range.contains(row, column))
            return true;
    return false;
}

bool BiffWorkbook::centredXf(quint16 source, quint16 *result, QString *error)
{
    const auto cached = centredXfs.constFind(source);
    if (cached != centredXfs.constEnd()) {
        *result = cached.value();
        return true;
    }
    const int known = int(xfs.size() + addedXfs.size());
    const QByteArray *base =
        source < known ? (source < xfs.size() ? &xfs.at(source) : &addedXfs.at(source - xfs.size())) : nullptr;
    // A cell must refer to a cell format; fall back to the default one for anything else.
    if (!base || (Biff::u16(*base, 4) & 0x0004)) {
        if (source == 15 || (Biff::u16(xfs.at(15), 4) & 0x0004)) {
            *error = QStringLiteral("the workbook's default cell format is missing");
            return false;
        }
        if (!centredXf(15, result, error))
            return false;
        centredXfs.insert(source, *result);
        return true;
    }
    // Already centred (alignment 2, alignment used instead of the style's).
    if ((quint8(base->at(6)) & 0x07) == 2 && (quint8(base->at(9)) & 0x10)) {
        centredXfs.insert(source, source);
        *result = source;
        return true;
    }
    if (known >= Biff::MaxXfCount) {
        *error = QStringLiteral("too many cell formats");
        return false;
    }
    QByteArray clone = *base;
    clone[6] = char((quint8(clone.at(6)) & ~0x07) | 0x02);
    clone[9] = char(quint8(clone.at(9)) | 0x10);
    addedXfs.append(clone);
    *result = quint16(known);
    centredXfs.insert(source, *result);
    return true;
}

bool BiffWorkbook::setCellText(int row, int column, const QString &text, QString *error)
{
    const TextCell cell{column, &text};
    return setRowTexts(row, &cell, 1, error);
}

bool BiffWorkbook::setRowTexts(int row, const TextCell *cells, int count, QString *error)
{
    if (selected < 0) {
        *error = QStringLiteral("no worksheet selected");
        return false;
    }
    rowXfs.resize(size_t(count));
    rowTexts.clear();
    for (int i = 0; i < count; ++i) {
        const int column = cells[i].column;
        if (row < 0 || row >= Biff::MaxRows || column < 0 || column >= Biff::MaxColumns) {
            *error = QStringLiteral("cell outside the sheet's 65536 rows and 256 columns");
            return false;
        }
        if (cells[i].text->size() > Biff::MaxCellText) {
            *error = QStringLiteral("text longer than a cell can hold");
            return false;
        }
        if (isFormulaAnchorArea(row, column)) {
            *error = QStringLiteral("the cell belongs to a shared, array or table formula");
            return false;
        }
        if (!centredXf(sheetCells->currentXf(row, column), &rowXfs[size_t(i)], error))
            return false;
        if (!cells[i].text->isEmpty())
            rowTexts.push_back(cells[i].text);
    }
    rowStrings.resize(rowTexts.size());
    sst.indexesOf(rowTexts.data(), int(rowTexts.size()), rowStrings.data());
    size_t next = 0;
    for (int i = 0; i < count; ++i) {
        if (cells[i].text->isEmpty())
            sheetCells->setBlank(row, cells[i].column, rowXfs[size_t(i)]);
        else
            sheetCells->setLabel(row, cells[i].column, rowXfs[size_t(i)], rowStrings[next++]);
    }
    return true;
}

void BiffWorkbook::writeStrings(QByteArray &out) const
{
    qint64 total = sst.loadedTotalCount();
    if (selected >= 0)
        total += qint64(sheetCells->labelCount()) - qint64(sheetCells->loadedLabelCount());
    const QByteArray ext = sst.appendRecords(out, quint32(qMax<qint64>(total, 0)));
    Biff::appendRecord(out, Biff::ExtSst, ext);
}

void BiffWorkbook::writeSelectedSheet(QByteArray &out) const
{
    for (int j = 0; j < sheetRecords.size(); ++j) {
        if (j == cellTableAt)
            sheetCells->write(out);
        const BiffRecord &r = sheetRecords.at(j);
        Biff::appendRecord(out, r.id, j == dimensionsAt ? sheetCells->dimensions() : r.data);
    }
    if (cellTableAt >= sheetRecords.size())
        sheetCells->write(out);
}

QByteArray BiffWorkbook::write() const
{
    QByteArray out;
    qsizetype estimate = 0;
    for (const BiffRecord &r : globals)
        estimate += 4 + r.data.size();
    for (const QByteArray &chunk : sst.chunks())
        estimate += 4 + chunk.size();
    for (const Sheet &s : sheets)
        estimate += s.bytes.size();
    estimate += sheetCells->cellCount() * 14 + 4096;
    out.reserve(estimate);

    QVector<qsizetype> sheetPositionAt(sheets.size(), -1);
    for (int i = 0; i < globals.size(); ++i) {
        const BiffRecord &r = globals.at(i);
        if (i == sstRecord) {
            writeStrings(out);
            i += sstContinues;
        } else if (i == extSstRecord) {
            // rebuilt together with the string table
        } else if (i == dsfRecord && clearDsf) {
            Biff::appendRecord(out, Biff::Dsf, QByteArray(2, '\0'));
        } else {
            if (r.id == Biff::BoundSheet) {
                for (int s = 0; s < sheets.size(); ++s)
                    if (sheets.at(s).boundSheet == i)
                        sheetPositionAt[s] = out.size() + 4;
            }
            Biff::appendRecord(out, r.id, r.data);
        }
        if (i == lastXf)
            for (const QByteArray &xf : addedXfs)
                Biff::appendRecord(out, Biff::Xf, xf);
        if (sstRecord < 0 && i == sstInsertAfter)
            writeStrings(out);
    }

    QVector<int> order(sheets.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [this](int a, int b) { return sheets[a].oldOffset < sheets[b].oldOffset; });
    for (int s : order) {
        const Sheet &sheet = sheets.at(s);
        const qsizetype position = out.size();
        Biff::set32(out, sheetPositionAt.at(s), quint32(position));
        if (s == selected) {
            writeSelectedSheet(out);
            continue;
        }
        out.append(sheet.bytes);
        // INDEX holds absolute positions of the sheet's DEFCOLWIDTH and DBCELL records.
        const qint64 delta = position - sheet.oldOffset;
        for (qsizetype at : sheet.indexRecords) {
            const qsizetype payload = position + at;
            const qsizetype size = Biff::u16(out, payload - 2);
            for (qsizetype p = payload + 12; p + 4 <= payload + size; p += 4) {
                const quint32 value = Biff::u32(out, p);
                if (value != 0)
                    Biff::set32(out, p, quint32(value + delta));
            }
        }
    }
    return out;
}
