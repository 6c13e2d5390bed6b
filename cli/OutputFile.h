#pragma once

#include <QString>

#include <functional>
#include <memory>

class ExcelEngine;
class ExportTable;

// The file that the records and spectra commands write: a workbook through ExcelEngine, exactly
// as the window's export writes it (from "./template.xls" when there is one), or CSV. Whatever
// about the target can fail is found out by prepare(), before the meter is read, and whether the
// file can hold the meter's records by accepts(), before its memory is read; an existing file is
// replaced only once the new one is complete.
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
    // Whether the file can hold count records: a workbook's sheet holds 65,535 below its title row,
    // CSV any number. False, with the reason, when it cannot.
    bool accepts(qint64 count, QString &reason) const;

    // Fills table with the records [first, first + count) of the download, under its titles;
    // false, with the reason, when they cannot be had.
    using TableOf = std::function<bool(qint64 first, int count, ExportTable &table, QString &reason)>;
    // CSV takes this many records at a time.
    static constexpr int BatchRecords = 4096;
    // Writes the table of count records: a workbook takes them all at once, CSV a batch at a time,
    // so that only one batch is held. False, with the reason, when writing failed.
    bool write(qint64 count, const TableOf &tableOf, QString &reason);

private:
    QString notReplaceable() const;

    const QString fileName;
    const bool csv;
    const bool chinese;
    std::unique_ptr<ExcelEngine> engine;
};
