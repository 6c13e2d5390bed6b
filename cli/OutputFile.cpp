#include "OutputFile.h"

#include "BiffRecord.h"
#include "CsvWriter.h"
#include "ExcelEngine.h"
#include "ExportTable.h"
#include "SheetGrid.h"
#include "TextCatalogue.h"

OutputFile::OutputFile(const QString &fileName, bool csv, bool chinese) : fileName(fileName), csv(csv), chinese(chinese)
{}

OutputFile::~OutputFile() = default;

QString OutputFile::notReplaceable() const
{
    return TextCatalogue::text(Text::CliFileNotReplaceable, chinese);
}

bool OutputFile::prepare(QString &reason)
{
    engine = std::make_unique<ExcelEngine>(fileName);
    if (!engine->prepareFile(fileName)) {
        reason = ExcelEngine::canReplaceFile(fileName) ? TextCatalogue::text(Text::CliFolderNotWritable, chinese)
                                                       : notReplaceable();
        return false;
    }
    if (csv) {
        engine.reset();
        return true;
    }
    // The workbook is built now, as the window does when its export starts.
    if (!engine->openWorkbook(1)) {
        reason = engine->errorString();
        return false;
    }
    return true;
}

bool OutputFile::accepts(qint64 count, QString &reason) const
{
    if (csv || count <= Biff::MaxRows - 1)
        return true;
    reason = TextCatalogue::text(Text::CliTooManyForSheet, chinese).arg(count);
    return false;
}

bool OutputFile::write(qint64 count, const TableOf &tableOf, QString &reason)
{
    if (!engine) {
        // The titles come with the first batch, which a download without records has too.
        const auto lines = [&](CsvWriter &writer, QString &error) {
            for (qint64 first = 0; first == 0 || first < count; first += BatchRecords) {
                ExportTable table;
                if (!tableOf(first, int(qMin<qint64>(BatchRecords, count - first)), table, error))
                    return false;
                const QList<QStringList> rows = SheetGrid::rows(table);
                for (qsizetype r = first == 0 ? 0 : 1; r < rows.size(); ++r) {
                    if (!writer.writeRow(rows.at(r)))
                        return false;
                }
            }
            return true;
        };
        switch (CsvWriter::writeLines(fileName, lines, reason)) {
        case CsvWriter::Written:
            return true;
        case CsvWriter::NotReplaceable:
            reason = notReplaceable();
            return false;
        case CsvWriter::Failed:
            return false;
        }
        return false;
    }
    ExportTable table;
    if (!tableOf(0, int(count), table, reason))
        return false;
    // The window's export: write the table (which saves), save under the chosen name, close.
    const bool written = engine->writeTable(table, nullptr) && engine->saveWorkbookAs(fileName);
    if (!written)
        reason = engine->errorString();
    engine->closeWorkbook();
    return written;
}
