// SPDX-License-Identifier: GPL-3.0-or-later
#include "BiffWorkbook.h"

#include "EmptyWorkbook.h"
#include "NumberText.h"

#include <algorithm>
#include <limits>

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

// A sheet name Excel accepts: none of : \ / ? * [ ], no apostrophe at either end, at most 31
// characters with the suffix that tells it from an existing sheet.
QString sheetNameWith(const QString &name, const QString &suffix)
{
    QString base = name.left(Biff::MaxSheetName - suffix.size());
    if (!base.isEmpty() && base.back().isHighSurrogate())
        base.chop(1);
    for (QChar &c : base) {
        if (QStringView(u":\\/?*[]").contains(c))
            c = QLatin1Char('_');
    }
    if (base.startsWith(QLatin1Char('\'')))
        base[0] = QLatin1Char('_');
    if (suffix.isEmpty() && base.endsWith(QLatin1Char('\'')))
        base.back() = QLatin1Char('_');
    return base + suffix;
}

// The SUPBOOK of the workbook's references to its own sheets, which holds their count.
bool isInternalSupBook(const BiffRecord &r)
{
    return r.id == Biff::SupBook && r.data.size() == 4 && Biff::u16(r.data, 2) == 0x0401;
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
        case Biff::Format:
            if (!formats.addRecord(r.data, error))
                return false;
            break;
        case Biff::Xf:
            if (r.data.size() != 20) {
                *error = QStringLiteral("bad XF record");
                return false;
            }
            xfs.append(r.data);
            if (firstXf < 0)
                firstXf = i;
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
            sheets.push_back(std::move(sheet));
            lastBoundSheet = i;
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
    if (sheets.empty()) {
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
    qint64 previousEnd = globalsEnd;
    for (const int i : sheetsInStreamOrder()) {
        Sheet &sheet = sheets[size_t(i)];
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

std::vector<int> BiffWorkbook::sheetsInStreamOrder() const
{
    std::vector<int> order(sheets.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [this](int a, int b) { return sheets[size_t(a)].oldOffset < sheets[size_t(b)].oldOffset; });
    return order;
}

bool BiffWorkbook::selectSheet(int index, QString *error)
{
    if (index < 0 || index >= sheetCount() || !sheets[size_t(index)].worksheet) {
        *error = QStringLiteral("no worksheet number %1").arg(index + 1);
        return false;
    }
    Sheet &sheet = sheets[size_t(index)];
    if (!sheet.edit) {
        std::unique_ptr<EditedSheet> edit = EditedSheet::read(sheet.bytes, error);
        if (!edit)
            return false;
        sheet.edit = std::move(edit);
    }
    selected = index;
    return true;
}

int BiffWorkbook::addSheet(const QString &name, QString *error)
{
    if (name.isEmpty()) {
        *error = QStringLiteral("a sheet needs a name");
        return -1;
    }
    QString unique = sheetNameWith(name, QString());
    // Excel keeps "History" for itself.
    auto taken = [this](const QString &candidate) {
        if (candidate.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
            return true;
        return std::any_of(sheets.cbegin(), sheets.cend(),
                           [&](const Sheet &s) { return s.name.compare(candidate, Qt::CaseInsensitive) == 0; });
    };
    for (int n = 2; taken(unique); ++n)
        unique = sheetNameWith(name, QStringLiteral(" (%1)").arg(n));
    Sheet sheet;
    sheet.name = unique;
    sheet.oldOffset = std::numeric_limits<qint64>::max(); // after every sheet of the stream
    sheet.bytes = EmptyWorkbook::worksheet(false);
    sheet.worksheet = true;
    sheets.push_back(std::move(sheet));
    return sheetCount() - 1;
}

void BiffWorkbook::removeAddedSheet(int index)
{
    if (index == sheetCount() - 1 && index != selected && sheets.back().boundSheet < 0)
        sheets.pop_back();
}

bool BiffWorkbook::isFormulaAnchorArea(int row, int column) const
{
    for (const WorksheetCells::Range &range : cells().formulaRanges())
        if (range.contains(row, column))
            return true;
    return false;
}

const QByteArray &BiffWorkbook::xfAt(quint16 index) const
{
    return index < xfs.size() ? xfs.at(index) : addedXfs.at(index - xfs.size());
}

bool BiffWorkbook::addXf(const QByteArray &xf, quint16 *result, QString *error)
{
    const int known = int(xfs.size() + addedXfs.size());
    if (known >= Biff::MaxXfCount) {
        *error = QStringLiteral("too many cell formats");
        return false;
    }
    addedXfs.append(xf);
    *result = quint16(known);
    return true;
}

bool BiffWorkbook::centredXf(quint16 source, quint16 *result, QString *error)
{
    const auto cached = centredXfs.constFind(source);
    if (cached != centredXfs.constEnd()) {
        *result = cached.value();
        return true;
    }
    // A cell must refer to a cell format; fall back to the default one for anything else.
    if (source >= xfs.size() + addedXfs.size() || (Biff::u16(xfAt(source), 4) & 0x0004)) {
        if (source == 15 || (Biff::u16(xfs.at(15), 4) & 0x0004)) {
            *error = QStringLiteral("the workbook's default cell format is missing");
            return false;
        }
        if (!centredXf(15, result, error))
            return false;
        centredXfs.insert(source, *result);
        return true;
    }
    const QByteArray &base = xfAt(source);
    // Already centred (alignment 2, alignment used instead of the style's).
    if ((quint8(base.at(6)) & 0x07) == 2 && (quint8(base.at(9)) & 0x10)) {
        centredXfs.insert(source, source);
        *result = source;
        return true;
    }
    QByteArray clone = base;
    clone[6] = char((quint8(clone.at(6)) & ~0x07) | 0x02);
    clone[9] = char(quint8(clone.at(9)) | 0x10);
    if (!addXf(clone, result, error))
        return false;
    centredXfs.insert(source, *result);
    return true;
}

bool BiffWorkbook::numberXf(quint16 source, int decimals, quint16 *result, QString *error)
{
    const quint32 key = quint32(source) << 8 | quint32(decimals);
    const auto cached = numberXfs.constFind(key);
    if (cached != numberXfs.constEnd()) {
        *result = cached.value();
        return true;
    }
    quint16 centred = 0;
    quint16 format = 0;
    if (!centredXf(source, &centred, error))
        return false;
    if (!formats.indexOf(NumberText::format(decimals), &format)) {
        *error = QStringLiteral("too many number formats");
        return false;
    }
    if (Biff::u16(xfAt(centred), 2) == format) {
        *result = centred;
    } else {
        // The number format is set in the cell format itself, not taken from its style.
        QByteArray clone = xfAt(centred);
        Biff::set16(clone, 2, format);
        clone[9] = char(quint8(clone.at(9)) | 0x04);
        if (!addXf(clone, result, error))
            return false;
    }
    numberXfs.insert(key, *result);
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
    WorksheetCells &table = sheets[size_t(selected)].edit->cells();
    rowXfs.resize(size_t(count));
    rowNumbers.resize(size_t(count));
    rowIsNumber.assign(size_t(count), false);
    rowTexts.clear();
    for (int i = 0; i < count; ++i) {
        const int column = cells[i].column;
        const QString &text = *cells[i].text;
        if (row < 0 || row >= Biff::MaxRows || column < 0 || column >= Biff::MaxColumns) {
            *error = QStringLiteral("cell outside the sheet's 65536 rows and 256 columns");
            return false;
        }
        if (text.size() > Biff::MaxCellText) {
            *error = QStringLiteral("text longer than a cell can hold");
            return false;
        }
        if (isFormulaAnchorArea(row, column)) {
            *error = QStringLiteral("the cell belongs to a shared, array or table formula");
            return false;
        }
        const quint16 current = table.currentXf(row, column);
        if (cells[i].number) {
            if (const std::optional<NumberText> number = NumberText::read(text)) {
                if (!numberXf(current, number->decimals, &rowXfs[size_t(i)], error))
                    return false;
                rowNumbers[size_t(i)] = number->value;
                rowIsNumber[size_t(i)] = true;
                continue;
            }
        }
        if (!centredXf(current, &rowXfs[size_t(i)], error))
            return false;
        if (!text.isEmpty())
            rowTexts.push_back(&text);
    }
    // Only texts go through the shared strings, all of the row's at once.
    rowStrings.resize(rowTexts.size());
    sst.indexesOf(rowTexts.data(), int(rowTexts.size()), rowStrings.data());
    size_t next = 0;
    for (int i = 0; i < count; ++i) {
        const size_t at = size_t(i);
        if (rowIsNumber[at])
            table.setNumber(row, cells[i].column, rowXfs[at], rowNumbers[at]);
        else if (cells[i].text->isEmpty())
            table.setBlank(row, cells[i].column, rowXfs[at]);
        else
            table.setLabel(row, cells[i].column, rowXfs[at], rowStrings[next++]);
    }
    return true;
}

void BiffWorkbook::writeStrings(QByteArray &out) const
{
    qint64 total = sst.loadedTotalCount();
    for (const Sheet &sheet : sheets) {
        if (sheet.edit)
            total += qint64(sheet.edit->cells().labelCount()) - qint64(sheet.edit->cells().loadedLabelCount());
    }
    const QByteArray ext = sst.appendRecords(out, quint32(qMax<qint64>(total, 0)));
    Biff::appendRecord(out, Biff::ExtSst, ext);
}

QByteArray BiffWorkbook::recordToWrite(int index) const
{
    const BiffRecord &r = globals.at(index);
    const int added =
        int(std::count_if(sheets.cbegin(), sheets.cend(), [](const Sheet &s) { return s.boundSheet < 0; }));
    if (added == 0)
        return r.data;
    if (isInternalSupBook(r)) {
        // The workbook's references to its own sheets count them.
        QByteArray d = r.data;
        Biff::set16(d, 0, quint16(sheets.size()));
        return d;
    }
    if (r.id == Biff::TabId) {
        // One tab id per sheet, unique in the workbook.
        QByteArray d = r.data;
        quint16 next = 0;
        for (qsizetype p = 0; p + 2 <= d.size(); p += 2)
            next = qMax(next, Biff::u16(d, p));
        for (int k = 0; k < added; ++k)
            Biff::append16(d, ++next);
        return d;
    }
    return r.data;
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
        estimate += s.edit ? s.edit->cells().cellCount() * 18 + s.bytes.size() : s.bytes.size();
    out.reserve(estimate + 4096);

    std::vector<qsizetype> sheetPositionAt(sheets.size(), -1);
    for (int i = 0; i < globals.size(); ++i) {
        const BiffRecord &r = globals.at(i);
        if (i == firstXf)
            formats.appendAddedRecords(out);
        if (i == sstRecord) {
            writeStrings(out);
            i += sstContinues;
        } else if (i == extSstRecord) {
            // rebuilt together with the string table
        } else if (i == dsfRecord && clearDsf) {
            Biff::appendRecord(out, Biff::Dsf, QByteArray(2, '\0'));
        } else {
            if (r.id == Biff::BoundSheet) {
                for (size_t s = 0; s < sheets.size(); ++s)
                    if (sheets[s].boundSheet == i)
                        sheetPositionAt[s] = out.size() + 4;
            }
            Biff::appendRecord(out, r.id, recordToWrite(i));
        }
        if (i == lastXf)
            for (const QByteArray &xf : addedXfs)
                Biff::appendRecord(out, Biff::Xf, xf);
        if (i == lastBoundSheet) {
            for (size_t s = 0; s < sheets.size(); ++s) {
                if (sheets[s].boundSheet >= 0)
                    continue;
                QByteArray d;
                Biff::append32(d, 0); // the sheet's position, filled in below
                Biff::append16(d, 0); // visible worksheet
                d.append(EmptyWorkbook::shortString(sheets[s].name));
                sheetPositionAt[s] = out.size() + 4;
                Biff::appendRecord(out, Biff::BoundSheet, d);
            }
        }
        if (sstRecord < 0 && i == sstInsertAfter)
            writeStrings(out);
    }

    for (const int s : sheetsInStreamOrder()) {
        const Sheet &sheet = sheets[size_t(s)];
        const qsizetype position = out.size();
        Biff::set32(out, sheetPositionAt[size_t(s)], quint32(position));
        if (sheet.edit) {
            sheet.edit->write(out);
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
