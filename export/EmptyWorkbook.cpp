// SPDX-License-Identifier: GPL-3.0-or-later
#include "EmptyWorkbook.h"

#include "BiffRecord.h"

namespace EmptyWorkbook {

namespace {

QByteArray u16s(std::initializer_list<quint16> values)
{
    QByteArray d;
    for (quint16 v : values)
        Biff::append16(d, v);
    return d;
}

QByteArray font()
{
    QByteArray d = u16s({200, 0x0000, 0x7FFF, 400, 0}); // 10 points, regular, automatic colour
    d.append(4, '\0');                                  // underline, family, character set, reserved
    d.append(shortString(QStringLiteral("Arial")));
    return d;
}

// Format record: font 0, number format 0 (General), bottom aligned, no borders, automatic colours.
QByteArray xf(bool style)
{
    QByteArray d = u16s({0, 0, quint16(style ? 0xFFF5 : 0x0001)});
    Biff::append8(d, 0x20);
    Biff::append8(d, 0x00);
    Biff::append8(d, 0x00);
    Biff::append8(d, style ? 0xF4 : 0x00);
    d.append(8, '\0');
    Biff::append16(d, 0x20C0);
    return d;
}

} // namespace

QByteArray bof(quint16 substreamType)
{
    QByteArray d = u16s({0x0600, substreamType, 0x0DBB, 0x07CC});
    Biff::append32(d, 0);
    Biff::append32(d, 6);
    return d;
}

QByteArray worksheet(bool selected)
{
    QByteArray out;
    Biff::appendRecord(out, Biff::Bof, bof(Biff::Worksheet));
    Biff::appendRecord(out, 0x000D, u16s({1}));                               // CALCMODE: automatic
    Biff::appendRecord(out, 0x000C, u16s({100}));                             // CALCCOUNT
    Biff::appendRecord(out, 0x000F, u16s({1}));                               // REFMODE: A1
    Biff::appendRecord(out, 0x0011, u16s({0}));                               // ITERATION off
    Biff::appendRecord(out, 0x0010, QByteArray::fromHex("fca9f1d24d62503f")); // DELTA 0.001
    Biff::appendRecord(out, 0x005F, u16s({1}));                               // SAVERECALC
    Biff::appendRecord(out, 0x002A, u16s({0}));                               // PRINTHEADERS
    Biff::appendRecord(out, 0x002B, u16s({0}));                               // PRINTGRIDLINES
    Biff::appendRecord(out, 0x0082, u16s({1}));                               // GRIDSET
    Biff::appendRecord(out, 0x0080, u16s({0, 0, 0, 0}));                      // GUTS
    Biff::appendRecord(out, 0x0225, u16s({0, 0x00FF}));                       // DEFAULTROWHEIGHT
    Biff::appendRecord(out, 0x0081, u16s({0x04C1}));                          // WSBOOL
    Biff::appendRecord(out, 0x0055, u16s({8}));                               // DEFCOLWIDTH
    Biff::appendRecord(out, Biff::Dimensions, QByteArray(14, '\0'));
    // WINDOW2: grid lines, headers, zeros, outline symbols; the first sheet is the selected one.
    QByteArray window = u16s({quint16(selected ? 0x06B6 : 0x00B6), 0, 0, 0x0040, 0, 0, 0});
    Biff::append32(window, 0);
    Biff::appendRecord(out, Biff::Window2, window);
    Biff::appendRecord(out, Biff::Eof, {});
    return out;
}

QByteArray shortString(const QString &text)
{
    QByteArray d;
    bool highByte = false;
    for (QChar c : text)
        highByte = highByte || c.unicode() > 0xFF;
    Biff::append8(d, quint8(text.size()));
    Biff::append8(d, highByte ? 1 : 0);
    for (QChar c : text) {
        if (highByte)
            Biff::append16(d, c.unicode());
        else
            Biff::append8(d, quint8(c.unicode()));
    }
    return d;
}

QByteArray stream(const QStringList &sheetNames)
{
    QByteArray out;
    Biff::appendRecord(out, Biff::Bof, bof(Biff::Globals));
    Biff::appendRecord(out, 0x00E1, u16s({0x04B0})); // INTERFACEHDR
    Biff::appendRecord(out, 0x00C1, u16s({0}));      // MMS
    Biff::appendRecord(out, 0x00E2, {});             // INTERFACEEND
    Biff::appendRecord(out, 0x0042, u16s({0x04B0})); // CODEPAGE: UTF-16
    Biff::appendRecord(out, Biff::Dsf, u16s({0}));
    QByteArray tabIds;
    for (int i = 0; i < sheetNames.size(); ++i)
        Biff::append16(tabIds, quint16(i + 1));
    Biff::appendRecord(out, 0x013D, tabIds);                    // TABID
    Biff::appendRecord(out, 0x009C, u16s({0x000E}));            // FNGROUPCOUNT
    for (quint16 id : {0x0019, 0x0012, 0x0013, 0x01AF, 0x01BC}) // no protection of any kind
        Biff::appendRecord(out, id, u16s({0}));
    Biff::appendRecord(out, 0x003D, u16s({0x01E0, 0x005A, 0x3FCF, 0x2A4E, 0x0038, 0, 0, 1, 0x0258})); // WINDOW1
    Biff::appendRecord(out, 0x0040, u16s({0}));                                                       // BACKUP
    Biff::appendRecord(out, 0x008D, u16s({0}));                                                       // HIDEOBJ
    Biff::appendRecord(out, 0x0022, u16s({0}));                                                       // DATE1904 off
    Biff::appendRecord(out, 0x000E, u16s({1})); // PRECISION: full, not as displayed
    Biff::appendRecord(out, 0x01B7, u16s({0})); // REFRESHALL
    Biff::appendRecord(out, 0x00DA, u16s({0})); // BOOKBOOL
    // Five fonts: index 4 does not exist in the format, so they are 0-3 and 5.
    for (int i = 0; i < 5; ++i)
        Biff::appendRecord(out, Biff::Font, font());
    for (int i = 0; i < 15; ++i)
        Biff::appendRecord(out, Biff::Xf, xf(true));
    Biff::appendRecord(out, Biff::Xf, xf(false));
    Biff::appendRecord(out, 0x0293, QByteArray::fromHex("008000ff")); // STYLE: built-in Normal on XF 0
    Biff::appendRecord(out, 0x0160, u16s({1}));                       // USESELFS

    QVector<qsizetype> sheetOffsetAt;
    for (const QString &name : sheetNames) {
        QByteArray d;
        Biff::append32(d, 0); // position of the sheet's BOF, filled in below
        Biff::append16(d, 0); // visible worksheet
        d.append(shortString(name));
        sheetOffsetAt.append(out.size() + 4);
        Biff::appendRecord(out, Biff::BoundSheet, d);
    }
    Biff::appendRecord(out, Biff::Sst, QByteArray(8, '\0'));
    Biff::appendRecord(out, Biff::ExtSst, u16s({8}));
    Biff::appendRecord(out, Biff::Eof, {});

    for (int i = 0; i < sheetNames.size(); ++i) {
        Biff::set32(out, sheetOffsetAt.at(i), quint32(out.size()));
        out += worksheet(i == 0);
    }
    return out;
}

} // namespace EmptyWorkbook
