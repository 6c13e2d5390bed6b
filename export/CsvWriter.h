// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BlockOutput.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// Writes a grid of texts as CSV: UTF-8 with a byte-order mark, fields separated by commas, every
// line ended by CR LF (the last one too). A text that a spreadsheet would run as a formula (it
// starts with '=', '+', '-' or '@', also after spaces or line feeds, or with a tab or carriage
// return, and is no decimal number) gets a leading apostrophe, which spreadsheets take for "this
// is text". A field that holds a comma, a quote or a line break is put in quotes,
// with its quotes doubled; other fields are written as they are. Lines are gathered and written to
// the device in blocks, so that a file of any length needs no more memory than a block.
class CsvWriter
{
public:
    static constexpr qsizetype BlockBytes = BlockOutput::BlockBytes;

    explicit CsvWriter(QIODevice &device);
    // Adds one line (the byte-order mark goes ahead of the first). False once the device failed.
    bool writeRow(const QStringList &row);
    // Writes what is still held back (at least the byte-order mark). False when the device failed,
    // now or before.
    bool finish();
    // Why writing failed: the device's reason.
    QString errorString() const { return output.errorString(); }

    static QString field(const QString &text);
    // The whole file: the byte-order mark, then one line per row.
    static QByteArray encode(const QList<QStringList> &rows);
    // Writes the file beside its target and renames it over the target only once it is complete,
    // so that a failure leaves an existing file as it was. An existing file that must not be
    // replaced (FileReplacement::canReplace) is refused. False, with the reason, on any failure.
    // Hands the file's lines to the writer; false, with the reason, when they cannot be made.
    using Lines = std::function<bool(CsvWriter &writer, QString &error)>;
    static bool writeLines(const QString &fileName, const Lines &lines, QString &error);
    static bool write(const QString &fileName, const QList<QStringList> &rows, QString &error);

private:
    // The byte-order mark ahead of the first line.
    void startFile();

    BlockOutput output;
    bool started = false;
};
