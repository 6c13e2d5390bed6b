#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Writes a grid of texts as CSV: UTF-8 with a byte-order mark, fields separated by commas, every
// line ended by CR LF (the last one too). A field that holds a comma, a quote or a line break is
// put in quotes, with its quotes doubled; other fields are written as they are.
class CsvWriter
{
public:
    static QString field(const QString &text);
    // The whole file: the byte-order mark, then one line per row.
    static QByteArray encode(const QList<QStringList> &rows);
    // Writes the file beside its target and renames it over the target only once it is complete,
    // so that a failure leaves an existing file as it was. An existing file that must not be
    // replaced (read-only, not a regular file, open in an office suite) is refused.
    enum Result {
        Written,
        NotReplaceable,
        Failed
    };
    // On Failed, error holds the system's reason.
    static Result write(const QString &fileName, const QList<QStringList> &rows, QString &error);
};
