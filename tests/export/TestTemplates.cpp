// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestTemplates.h"

#include "BiffRecord.h"

#include <QVector>

#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>

#include <cstring>

namespace TestTemplates {

namespace {

using Biff::append16;
using Biff::append32;
using Biff::append8;

QByteArray record(quint16 id, const QByteArray &data)
{
    QByteArray out;
    Biff::appendRecord(out, id, data);
    return out;
}

QByteArray u16s(std::initializer_list<quint16> values)
{
    QByteArray d;
    for (quint16 v : values)
        append16(d, v);
    return d;
}

QByteArray bof(quint16 version, quint16 type)
{
    QByteArray d = u16s({version, type, 0x0DBB, 0x07CC});
    append32(d, 0);
    append32(d, 6);
    return d;
}

QByteArray font(bool bold)
{
    QByteArray d = u16s({200, 0, 0x7FFF, quint16(bold ? 700 : 400), 0});
    d.append(4, '\0');
    append8(d, 5);
    append8(d, 0);
    d += "Arial";
    return d;
}

QByteArray xf(bool style, quint16 fontIndex, quint8 alignment, quint8 used)
{
    QByteArray d = u16s({fontIndex, 0, quint16(style ? 0xFFF5 : 0x0001)});
    append8(d, alignment);
    append8(d, 0);
    append8(d, 0);
    append8(d, used);
    d.append(8, '\0');
    append16(d, 0x20C0);
    return d;
}

QByteArray cell(quint16 row, quint16 column, quint16 xfIndex)
{
    return u16s({row, column, xfIndex});
}

QByteArray labelSst(quint16 row, quint16 column, quint32 index)
{
    QByteArray d = cell(row, column, 15);
    append32(d, index);
    return record(Biff::LabelSst, d);
}

QByteArray number(quint16 row, quint16 column, double value)
{
    QByteArray d = cell(row, column, 15);
    d.append(reinterpret_cast<const char *>(&value), 8);
    return record(Biff::Number, d);
}

QByteArray rowRecord(quint16 row, quint16 first, quint16 last)
{
    QByteArray d = u16s({row, first, quint16(last + 1), 0x00FF, 0, 0});
    append32(d, 0x000F0100);
    return record(Biff::Row, d);
}

QByteArray mulRk(quint16 row, quint16 first, std::initializer_list<int> values)
{
    QByteArray d = u16s({row, first});
    for (int v : values) {
        append16(d, 15);
        append32(d, quint32(v) << 2 | 0x02); // integer RK
    }
    append16(d, quint16(first + values.size() - 1));
    return record(Biff::MulRk, d);
}

// A FORMULA that uses the shared formula anchored at (anchorRow, anchorColumn), cached result 7.
QByteArray sharedFormulaCell(quint16 row, quint16 column, quint16 anchorRow, quint16 anchorColumn)
{
    QByteArray d = cell(row, column, 15);
    const double result = 7;
    d.append(reinterpret_cast<const char *>(&result), 8);
    append16(d, 0x0008); // fShrFmla
    append32(d, 0);
    append16(d, 5);
    append8(d, 0x01); // PtgExp
    append16(d, anchorRow);
    append16(d, anchorColumn);
    return record(Biff::Formula, d);
}

QByteArray sharedFormula(quint16 firstRow, quint16 lastRow, quint8 column)
{
    QByteArray d = u16s({firstRow, lastRow});
    append8(d, column);
    append8(d, column);
    append8(d, 0);
    append8(d, quint8(lastRow - firstRow + 1));
    append16(d, 3);
    append8(d, 0x1E); // PtgInt 7
    append16(d, 7);
    return record(Biff::ShrFmla, d);
}

// The SST written the plain way: each string's header and first character together, a flag byte
// at the start of a continued string's next record, formatting runs continued without one.
QByteArray sst(const QStringList &strings, int richIndex, quint32 total)
{
    QVector<QByteArray> chunks(1);
    append32(chunks[0], total);
    append32(chunks[0], quint32(strings.size()));
    auto freeBytes = [&]() { return Biff::MaxRecordData - int(chunks.last().size()); };
    for (int i = 0; i < strings.size(); ++i) {
        const QByteArray text = strings.at(i).toLatin1();
        const bool rich = i == richIndex;
        if (freeBytes() < (rich ? 5 : 3) + 1)
            chunks.append(QByteArray());
        append16(chunks.last(), quint16(text.size()));
        append8(chunks.last(), rich ? 0x08 : 0x00);
        if (rich)
            append16(chunks.last(), 1);
        for (int done = 0; done < text.size();) {
            if (freeBytes() == 0) {
                chunks.append(QByteArray(1, '\0'));
            }
            const int take = qMin(freeBytes(), int(text.size()) - done);
            chunks.last() += text.mid(done, take);
            done += take;
        }
        if (rich) {
            const QByteArray run = u16s({1, 1}); // from character 1 on, font 1 (bold)
            for (char c : run) {
                if (freeBytes() == 0)
                    chunks.append(QByteArray());
                chunks.last().append(c);
            }
        }
    }
    QByteArray out;
    for (int k = 0; k < chunks.size(); ++k)
        Biff::appendRecord(out, k == 0 ? Biff::Sst : Biff::Continue, chunks.at(k));
    return out;
}

QByteArray sheetOne(const Options &options)
{
    QByteArray s = record(Biff::Bof, bof(options.bofVersion, Biff::Worksheet));
    s += record(Biff::Index, QByteArray(20, '\0')); // filled in by patchIndexes
    s += record(0x0055, u16s({8}));                 // DEFCOLWIDTH
    s += record(Biff::ColInfo, u16s({5, 5, 0x0924, 16, 0, 0}));
    QByteArray dimensions;
    append32(dimensions, 0);
    append32(dimensions, options.sharedFormulaInArea ? 13 : 23);
    dimensions += u16s({0, 23, 0});
    s += record(Biff::Dimensions, dimensions);
    const quint16 formulaFirst = options.sharedFormulaInArea ? 1 : 20;
    const quint8 formulaColumn = options.sharedFormulaInArea ? 4 : 1;
    s += rowRecord(0, 0, 7) + rowRecord(1, 1, 22) + rowRecord(2, 0, 4) + rowRecord(3, 4, 5);
    s += rowRecord(10, 10, 10) + rowRecord(12, 0, 0);
    if (!options.sharedFormulaInArea)
        s += rowRecord(20, 1, 1) + rowRecord(21, 1, 1) + rowRecord(22, 1, 1);
    s += labelSst(0, 0, 0) + labelSst(0, 7, 1);
    s += mulRk(1, 1, {1, 2, 3});
    if (options.sharedFormulaInArea)
        s += sharedFormulaCell(1, 4, 1, 4) + sharedFormula(1, 3, 4);
    s += mulRk(1, 20, {4, 5, 6});
    s += record(Biff::MulBlank, u16s({2, 0, 16, 16, 16, 16, 3}));
    if (options.sharedFormulaInArea)
        s += sharedFormulaCell(2, 4, 1, 4) + sharedFormulaCell(3, 4, 1, 4);
    s += labelSst(3, 5, 2) + labelSst(10, 10, 3) + number(12, 0, 3.5);
    if (!options.sharedFormulaInArea) {
        s += sharedFormulaCell(20, formulaColumn, formulaFirst, formulaColumn) + sharedFormula(20, 22, formulaColumn);
        s += sharedFormulaCell(21, formulaColumn, formulaFirst, formulaColumn);
        s += sharedFormulaCell(22, formulaColumn, formulaFirst, formulaColumn);
    }
    s += record(Biff::DbCell, QByteArray(6, '\0'));
    QByteArray window = u16s({0x06B6, 0, 0, 0x40, 0, 0, 0});
    append32(window, 0);
    s += record(0x023E, window);
    s += record(0x00E5, u16s({1, 10, 11, 0, 1})); // MERGEDCELLS A11:B12
    s += record(Biff::Eof, {});
    return s;
}

QByteArray sheetTwo()
{
    QByteArray s = record(Biff::Bof, bof(0x0600, Biff::Worksheet));
    s += record(Biff::Index, QByteArray(20, '\0'));
    s += record(0x0055, u16s({8}));
    QByteArray dimensions;
    append32(dimensions, 0);
    append32(dimensions, 2);
    dimensions += u16s({0, 1, 0});
    s += record(Biff::Dimensions, dimensions);
    s += rowRecord(0, 0, 0) + rowRecord(1, 0, 0) + labelSst(0, 0, 4) + number(1, 0, 42);
    s += record(Biff::DbCell, QByteArray(8, '\0'));
    QByteArray window = u16s({0x00B6, 0, 0, 0x40, 0, 0, 0});
    append32(window, 0);
    s += record(0x023E, window);
    s += record(Biff::Eof, {});
    return s;
}

// INDEX: the position of DEFCOLWIDTH and of the block's DBCELL; DBCELL: back to the first ROW.
void patchIndexes(QByteArray &stream, qint64 sheetAt)
{
    QVector<BiffRecord> records;
    qint64 end = 0;
    Biff::readSubstream(stream, sheetAt, &records, &end);
    qint64 index = -1, defColWidth = 0, firstRow = -1;
    for (const BiffRecord &r : records) {
        if (r.id == Biff::Index)
            index = r.offset;
        else if (r.id == 0x0055)
            defColWidth = r.offset;
        else if (r.id == Biff::Row && firstRow < 0)
            firstRow = r.offset;
        else if (r.id == Biff::DbCell) {
            Biff::set32(stream, r.offset + 4, quint32(r.offset - firstRow));
            Biff::set32(stream, index + 4 + 16, quint32(r.offset));
        }
    }
    Biff::set32(stream, index + 4 + 12, quint32(defColWidth));
}

bool writeOle(const QString &fileName, const QByteArray &stream, const Options &options)
{
    gsf_init();
    GError *error = nullptr;
    GsfOutput *sink = gsf_output_stdio_new(fileName.toLocal8Bit().constData(), &error);
    if (!sink) {
        g_error_free(error);
        return false;
    }
    GsfOutfile *ole = gsf_outfile_msole_new(sink);
    static const guint8 excelClass[16] = {0x20, 0x08, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole), excelClass);
    auto writeStream = [](GsfOutfile *parent, const char *name, const QByteArray &data) {
        GsfOutput *child = gsf_outfile_new_child(parent, name, FALSE);
        gsf_output_write(child, size_t(data.size()), reinterpret_cast<const guint8 *>(data.constData()));
        gsf_output_close(child);
        g_object_unref(child);
    };
    writeStream(ole, options.onlyBookStream ? "Book" : "Workbook", stream);
    if (options.withBookStream)
        writeStream(ole, "Book", record(Biff::Bof, bof(0x0500, 5)) + record(Biff::Eof, {}));
    writeStream(ole, summaryStreamName().constData(), summaryStreamData());
    GsfOutput *storage = gsf_outfile_new_child(ole, storageName().constData(), TRUE);
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(storage),
                                   reinterpret_cast<const guint8 *>(storageClassId().constData()));
    writeStream(GSF_OUTFILE(storage), "VBA", QByteArray(5000, 'v'));
    gsf_output_close(storage);
    g_object_unref(storage);
    const bool ok = gsf_output_close(GSF_OUTPUT(ole));
    g_object_unref(ole);
    g_object_unref(sink);
    return ok;
}

} // namespace

QByteArray summaryStreamName()
{
    return QByteArray("\005SummaryInformation");
}

QByteArray summaryStreamData()
{
    QByteArray d;
    for (int i = 0; i < 300; ++i)
        d.append(char(i * 7));
    return d;
}

QByteArray storageName()
{
    return QByteArray("_VBA_PROJECT_CUR");
}

QByteArray storageClassId()
{
    return QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10");
}

QByteArray workbookStream(const Options &options)
{
    QStringList strings = {QStringLiteral("kept title"),          QStringLiteral("outside"),
                           QStringLiteral("under an empty item"), QStringLiteral("keep me"),
                           QStringLiteral("second sheet"),        QStringLiteral("rich")};
    for (int i = 0; i < 1500; ++i)
        strings << QStringLiteral("template filler string number %1").arg(i);

    QByteArray out = record(Biff::Bof, bof(options.bofVersion, Biff::Globals));
    if (options.encrypted)
        out += record(Biff::FilePass, u16s({1, 1, 1}) + QByteArray(48, '\x5A'));
    out += record(0x0042, u16s({0x04B0}));
    out += record(0x003D, u16s({0, 0, 0x3000, 0x2000, 0x0038, 0, 0, 1, 0x0258}));
    if (options.withBookStream)
        out += record(Biff::Dsf, u16s({1}));
    for (int i = 0; i < 5; ++i)
        out += record(Biff::Font, font(i == 1));
    for (int i = 0; i < 15; ++i)
        out += record(Biff::Xf, xf(true, 0, 0x20, 0xF4));
    out += record(Biff::Xf, xf(false, 0, 0x20, 0x00));
    out += record(Biff::Xf, xf(false, 1, 0x20 | 0x08 | 0x01, 0x18)); // 16: bold, left, wrapping
    for (int i = 0; i < options.extraXfs; ++i)
        out += record(Biff::Xf, xf(false, 0, 0x20, 0x00));
    out += record(0x0293, QByteArray::fromHex("008000ff"));
    QVector<qsizetype> positions;
    for (const QString &name : {QStringLiteral("数据"), QStringLiteral("Second")}) {
        QByteArray d;
        append32(d, 0);
        append16(d, 0);
        const bool wide = name.at(0).unicode() > 0xFF;
        append8(d, quint8(name.size()));
        append8(d, wide ? 1 : 0);
        for (QChar c : name) {
            if (wide)
                append16(d, c.unicode());
            else
                append8(d, quint8(c.unicode()));
        }
        positions.append(out.size() + 4);
        out += record(Biff::BoundSheet, d);
    }
    out += sst(strings, 5, 5);
    out += record(Biff::ExtSst, u16s({8, 0, 0, 0, 0}));
    out += record(Biff::Eof, {});

    const qint64 first = out.size();
    out += sheetOne(options);
    const qint64 second = out.size();
    out += sheetTwo();
    Biff::set32(out, positions.at(0), quint32(first));
    Biff::set32(out, positions.at(1), quint32(second + (options.brokenSheetPosition ? 1 : 0)));
    patchIndexes(out, first);
    patchIndexes(out, second);
    return out;
}

bool writeTemplate(const QString &fileName, const Options &options)
{
    return writeOle(fileName, workbookStream(options), options);
}

} // namespace TestTemplates
