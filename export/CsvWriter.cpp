// SPDX-License-Identifier: GPL-3.0-or-later
#include "CsvWriter.h"

#include "FileReplacement.h"

#include <QBuffer>

namespace {

// Whether a spreadsheet opening the file would run the text as a formula. A text of dashes only
// (the invalid-value marker "----") is no formula: there is nothing after the signs.
bool runsAsFormula(const QString &text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first != QLatin1Char('=') && first != QLatin1Char('+') && first != QLatin1Char('-')
        && first != QLatin1Char('@'))
        return false;
    if (text.count(QLatin1Char('-')) == text.size())
        return false;
    bool number = false;
    text.toDouble(&number);
    return !number;
}

} // namespace

CsvWriter::CsvWriter(QIODevice &device) : device(device) {}

QString CsvWriter::field(const QString &text)
{
    const QString cell = runsAsFormula(text) ? QLatin1Char('\'') + text : text;
    const bool quoted = cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"'))
                        || cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'));
    if (!quoted)
        return cell;
    QString doubled = cell;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

bool CsvWriter::writeRow(const QStringList &row)
{
    if (failed)
        return false;
    if (!started) {
        block += "\xEF\xBB\xBF";
        started = true;
    }
    QString line;
    for (qsizetype i = 0; i < row.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += field(row.at(i));
    }
    line += QStringLiteral("\r\n");
    block += line.toUtf8();
    return block.size() < BlockBytes || writeBlock();
}

bool CsvWriter::writeBlock()
{
    if (!FileReplacement::writeAll(device, block.constData(), block.size())) {
        failed = true;
        error = device.errorString();
        return false;
    }
    block.truncate(0);
    return true;
}

bool CsvWriter::finish()
{
    if (failed)
        return false;
    if (!started) {
        block += "\xEF\xBB\xBF";
        started = true;
    }
    return block.isEmpty() || writeBlock();
}

QByteArray CsvWriter::encode(const QList<QStringList> &rows)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    CsvWriter writer(buffer);
    for (const QStringList &row : rows)
        writer.writeRow(row);
    writer.finish();
    return bytes;
}

bool CsvWriter::writeLines(const QString &fileName, const Lines &lines, QString &error)
{
    const auto writer = [&lines](QIODevice &device, QString &reason) {
        CsvWriter csv(device);
        if (!lines(csv, reason) || !csv.finish()) {
            if (reason.isEmpty())
                reason = csv.errorString();
            return false;
        }
        return true;
    };
    return FileReplacement::write(fileName, writer, error);
}

bool CsvWriter::write(const QString &fileName, const QList<QStringList> &rows, QString &error)
{
    return writeLines(
        fileName,
        [&rows](CsvWriter &csv, QString &) {
            for (const QStringList &row : rows) {
                if (!csv.writeRow(row))
                    return false;
            }
            return true;
        },
        error);
}
