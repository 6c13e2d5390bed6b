// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The workbook stream of a new, empty Excel 97-2003 workbook: the workbook globals (code page,
// window, five fonts, the fifteen style formats and the default cell format 15, the "Normal"
// style, one BOUNDSHEET per sheet, an empty shared string table) and one empty worksheet per
// name. The engine edits it exactly like a template, so both paths share one writer.
namespace EmptyWorkbook {

QByteArray stream(const QStringList &sheetNames = {QStringLiteral("Sheet1")});

// The substream of an empty worksheet; only the selected sheet's window shows it as chosen.
QByteArray worksheet(bool selected);
// Payload of a BOF record for the given substream type.
QByteArray bof(quint16 substreamType);
// A ShortXLUnicodeString (8-bit length, flag byte, characters), as used by FONT and BOUNDSHEET.
QByteArray shortString(const QString &text);

} // namespace EmptyWorkbook
