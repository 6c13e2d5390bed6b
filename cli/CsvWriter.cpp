#include "CsvWriter.h"

#include "ExcelEngine.h"

#include <QSaveFile>

QString CsvWriter::field(const QString &text)
{
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                        || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!quoted)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QByteArray CsvWriter::encode(const QList<QStringList> &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (i > 0)
                text += QLatin1Char(',');
            text += field(row.at(i));
        }
        text += QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

CsvWriter::Result CsvWriter::write(const QString &fileName, const QList<QStringList> &rows, QString &error)
{
    // The same rule as for workbooks: never write through a read-only file, a directory, a
    // dangling link or a file an office suite holds open.
    if (!ExcelEngine::canReplaceFile(fileName))
        return NotReplaceable;
    const QByteArray bytes = encode(rows);
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        error = out.errorString();
        return Failed;
    }
    return Written;
}
