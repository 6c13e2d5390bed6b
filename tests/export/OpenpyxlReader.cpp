#include "OpenpyxlReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

// Python's json writes a float as the shortest text that reads back as the same double.
const char Script[] = R"PY(
import json, sys, warnings
import openpyxl
warnings.simplefilter("error")
book = openpyxl.load_workbook(sys.argv[1])
sheets = []
for sh in book.worksheets:
    cells = []
    # The cells the file holds, without the empty ones iterating over every row would make.
    for cell in sorted(sh._cells.values(), key=lambda c: (c.row, c.column)):
        v = cell.value
        if v is None and not cell.has_style:
            continue
        kind = 0 if v is None else 1 if isinstance(v, str) else 2 if isinstance(v, (int, float)) else 3
        cells.append([cell.row - 1, cell.column - 1, kind, v if kind < 3 else str(v),
                      cell.number_format, cell.alignment.horizontal or ""])
    sheets.append({"name": sh.title, "rows": sh.max_row, "cols": sh.max_column, "cells": cells})
print(json.dumps({"sheets": sheets}))
)PY";

} // namespace

bool OpenpyxlReader::read(const QString &fileName)
{
    sheetList.clear();
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral("-c"), QString::fromUtf8(Script), fileName});
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        failure = QStringLiteral("openpyxl failed (install python3-openpyxl): ")
                  + QString::fromUtf8(process.readAllStandardError());
        return false;
    }
    QJsonParseError parseError;
    const QJsonObject result = QJsonDocument::fromJson(process.readAllStandardOutput(), &parseError).object();
    if (parseError.error != QJsonParseError::NoError) {
        failure = QStringLiteral("bad openpyxl output: ") + parseError.errorString();
        return false;
    }
    for (const QJsonValue &s : result.value(QStringLiteral("sheets")).toArray()) {
        const QJsonObject o = s.toObject();
        Sheet sheet;
        sheet.name = o.value(QStringLiteral("name")).toString();
        sheet.rows = o.value(QStringLiteral("rows")).toInt();
        sheet.columns = o.value(QStringLiteral("cols")).toInt();
        for (const QJsonValue &c : o.value(QStringLiteral("cells")).toArray()) {
            const QJsonArray a = c.toArray();
            Cell cell;
            cell.kind = Kind(a.at(2).toInt());
            cell.value = a.at(3).toVariant();
            cell.numberFormat = a.at(4).toString();
            cell.horizontalAlignment = a.at(5).toString();
            sheet.cells.insert({a.at(0).toInt(), a.at(1).toInt()}, cell);
        }
        sheetList.append(sheet);
    }
    failure.clear();
    return true;
}
