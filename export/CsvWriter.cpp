// SPDX-License-Identifier: GPL-3.0-or-later
#include "CsvWriter.h"

#include "FileReplacement.h"

#include <QBuffer>

namespace {

// Whether the text is a plain decimal number as the tables write them: an optional sign, digits
// with an optional decimal point, an optional exponent. Spreadsheets take it as that number, never
// as a formula; "inf", "nan" and the like are no decimal numbers and stay guarded.
bool isDecimalNumber(const QString &text)
{
    qsizetype i = 0;
    const qsizetype size = text.size();
    const auto digits = [&]() {
        const qsizetype from = i;
        while (i < size && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'))
            ++i;
        return i - from;
    };
    const auto sign = [&]() {
        if (i < size && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            ++i;
    };
    sign();
    qsizetype mantissa = digits();
    if (i < size && text.at(i) == QLatin1Char('.')) {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < size && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        ++i;
        sign();
        if (digits() == 0)
            return false;
    }
    return i == size;
}

// Whether a spreadsheet opening the file could run the text as a formula: it starts with '=',
// '+', '-' or '@', or with a tab or carriage return, which spreadsheets skip on the way to such a
// sign (and which a formula guard must not let through either way). Spaces and line feeds ahead of
// a sign count the same. Decimal numbers and texts of dashes only (the invalid-value marker
// "----", nothing after the signs) are no formulas.
bool runsAsFormula(const QString &text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first == QLatin1Char('\t') || first == QLatin1Char('\r'))
        return true;
    qsizetype start = 0;
    while (start < text.size() && (text.at(start) == QLatin1Char(' ') || text.at(start) == QLatin1Char('\n')))
        ++start;
    if (start == text.size())
        return false;
    const QChar sign = text.at(start);
    if (sign == QLatin1Char('\t') || sign == QLatin1Char('\r'))
        return true;
    if (sign != QLatin1Char('=') && sign != QLatin1Char('+') && sign != QLatin1Char('-') && sign != QLatin1Char('@'))
        return false;
    if (start > 0)
        return true;
    if (text.count(QLatin1Char('-')) == text.size())
        return false;
    return !isDecimalNumber(text);
}

} // namespace

CsvWriter::CsvWriter(QIODevice &device) : output(device) {}

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
    if (output.hasFailed())
        return false;
    startFile();
    QString line;
    for (qsizetype i = 0; i < row.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += field(row.at(i));
    }
    line += QStringLiteral("\r\n");
    return output.append(line.toUtf8());
}

void CsvWriter::startFile()
{
    if (!started) {
        output.append("\xEF\xBB\xBF", 3);
        started = true;
    }
}

bool CsvWriter::finish()
{
    if (output.hasFailed())
        return false;
    startFile();
    return output.flush();
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
