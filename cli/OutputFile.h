#pragma once

#include <QString>

#include <memory>

class ExcelEngine;
class ExportTable;

// The file that the records and spectra commands write: a workbook through ExcelEngine, exactly
// as the window's export writes it (from "./template.xls" when there is one), or CSV. Whatever
// about the target can fail is found out by prepare(), before the meter is read; an existing file
// is replaced only once the new one is complete.
class OutputFile
{
public:
    OutputFile(const QString &fileName, bool csv, bool chinese);
    ~OutputFile();

    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Checks that the file can be written and, for a workbook, opens the workbook. False, with the
    // reason in the chosen language, when it cannot.
    bool prepare(QString &reason);
    // Writes the table. False, with the reason, when writing failed.
    bool write(const ExportTable &table, QString &reason);

private:
    QString notReplaceable() const;

    const QString fileName;
    const bool csv;
    const bool chinese;
    std::unique_ptr<ExcelEngine> engine;
};
