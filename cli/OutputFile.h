// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TableFile.h"

#include <QString>

#include <memory>

struct ExportSheet;

// The file that the records and spectra commands write, exactly as the window's export writes it:
// an .xls workbook (from "./template.xls" when there is one), an .xlsx workbook or CSV. Whatever
// about the target can fail is found out by prepare(), before the meter is read, and whether the
// file can hold the meter's records by accepts(), before its memory is read; an existing file is
// replaced only once the new one is complete. Reasons are in the chosen language.
class OutputFile
{
public:
    OutputFile(const QString &fileName, TableFile::Format format, bool chinese);

    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Checks that the file can be written and, for .xls, builds the workbook. False, with the
    // reason, when it cannot.
    bool prepare(QString &reason);
    // Whether the file can hold count records below its title row: an .xls sheet 65,535, an
    // .xlsx sheet 1,048,575, CSV any number. False, with the reason, when it cannot.
    bool accepts(qint64 count, QString &reason) const;

    // Writes the table of count records a batch at a time where the format allows it, so that
    // only one batch is held, and a workbook's sheet about the meter. False, with the reason,
    // when writing failed.
    bool write(qint64 count, const TableFile::TableOf &tableOf, const ExportSheet &meterSheet, QString &reason);

private:
    const TableFile::Format format;
    const bool chinese;
    TableFile file;
};
