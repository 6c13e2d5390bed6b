// SPDX-License-Identifier: GPL-3.0-or-later
#include "OutputFile.h"

#include "ExportSheet.h"
#include "TextCatalogue.h"

#include <QLocale>

OutputFile::OutputFile(const QString &fileName, TableFile::Format format, bool chinese)
    : format(format),
      chinese(chinese),
      file(fileName, format)
{}

bool OutputFile::prepare(QString &reason)
{
    switch (file.prepare()) {
    case TableFile::Ready:
        return true;
    case TableFile::NotReplaceable:
        reason = TextCatalogue::text(Text::CliFileNotReplaceable, chinese);
        return false;
    case TableFile::FolderNotWritable:
        reason = TextCatalogue::text(Text::CliFolderNotWritable, chinese);
        return false;
    case TableFile::WorkbookFailed:
        reason = file.errorString();
        return false;
    }
    return false;
}

bool OutputFile::accepts(qint64 count, QString &reason) const
{
    const qint64 most = TableFile::maxDataRows(format);
    if (count <= most)
        return true;
    reason =
        TextCatalogue::text(Text::CliTooManyForSheet, chinese).arg(count).arg(QLocale(QLocale::English).toString(most));
    return false;
}

bool OutputFile::write(qint64 count, const TableFile::TableOf &tableOf, const ExportSheet &meterSheet, QString &reason)
{
    if (file.write(count, tableOf, &meterSheet))
        return true;
    reason = file.errorString();
    return false;
}
