#include "OutputFile.h"

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

bool OutputFile::write(const ExportTable &table, QString &reason)
{
    if (!engine) {
        switch (CsvWriter::write(fileName, SheetGrid::rows(table), reason)) {
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
    // The window's export: write the table (which saves), save under the chosen name, close.
    const bool written = engine->writeTable(table, nullptr) && engine->saveWorkbookAs(fileName);
    if (!written)
        reason = engine->errorString();
    engine->closeWorkbook();
    return written;
}
