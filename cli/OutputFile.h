// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TableFile.h"

#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>
#include <memory>

class QIODevice;
struct ExportSheet;

// The file that the records and spectra commands write, exactly as the window's export writes it:
// an .xls workbook (from "./template.xls" when there is one), an .xlsx workbook or CSV; or a JSON
// document. Whatever about the target can fail is found out by prepare(), before the meter is
// read, and whether the file can hold the meter's records by accepts(), before its memory is read;
// an existing file is replaced only once the new one is complete. The file name "-" is standard
// output: CSV and JSON go there as they are made; a workbook is made in a temporary folder and
// copied there, but never to a terminal, where its bytes would only garble the screen. Reasons are
// in the chosen language.
class OutputFile
{
public:
    OutputFile(const QString &fileName, TableFile::Format format, bool json, bool chinese, FILE *standardOutput);

    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    bool isJson() const { return json; }

    // Checks that the file can be written and, for .xls, builds the workbook. False, with the
    // reason, when it cannot.
    bool prepare(QString &reason);
    // Whether the file can hold count records below its title row: an .xls sheet 65,535, an
    // .xlsx sheet 1,048,575, CSV and JSON any number. False, with the reason, when it cannot.
    bool accepts(qint64 count, QString &reason) const;

    // Writes the table of count records a batch at a time where the format allows it, so that
    // only one batch is held, and a workbook's further sheets (about the meter, the statistics).
    // False, with the reason, when writing failed.
    bool write(qint64 count, const TableFile::TableOf &tableOf, const QList<ExportSheet> &extraSheets, QString &reason);

    // Writes a JSON document, which the writer streams into the device. False, with the reason,
    // when writing failed.
    using Document = std::function<bool(QIODevice &device, QString &reason)>;
    bool writeDocument(const Document &document, QString &reason);

private:
    bool toStandardOutput() const { return fileName == QLatin1String("-"); }
    bool copyToStandardOutput(const QString &path, QString &reason);

    const QString fileName;
    const TableFile::Format format;
    const bool json;
    const bool chinese;
    FILE *const standardOutput;
    std::unique_ptr<QTemporaryDir> binaryFolder; // only for a workbook to standard output
    std::unique_ptr<TableFile> file;
};
