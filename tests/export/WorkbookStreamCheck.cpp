// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkbookStreamCheck.h"

#include "BiffRecord.h"
#include "OleStorage.h"

#include <QFile>
#include <QMap>
#include <QSet>

#include <algorithm>

namespace {

bool isCell(quint16 id)
{
    return id == Biff::LabelSst || id == Biff::Blank || id == Biff::Number || id == Biff::Rk || id == Biff::Label
           || id == Biff::BoolErr || id == Biff::Formula || id == Biff::RString;
}

// The cell table's order: blocks of at most 32 ROW records, each followed by the cells of those
// rows, rows ascending, the cells of a row by column, every ROW's column range covering its cells.
QString checkCellTable(const QVector<BiffRecord> &records)
{
    QMap<int, QPair<int, int>> rowColumns; // ROW: first column, last column + 1
    QMap<int, QPair<int, int>> cellColumns;
    QVector<int> blockRows;
    bool inCells = false;
    int lastRow = -1, lastCellRow = -1, lastCellColumn = -1;
    int depth = 0;
    for (const BiffRecord &r : records) {
        if (r.id == Biff::Bof)
            ++depth;
        else if (r.id == Biff::Eof)
            --depth;
        if (depth != 1)
            continue;
        const bool multiple = r.id == Biff::MulRk || r.id == Biff::MulBlank;
        if (r.id == Biff::Row) {
            const int row = Biff::u16(r.data, 0);
            if (inCells)
                blockRows.clear();
            inCells = false;
            if (row <= lastRow)
                return QStringLiteral("ROW %1 after ROW %2").arg(row).arg(lastRow);
            lastRow = row;
            blockRows.append(row);
            if (blockRows.size() > 32)
                return QStringLiteral("more than 32 ROW records in the block of row %1").arg(blockRows.first());
            rowColumns.insert(row, {Biff::u16(r.data, 2), Biff::u16(r.data, 4)});
        } else if (isCell(r.id) || multiple) {
            const int row = Biff::u16(r.data, 0);
            const int first = Biff::u16(r.data, 2);
            const int last = multiple ? Biff::u16(r.data, r.data.size() - 2) : first;
            inCells = true;
            if (!blockRows.contains(row))
                return QStringLiteral("cell (%1, %2) outside the block of its ROW").arg(row).arg(first);
            if (row < lastCellRow || (row == lastCellRow && first <= lastCellColumn))
                return QStringLiteral("cell (%1, %2) after cell (%3, %4)")
                    .arg(row)
                    .arg(first)
                    .arg(lastCellRow)
                    .arg(lastCellColumn);
            lastCellRow = row;
            lastCellColumn = last;
            auto &range = cellColumns[row];
            range = range == qMakePair(0, 0) ? qMakePair(first, last + 1) : qMakePair(range.first, last + 1);
        } else if (r.id == Biff::DbCell) {
            blockRows.clear();
            inCells = false;
        }
    }
    for (auto it = cellColumns.cbegin(); it != cellColumns.cend(); ++it) {
        const QPair<int, int> row = rowColumns.value(it.key());
        if (row.first > it.value().first || row.second < it.value().second)
            return QStringLiteral("ROW %1 spans columns %2-%3, its cells %4-%5")
                .arg(it.key())
                .arg(row.first)
                .arg(row.second)
                .arg(it.value().first)
                .arg(it.value().second);
    }
    return {};
}
// FORMAT records before the first XF, each index defined once; every cell format's number format
// built in or defined; the sheet counts in SUPBOOK and TABID.
QString checkGlobalsLists(const QVector<BiffRecord> &globals)
{
    QSet<quint16> formats;
    bool xfSeen = false;
    int sheetCount = 0;
    for (const BiffRecord &r : globals) {
        if (r.id == Biff::Format) {
            if (xfSeen)
                return QStringLiteral("FORMAT %1 after an XF").arg(Biff::u16(r.data, 0));
            if (formats.contains(Biff::u16(r.data, 0)))
                return QStringLiteral("FORMAT %1 defined twice").arg(Biff::u16(r.data, 0));
            formats.insert(Biff::u16(r.data, 0));
        } else if (r.id == Biff::Xf) {
            xfSeen = true;
            const quint16 format = Biff::u16(r.data, 2);
            if (format >= Biff::FirstUserFormat && !formats.contains(format))
                return QStringLiteral("XF uses number format %1, which no FORMAT defines").arg(format);
        } else if (r.id == Biff::BoundSheet) {
            ++sheetCount;
        }
    }
    for (const BiffRecord &r : globals) {
        if (r.id == Biff::SupBook && r.data.size() == 4 && Biff::u16(r.data, 2) == 0x0401
            && Biff::u16(r.data, 0) != sheetCount)
            return QStringLiteral("SUPBOOK counts %1 sheets of %2").arg(Biff::u16(r.data, 0)).arg(sheetCount);
        if (r.id == Biff::TabId && r.data.size() != 2 * sheetCount)
            return QStringLiteral("TABID lists %1 sheets of %2").arg(r.data.size() / 2).arg(sheetCount);
    }
    return {};
}

} // namespace

QByteArray WorkbookStreamCheck::workbookStream(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    OleStorage::Contents contents;
    QString error;
    return OleStorage::read(file.readAll(), &contents, &error) ? contents.workbook : QByteArray();
}

QString WorkbookStreamCheck::checkFile(const QString &fileName)
{
    const QByteArray stream = workbookStream(fileName);
    return stream.isEmpty() ? QStringLiteral("no workbook stream in ") + fileName : check(stream);
}

bool WorkbookStreamCheck::decodeSst(const QVector<QByteArray> &payloads, const QVector<qint64> &recordOffsets,
                                    QVector<SstString> *strings, QString *error)
{
    if (payloads.isEmpty() || payloads.first().size() < 8) {
        *error = QStringLiteral("SST too short");
        return false;
    }
    const quint32 count = Biff::u32(payloads.first(), 4);
    int chunk = 0;
    int pos = 8;
    auto size = [&]() { return int(payloads.at(chunk).size()); };
    auto next = [&]() {
        if (++chunk >= payloads.size())
            return false;
        pos = 0;
        return true;
    };
    for (quint32 i = 0; i < count; ++i) {
        if (pos == size() && !next()) {
            *error = QStringLiteral("SST declares %1 strings but holds %2").arg(count).arg(i);
            return false;
        }
        const QByteArray &d = payloads.at(chunk);
        if (size() - pos < 3) {
            *error = QStringLiteral("string %1: header split across records").arg(i);
            return false;
        }
        SstString s;
        s.headerOffset = recordOffsets.at(chunk) + 4 + pos;
        s.recordOffset = recordOffsets.at(chunk);
        int remaining = Biff::u16(d, pos);
        const quint8 flags = quint8(d.at(pos + 2));
        pos += 3;
        qint64 trailing = 0;
        if (flags & 0x08) {
            trailing += 4 * Biff::u16(d, pos);
            pos += 2;
        }
        if (flags & 0x04) {
            trailing += Biff::u32(d, pos);
            pos += 4;
        }
        int unit = (flags & 1) ? 2 : 1;
        if (remaining > 0 && size() - pos < unit) {
            *error = QStringLiteral("string %1: first character not beside its header").arg(i);
            return false;
        }
        while (remaining > 0) {
            const QByteArray &piece = payloads.at(chunk);
            const int take = qMin((size() - pos) / unit, remaining);
            for (int k = 0; k < take; ++k)
                s.text.append(unit == 2 ? QChar(Biff::u16(piece, pos + 2 * k)) : QChar(quint8(piece.at(pos + k))));
            pos += take * unit;
            remaining -= take;
            if (remaining == 0)
                break;
            if (pos != size()) {
                *error = QStringLiteral("string %1: bytes left over before a CONTINUE").arg(i);
                return false;
            }
            if (unit == 2 && take > 0 && s.text.back().isHighSurrogate()) {
                *error = QStringLiteral("string %1: surrogate pair split across records").arg(i);
                return false;
            }
            if (!next() || size() < 2) {
                *error = QStringLiteral("string %1 runs past the SST").arg(i);
                return false;
            }
            const quint8 flag = quint8(payloads.at(chunk).at(0));
            if (flag > 1) {
                *error = QStringLiteral("string %1: continuation starts with flag byte %2").arg(i).arg(flag);
                return false;
            }
            unit = flag ? 2 : 1;
            pos = 1;
        }
        while (trailing > 0) {
            if (pos == size() && !next()) {
                *error = QStringLiteral("string %1: formatting runs past the SST").arg(i);
                return false;
            }
            const int take = int(qMin<qint64>(size() - pos, trailing));
            pos += take;
            trailing -= take;
        }
        strings->append(s);
    }
    if (chunk != payloads.size() - 1 || pos != size()) {
        *error = QStringLiteral("data after the last SST string");
        return false;
    }
    return true;
}

QString WorkbookStreamCheck::check(const QByteArray &stream)
{
    QVector<BiffRecord> globals;
    qint64 globalsEnd = 0;
    if (!Biff::readSubstream(stream, 0, &globals, &globalsEnd))
        return QStringLiteral("no workbook globals");
    if (Biff::u16(globals.first().data, 0) != 0x0600 || Biff::u16(globals.first().data, 2) != Biff::Globals)
        return QStringLiteral("globals BOF is not BIFF8");

    QVector<bool> styleXf;
    QVector<QPair<quint32, quint8>> sheetPositions;
    QVector<QByteArray> sstPayloads;
    QVector<qint64> sstOffsets;
    QByteArray extSst;
    for (int i = 0; i < globals.size(); ++i) {
        const BiffRecord &r = globals.at(i);
        if (r.id == Biff::Xf)
            styleXf.append(Biff::u16(r.data, 4) & 0x0004);
        else if (r.id == Biff::BoundSheet)
            sheetPositions.append({Biff::u32(r.data, 0), quint8(r.data.at(5))});
        else if (r.id == Biff::ExtSst)
            extSst = r.data;
        else if (r.id == Biff::Sst) {
            sstPayloads.append(r.data);
            sstOffsets.append(r.offset);
            while (i + 1 < globals.size() && globals.at(i + 1).id == Biff::Continue) {
                ++i;
                sstPayloads.append(globals.at(i).data);
                sstOffsets.append(globals.at(i).offset);
            }
        }
    }

    const QString lists = checkGlobalsLists(globals);
    if (!lists.isEmpty())
        return lists;

    QVector<SstString> strings;
    QString error;
    if (!sstPayloads.isEmpty() && !decodeSst(sstPayloads, sstOffsets, &strings, &error))
        return error;

    std::sort(sheetPositions.begin(), sheetPositions.end());
    qint64 expected = globalsEnd;
    quint32 labels = 0;
    for (const auto &[position, type] : sheetPositions) {
        if (position != expected)
            return QStringLiteral("sheet at %1, expected the next substream at %2").arg(position).arg(expected);
        QVector<BiffRecord> records;
        qint64 end = 0;
        if (!Biff::readSubstream(stream, position, &records, &end))
            return QStringLiteral("no sheet substream at %1").arg(position);
        expected = end;
        if (type != 0)
            continue;
        if (Biff::u16(records.first().data, 2) != Biff::Worksheet)
            return QStringLiteral("worksheet BOF at %1 has the wrong type").arg(position);
        int depth = 0;
        qint64 rowMin = -1, rowMax = -1, columnMin = -1, columnMax = -1;
        QByteArray dimensions;
        bool window = false;
        auto use = [&](int row, int column) {
            rowMin = rowMin < 0 ? row : qMin<qint64>(rowMin, row);
            rowMax = qMax<qint64>(rowMax, row);
            columnMin = columnMin < 0 ? column : qMin<qint64>(columnMin, column);
            columnMax = qMax<qint64>(columnMax, column);
        };
        auto cellXfOk = [&](quint16 xf) { return xf < styleXf.size() && !styleXf.at(xf); };
        for (const BiffRecord &r : records) {
            if (r.id == Biff::Bof)
                ++depth;
            else if (r.id == Biff::Eof)
                --depth;
            if (depth != 1)
                continue;
            if (isCell(r.id)) {
                if ((r.id == Biff::Number && r.data.size() != 14) || (r.id == Biff::Rk && r.data.size() != 10))
                    return QStringLiteral("number cell at %1 of %2 bytes").arg(r.offset).arg(r.data.size());
                if (!cellXfOk(Biff::u16(r.data, 4)))
                    return QStringLiteral("cell at %1 refers to XF %2, not a cell format")
                        .arg(r.offset)
                        .arg(Biff::u16(r.data, 4));
                use(Biff::u16(r.data, 0), Biff::u16(r.data, 2));
                if (r.id == Biff::LabelSst) {
                    ++labels;
                    if (Biff::u32(r.data, 6) >= quint32(strings.size()))
                        return QStringLiteral("LABELSST at %1 refers to a missing string").arg(r.offset);
                }
            } else if (r.id == Biff::MulRk || r.id == Biff::MulBlank) {
                const int unit = r.id == Biff::MulRk ? 6 : 2;
                const int count = int((r.data.size() - 6) / unit);
                for (int k = 0; k < count; ++k) {
                    if (!cellXfOk(Biff::u16(r.data, 4 + k * unit)))
                        return QStringLiteral("MULRK/MULBLANK at %1 refers to a style XF").arg(r.offset);
                    use(Biff::u16(r.data, 0), Biff::u16(r.data, 2) + k);
                }
            } else if (r.id == Biff::Dimensions) {
                dimensions = r.data;
            } else if (r.id == Biff::Window2) {
                window = true;
            } else if (r.id == Biff::Index) {
                for (int p = 16; p + 4 <= r.data.size(); p += 4) {
                    const quint32 at = Biff::u32(r.data, p);
                    if (at + 4 > quint32(stream.size()) || Biff::u16(stream, at) != Biff::DbCell)
                        return QStringLiteral("INDEX entry points at %1, not at a DBCELL").arg(at);
                }
            }
        }
        if (dimensions.size() != 14)
            return QStringLiteral("worksheet without DIMENSIONS");
        if (!window)
            return QStringLiteral("worksheet without WINDOW2");
        const QString cellTable = checkCellTable(records);
        if (!cellTable.isEmpty())
            return cellTable;
        if (rowMin >= 0
            && (Biff::u32(dimensions, 0) > rowMin || Biff::u32(dimensions, 4) < rowMax + 1
                || Biff::u16(dimensions, 8) > columnMin || Biff::u16(dimensions, 10) < columnMax + 1))
            return QStringLiteral("DIMENSIONS does not cover the cells");
    }
    if (expected != stream.size())
        return QStringLiteral("%1 bytes after the last sheet").arg(stream.size() - expected);

    if (sstPayloads.isEmpty())
        return labels == 0 ? QString() : QStringLiteral("LABELSST without SST");
    if (Biff::u32(sstPayloads.first(), 0) != labels)
        return QStringLiteral("SST total %1, but %2 LABELSST cells").arg(Biff::u32(sstPayloads.first(), 0)).arg(labels);
    if (extSst.size() < 2)
        return QStringLiteral("no EXTSST");
    const int bucket = Biff::u16(extSst, 0);
    const int entries = int((extSst.size() - 2) / 8);
    if (bucket <= 0 || entries != (strings.size() + bucket - 1) / bucket || entries > 128)
        return QStringLiteral("EXTSST has %1 entries of %2 strings for %3 strings")
            .arg(entries)
            .arg(bucket)
            .arg(strings.size());
    for (int k = 0; k < entries; ++k) {
        const SstString &s = strings.at(k * bucket);
        if (Biff::u32(extSst, 2 + 8 * k) != s.headerOffset
            || Biff::u16(extSst, 6 + 8 * k) != s.headerOffset - s.recordOffset)
            return QStringLiteral("EXTSST entry %1 misses string %2").arg(k).arg(k * bucket);
    }
    return {};
}
