// SPDX-License-Identifier: GPL-3.0-or-later
#include "OutputFile.h"

#include "ExportSheet.h"
#include "FileReplacement.h"
#include "TextCatalogue.h"

#include <QFile>
#include <QLocale>

#include <unistd.h>

namespace {

// Standard output as a device that writes straight through to the descriptor.
bool openStandardOutput(QFile &device, FILE *stream, QString &reason)
{
    std::fflush(stream);
    if (device.open(fileno(stream), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return true;
    reason = device.errorString();
    return false;
}

} // namespace

OutputFile::OutputFile(const QString &fileName, TableFile::Format format, bool json, bool chinese, FILE *standardOutput)
    : fileName(fileName),
      format(format),
      json(json),
      chinese(chinese),
      standardOutput(standardOutput)
{}

bool OutputFile::prepare(QString &reason)
{
    QString target = fileName;
    if (toStandardOutput()) {
        if (json || format == TableFile::Csv)
            return true;
        if (isatty(fileno(standardOutput))) {
            reason = TextCatalogue::text(Text::CliBinaryToTerminal, chinese).arg(TableFile::suffix(format));
            return false;
        }
        // A workbook is written whole by its library: into a file first, then copied.
        binaryFolder = std::make_unique<QTemporaryDir>();
        if (!binaryFolder->isValid()) {
            reason = binaryFolder->errorString();
            return false;
        }
        target = binaryFolder->filePath(QStringLiteral("output.") + TableFile::suffix(format));
    }
    // A JSON target is checked as a CSV one: a text file written beside it and renamed over it.
    file = std::make_unique<TableFile>(target, json ? TableFile::Csv : format);
    switch (file->prepare()) {
    case TableFile::Ready:
        return true;
    case TableFile::NotReplaceable:
        reason = TextCatalogue::text(Text::CliFileNotReplaceable, chinese);
        return false;
    case TableFile::FolderNotWritable:
        reason = TextCatalogue::text(Text::CliFolderNotWritable, chinese);
        return false;
    case TableFile::WorkbookFailed:
        reason = file->errorString();
        return false;
    }
    return false;
}

bool OutputFile::accepts(qint64 count, QString &reason) const
{
    if (json)
        return true;
    const qint64 most = TableFile::maxDataRows(format);
    if (count <= most)
        return true;
    reason =
        TextCatalogue::text(Text::CliTooManyForSheet, chinese).arg(count).arg(QLocale(QLocale::English).toString(most));
    return false;
}

bool OutputFile::write(qint64 count, const TableFile::TableOf &tableOf, const QList<ExportSheet> &extraSheets,
                       QString &reason)
{
    if (toStandardOutput() && format == TableFile::Csv) {
        QFile device;
        TableFile csv(fileName, TableFile::Csv);
        if (!openStandardOutput(device, standardOutput, reason))
            return false;
        if (csv.writeCsv(device, count, tableOf))
            return true;
        reason = csv.errorString();
        return false;
    }
    if (!file) {
        reason = QStringLiteral("the output was not prepared");
        return false;
    }
    if (!file->write(count, tableOf, extraSheets)) {
        reason = file->errorString();
        return false;
    }
    if (toStandardOutput())
        return copyToStandardOutput(binaryFolder->filePath(QStringLiteral("output.") + TableFile::suffix(format)),
                                    reason);
    return true;
}

bool OutputFile::writeDocument(const Document &document, QString &reason)
{
    if (toStandardOutput()) {
        QFile device;
        return openStandardOutput(device, standardOutput, reason) && document(device, reason);
    }
    return FileReplacement::write(fileName, document, reason);
}

bool OutputFile::copyToStandardOutput(const QString &path, QString &reason)
{
    QFile source(path);
    QFile device;
    if (!source.open(QIODevice::ReadOnly)) {
        reason = source.errorString();
        return false;
    }
    if (!openStandardOutput(device, standardOutput, reason))
        return false;
    while (!source.atEnd()) {
        const QByteArray block = source.read(64 * 1024);
        if (block.isEmpty() && source.error() != QFileDevice::NoError) {
            reason = source.errorString();
            return false;
        }
        if (!FileReplacement::writeAll(device, block.constData(), block.size())) {
            reason = device.errorString();
            return false;
        }
    }
    return true;
}
