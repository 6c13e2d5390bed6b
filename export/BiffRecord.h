// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

// One record of a BIFF8 stream: a 16-bit id, a 16-bit length and a payload of at most 8224
// bytes, little-endian. `offset` is where its header started in the stream it was read from.
struct BiffRecord
{
    quint16 id = 0;
    QByteArray data;
    qint64 offset = -1;
};

namespace Biff {

// Record ids used by the workbook engine.
enum RecordId : quint16 {
    Formula = 0x0006,
    Eof = 0x000A,
    FilePass = 0x002F,
    Font = 0x0031,
    Continue = 0x003C,
    ColInfo = 0x007D,
    BoundSheet = 0x0085,
    Country = 0x008C,
    TabId = 0x013D,
    ExternSheet = 0x0017,
    Name = 0x0018,
    MulRk = 0x00BD,
    MulBlank = 0x00BE,
    RString = 0x00D6,
    DbCell = 0x00D7,
    MsoDrawingGroup = 0x00EB,
    Xf = 0x00E0,
    Sst = 0x00FC,
    LabelSst = 0x00FD,
    ExtSst = 0x00FF,
    Dsf = 0x0161,
    SupBook = 0x01AE,
    RecalcId = 0x01C1,
    Dimensions = 0x0200,
    Window2 = 0x023E,
    Blank = 0x0201,
    Number = 0x0203,
    Label = 0x0204,
    BoolErr = 0x0205,
    String = 0x0207,
    Row = 0x0208,
    Index = 0x020B,
    Array = 0x0221,
    Table = 0x0236,
    Rk = 0x027E,
    Format = 0x041E,
    ShrFmla = 0x04BC,
    Bof = 0x0809,
    Rtd = 0x0813,
    HfPicture = 0x0866,
};

// BOF substream types.
enum SubstreamType : quint16 {
    Globals = 0x0005,
    Worksheet = 0x0010
};

constexpr int MaxRecordData = 8224;
constexpr int MaxRows = 65536;
constexpr int MaxColumns = 256;
constexpr int MaxCellText = 32767;
constexpr int MaxXfCount = 4050;
constexpr int MaxSheetName = 31;
// Number formats below this index are built in; a workbook's own formats start here.
constexpr int FirstUserFormat = 164;

inline quint16 u16(const char *p)
{
    return quint16(quint8(p[0]) | (quint8(p[1]) << 8));
}
inline quint32 u32(const char *p)
{
    return quint32(u16(p)) | (quint32(u16(p + 2)) << 16);
}
inline quint16 u16(const QByteArray &b, qsizetype at)
{
    return u16(b.constData() + at);
}
inline quint32 u32(const QByteArray &b, qsizetype at)
{
    return u32(b.constData() + at);
}

inline void put16(char *p, quint16 v)
{
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}
inline void put32(char *p, quint32 v)
{
    put16(p, quint16(v & 0xFFFF));
    put16(p + 2, quint16(v >> 16));
}
inline void set16(QByteArray &b, qsizetype at, quint16 v)
{
    put16(b.data() + at, v);
}
inline void set32(QByteArray &b, qsizetype at, quint32 v)
{
    put32(b.data() + at, v);
}

inline void append8(QByteArray &b, quint8 v)
{
    b.append(char(v));
}
inline void append16(QByteArray &b, quint16 v)
{
    char p[2];
    put16(p, v);
    b.append(p, 2);
}
inline void append32(QByteArray &b, quint32 v)
{
    char p[4];
    put32(p, v);
    b.append(p, 4);
}

// Appends header and payload of one record.
inline void appendRecord(QByteArray &out, quint16 id, const QByteArray &data)
{
    append16(out, id);
    append16(out, quint16(data.size()));
    out.append(data);
}

// The 32-bit RK form of a number cell's value, when it gives back exactly `value`: a 30-bit
// integer or the top 30 bits of the double, either of them optionally to be divided by 100.
bool toRk(double value, quint32 *rk);
// The value an RK form stands for, as a reader decodes it.
double fromRk(quint32 rk);

// Splits stream[from, to) into records. Fails when a record runs past `to` or is longer than the
// format allows.
bool readRecords(const QByteArray &stream, qint64 from, qint64 to, QVector<BiffRecord> *records);

// Reads the records of one substream starting with the BOF at `from`, up to and including the
// EOF that closes it (embedded chart substreams nest their own BOF/EOF pairs). `end` receives the
// stream position after that EOF.
bool readSubstream(const QByteArray &stream, qint64 from, QVector<BiffRecord> *records, qint64 *end);

} // namespace Biff
