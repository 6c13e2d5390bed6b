// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorksheetCells.h"

#include <algorithm>
#include <cstring>

namespace {

QByteArray recordBytes(quint16 id, const QByteArray &data)
{
    QByteArray bytes;
    bytes.reserve(4 + data.size());
    Biff::appendRecord(bytes, id, data);
    return bytes;
}

bool isCellRecord(quint16 id)
{
    switch (id) {
    case Biff::Blank:
    case Biff::Number:
    case Biff::Label:
    case Biff::BoolErr:
    case Biff::Formula:
    case Biff::Rk:
    case Biff::LabelSst:
    case Biff::RString:
        return true;
    default:
        return false;
    }
}

} // namespace

bool WorksheetCells::isCellTableRecord(quint16 id)
{
    return isCellRecord(id) || id == Biff::Row || id == Biff::MulRk || id == Biff::MulBlank || id == Biff::ShrFmla
           || id == Biff::Array || id == Biff::Table || id == Biff::String || id == Biff::DbCell;
}

WorksheetCells::Row &WorksheetCells::row(int index)
{
    if (size_t(index) >= rows.size())
        rows.resize(size_t(index) + 1);
    return rows[size_t(index)];
}

bool WorksheetCells::isLabel(const Cell &cell) const
{
    return cell.group >= 0 ? bool(groupIsLabel[size_t(cell.group)])
                           : cell.group == WrittenText && cell.value != NoString;
}

void WorksheetCells::release(const Cell &old)
{
    if (isLabel(old))
        --labels;
    --cells;
}

void WorksheetCells::place(int rowIndex, const Cell &cell)
{
    std::vector<Cell> &line = row(rowIndex).cells;
    if (isLabel(cell))
        ++labels;
    ++cells;
    // Cells mostly arrive in column order: append without searching.
    if (line.empty() || line.back().column < cell.column) {
        line.push_back(cell);
        return;
    }
    auto at = std::lower_bound(line.begin(), line.end(), cell.column,
                               [](const Cell &c, quint16 column) { return c.column < column; });
    if (at != line.end() && at->column == cell.column) {
        release(*at);
        *at = cell;
    } else {
        line.insert(at, cell);
    }
}

bool WorksheetCells::addGroup(quint16 id, int rowIndex, int column, quint16 xf, const QByteArray &bytes, QString *error)
{
    if (rowIndex >= Biff::MaxRows || column >= Biff::MaxColumns) {
        *error = QStringLiteral("cell outside the sheet");
        return false;
    }
    lastGroup = int(groups.size());
    groups.append(bytes);
    groupIsLabel.push_back(id == Biff::LabelSst);
    if (id == Biff::LabelSst)
        ++loadedLabels;
    place(rowIndex, Cell{quint16(column), xf, lastGroup, NoString});
    return true;
}

bool WorksheetCells::addRecord(const BiffRecord &record, QString *error)
{
    const QByteArray &d = record.data;
    const quint16 id = record.id;
    if (id == Biff::DbCell)
        return true;
    if (id == Biff::Row) {
        if (d.size() < 16) {
            *error = QStringLiteral("short ROW record");
            return false;
        }
        row(Biff::u16(d, 0)).record = d.left(16);
        lastGroup = -1;
        return true;
    }
    if (id == Biff::ShrFmla || id == Biff::Array || id == Biff::Table || id == Biff::String || id == Biff::Continue) {
        if (lastGroup < 0) {
            *error = QStringLiteral("formula record without its cell");
            return false;
        }
        if (id != Biff::String && id != Biff::Continue) {
            if (d.size() < 6) {
                *error = QStringLiteral("short formula range");
                return false;
            }
            lockedRanges.append(Range{Biff::u16(d, 0), Biff::u16(d, 2), quint8(d.at(4)), quint8(d.at(5))});
        }
        groups[lastGroup] += recordBytes(id, d);
        return true;
    }
    if (id == Biff::MulRk || id == Biff::MulBlank) {
        const int unit = id == Biff::MulRk ? 6 : 2;
        if (d.size() < 6 || (d.size() - 6) % unit != 0) {
            *error = QStringLiteral("bad MULRK/MULBLANK record");
            return false;
        }
        const int rowIndex = Biff::u16(d, 0);
        const int first = Biff::u16(d, 2);
        const int count = int((d.size() - 6) / unit);
        if (Biff::u16(d, d.size() - 2) != first + count - 1) {
            *error = QStringLiteral("bad MULRK/MULBLANK column range");
            return false;
        }
        // Expanded into single RK and BLANK cells, so that any of them can be replaced alone.
        for (int i = 0; i < count; ++i) {
            const char *p = d.constData() + 4 + i * unit;
            QByteArray single;
            Biff::append16(single, quint16(rowIndex));
            Biff::append16(single, quint16(first + i));
            single.append(p, unit);
            const quint16 singleId = id == Biff::MulRk ? Biff::Rk : Biff::Blank;
            if (!addGroup(singleId, rowIndex, first + i, Biff::u16(p), recordBytes(singleId, single), error))
                return false;
        }
        lastGroup = -1;
        return true;
    }
    if (isCellRecord(id)) {
        if (d.size() < 6) {
            *error = QStringLiteral("short cell record");
            return false;
        }
        return addGroup(id, Biff::u16(d, 0), Biff::u16(d, 2), Biff::u16(d, 4), recordBytes(id, d), error);
    }
    *error = QStringLiteral("record 0x%1 is not part of a cell table").arg(id, 4, 16, QLatin1Char('0'));
    return false;
}

void WorksheetCells::addColumnInfo(const BiffRecord &record)
{
    if (record.data.size() >= 8)
        columnFormats.append(
            ColumnFormat{Biff::u16(record.data, 0), Biff::u16(record.data, 2), Biff::u16(record.data, 6)});
}

quint16 WorksheetCells::currentXf(int rowIndex, int column) const
{
    if (size_t(rowIndex) < rows.size()) {
        const Row &r = rows[size_t(rowIndex)];
        auto at = std::lower_bound(r.cells.begin(), r.cells.end(), column,
                                   [](const Cell &c, int col) { return c.column < col; });
        if (at != r.cells.end() && at->column == column)
            return at->xf;
        // A row with fGhostDirty set carries a default format for its empty cells.
        if (r.record.size() >= 16 && (quint8(r.record.at(12)) & 0x80))
            return Biff::u16(r.record, 14) & 0x0FFF;
    }
    for (const ColumnFormat &c : columnFormats)
        if (column >= c.first && column <= c.last)
            return c.xf;
    return 15;
}

void WorksheetCells::setLabel(int rowIndex, int column, quint16 xf, quint32 sstIndex)
{
    place(rowIndex, Cell{quint16(column), xf, WrittenText, sstIndex});
}

void WorksheetCells::setNumber(int rowIndex, int column, quint16 xf, double value)
{
    quint32 rk = 0;
    if (Biff::toRk(value, &rk)) {
        place(rowIndex, Cell{quint16(column), xf, WrittenRk, rk});
        return;
    }
    numbers.push_back(value);
    place(rowIndex, Cell{quint16(column), xf, WrittenNumber, quint32(numbers.size() - 1)});
}

QByteArray WorksheetCells::dimensions() const
{
    quint32 firstRow = 0, lastRow = 0;
    quint16 firstColumn = 0, lastColumn = 0;
    bool any = false;
    if (oldDimensions.size() >= 12 && Biff::u32(oldDimensions, 4) > Biff::u32(oldDimensions, 0)
        && Biff::u16(oldDimensions, 10) > Biff::u16(oldDimensions, 8)) {
        firstRow = Biff::u32(oldDimensions, 0);
        lastRow = Biff::u32(oldDimensions, 4);
        firstColumn = Biff::u16(oldDimensions, 8);
        lastColumn = Biff::u16(oldDimensions, 10);
        any = true;
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        const std::vector<Cell> &line = rows[r].cells;
        if (line.empty())
            continue;
        const quint16 left = line.front().column;
        const quint16 right = quint16(line.back().column + 1);
        if (!any) {
            firstRow = quint32(r);
            lastRow = quint32(r + 1);
            firstColumn = left;
            lastColumn = right;
            any = true;
            continue;
        }
        firstRow = qMin(firstRow, quint32(r));
        lastRow = qMax(lastRow, quint32(r + 1));
        firstColumn = qMin(firstColumn, left);
        lastColumn = qMax(lastColumn, right);
    }
    QByteArray d;
    Biff::append32(d, firstRow);
    Biff::append32(d, lastRow);
    Biff::append16(d, firstColumn);
    Biff::append16(d, lastColumn);
    Biff::append16(d, 0);
    return d;
}

void WorksheetCells::write(QByteArray &out) const
{
    const size_t rowCount = rows.size();
    for (size_t block = 0; block < rowCount; block += 32) {
        const size_t end = qMin(rowCount, block + 32);
        for (size_t r = block; r < end; ++r) {
            const Row &line = rows[r];
            if (line.cells.empty() && line.record.isEmpty())
                continue;
            QByteArray record = line.record;
            if (record.isEmpty()) {
                record.fill('\0', 16);
                Biff::set16(record, 0, quint16(r));
                Biff::set16(record, 6, 0x00FF); // default height, 12.75 points
                Biff::set32(record, 12, 0x000F0100);
            }
            if (!line.cells.empty()) {
                Biff::set16(record, 2, line.cells.front().column);
                Biff::set16(record, 4, quint16(line.cells.back().column + 1));
            }
            Biff::appendRecord(out, Biff::Row, record);
        }
        for (size_t r = block; r < end; ++r) {
            for (const Cell &cell : rows[r].cells) {
                if (cell.group >= 0) {
                    out.append(groups.at(cell.group));
                    continue;
                }
                const bool blank = cell.group == WrittenText && cell.value == NoString;
                const quint16 id = blank                       ? Biff::Blank
                                   : cell.group == WrittenText ? Biff::LabelSst
                                   : cell.group == WrittenRk   ? Biff::Rk
                                                               : Biff::Number;
                const int size = blank ? 6 : id == Biff::Number ? 14 : 10;
                const qsizetype at = out.size();
                out.resize(at + 4 + size);
                char *p = out.data() + at;
                Biff::put16(p, id);
                Biff::put16(p + 2, quint16(size));
                Biff::put16(p + 4, quint16(r));
                Biff::put16(p + 6, cell.column);
                Biff::put16(p + 8, cell.xf);
                if (id == Biff::Number) {
                    quint64 bits = 0;
                    std::memcpy(&bits, &numbers[cell.value], sizeof bits);
                    Biff::put32(p + 10, quint32(bits));
                    Biff::put32(p + 14, quint32(bits >> 32));
                } else if (!blank) {
                    Biff::put32(p + 10, cell.value);
                }
            }
        }
    }
}
