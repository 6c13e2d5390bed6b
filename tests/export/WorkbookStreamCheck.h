// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// Checks the rules of a BIFF8 workbook stream that no Linux reader checks but Excel relies on:
// sheet positions, record sizes, cell formats and the number formats they use (FORMAT records
// before the XF records), the sheet counts of SUPBOOK and TABID, DIMENSIONS and
// WINDOW2 in every worksheet, the order of the cell table (ROW blocks, cells by row and column),
// the SST counts and its CONTINUE layout, EXTSST and INDEX offsets. Independent of the engine's
// own parser.
class WorkbookStreamCheck
{
public:
    struct SstString
    {
        QString text;
        qint64 headerOffset = 0; // absolute position of the string's header
        qint64 recordOffset = 0; // absolute position of the record holding that header
    };

    // Checks a whole stream; returns an empty string when it is sound, else what is wrong.
    static QString check(const QByteArray &stream);
    // Checks the "Workbook" stream of an .xls file.
    static QString checkFile(const QString &fileName);
    static QByteArray workbookStream(const QString &fileName);

    // Decodes an SST record and its CONTINUEs the way a strict reader does: the record payloads
    // (SST first) and their absolute positions. Fails (returns false) on a layout error.
    static bool decodeSst(const QVector<QByteArray> &payloads, const QVector<qint64> &recordOffsets,
                          QVector<SstString> *strings, QString *error);
};
