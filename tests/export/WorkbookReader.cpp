// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkbookReader.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

namespace {

// Both scripts print {"sheets": [...]}, xlrd also its "log"; a sheet's cells are
// [row, column, ctype, value, horizontal alignment, XF index, bold, wrap, number format].
const char XlrdScript[] = R"PY(
import io, json, sys, xlrd
log = io.StringIO()
book = xlrd.open_workbook(sys.argv[1], formatting_info=True, ragged_rows=True, logfile=log, verbosity=1)
sheets = []
for sh in book.sheets():
    cells = []
    for r in range(sh.nrows):
        for c in range(sh.row_len(r)):
            cell = sh.cell(r, c)
            if cell.ctype == xlrd.XL_CELL_EMPTY:
                continue
            xf = book.xf_list[cell.xf_index]
            cells.append([r, c, cell.ctype, cell.value, xf.alignment.hor_align, cell.xf_index,
                          book.font_list[xf.font_index].weight >= 700, bool(xf.alignment.text_wrapped),
                          book.format_map[xf.format_key].format_str])
    sheets.append({"name": sh.name, "rows": sh.nrows, "cols": sh.ncols, "cells": cells,
                   "merged": [list(m) for m in sh.merged_cells]})
print(json.dumps({"sheets": sheets, "log": log.getvalue()}))
)PY";

// openpyxl's value types and alignment names become xlrd's ctypes and numbers; a warning is an
// error. Python's json writes a float as the shortest text that reads back as the same double.
const char OpenpyxlScript[] = R"PY(
import json, sys, warnings
import openpyxl
warnings.simplefilter("error")
book = openpyxl.load_workbook(sys.argv[1])
aligns = {None: 0, "general": 0, "left": 1, "center": 2, "right": 3, "fill": 4, "justify": 5, "centerContinuous": 6,
          "distributed": 7}
sheets = []
for sh in book.worksheets:
    cells = []
    # The cells the file holds, without the empty ones iterating over every row would make.
    for cell in sorted(sh._cells.values(), key=lambda c: (c.row, c.column)):
        v = cell.value
        if v is None and not cell.has_style:
            continue
        ctype = (6 if v is None else 4 if isinstance(v, bool) else 2 if isinstance(v, (int, float))
                 else (5 if cell.data_type == "e" else 1) if isinstance(v, str) else 3)
        cells.append([cell.row - 1, cell.column - 1, ctype, str(v) if ctype == 3 else v,
                      aligns[cell.alignment.horizontal], -1, bool(cell.font.b), bool(cell.alignment.wrap_text),
                      cell.number_format])
    sheets.append({"name": sh.title, "rows": sh.max_row, "cols": sh.max_column, "cells": cells,
                   "merged": [[m.min_row - 1, m.max_row, m.min_col - 1, m.max_col] for m in sh.merged_cells.ranges]})
print(json.dumps({"sheets": sheets}))
)PY";

// The python interpreter that has the module, or empty.
QString pythonWith(const QString &module)
{
    for (const QString &candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess probe;
        probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import ") + module});
        if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return candidate;
    }
    return {};
}

} // namespace

QString WorkbookReader::python()
{
    return pythonWith(QStringLiteral("xlrd"));
}

bool WorkbookReader::read(const QString &fileName)
{
    sheetList.clear();
    const bool xlsx = QFileInfo(fileName).suffix().compare(QLatin1String("xlsx"), Qt::CaseInsensitive) == 0;
    const QString reader = xlsx ? QStringLiteral("openpyxl") : QStringLiteral("xlrd");
    const QString interpreter = pythonWith(reader);
    if (interpreter.isEmpty()) {
        failure = QStringLiteral("no python3 with %1 (install python3-%1)").arg(reader);
        return false;
    }
    QProcess process;
    process.start(interpreter, {QStringLiteral("-c"), QString::fromUtf8(xlsx ? OpenpyxlScript : XlrdScript), fileName});
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        failure = reader + QStringLiteral(" failed: ") + QString::fromUtf8(process.readAllStandardError());
        return false;
    }
    QJsonParseError parseError;
    const QJsonObject result = QJsonDocument::fromJson(process.readAllStandardOutput(), &parseError).object();
    if (parseError.error != QJsonParseError::NoError) {
        failure = QStringLiteral("bad %1 output: %2").arg(reader, parseError.errorString());
        return false;
    }
    const QString log = result.value(QStringLiteral("log")).toString();
    if (log.contains(QStringLiteral("***")) || log.contains(QStringLiteral("WARNING"))
        || log.contains(QStringLiteral("ERROR"))) {
        failure = reader + QStringLiteral(" complained: ") + log;
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
            cell.type = a.at(2).toInt();
            cell.value = a.at(3).toVariant();
            cell.horizontalAlignment = a.at(4).toInt();
            cell.xfIndex = a.at(5).toInt();
            cell.bold = a.at(6).toBool();
            cell.wrap = a.at(7).toBool();
            cell.numberFormat = a.at(8).toString();
            sheet.cells.insert({a.at(0).toInt(), a.at(1).toInt()}, cell);
        }
        for (const QJsonValue &m : o.value(QStringLiteral("merged")).toArray()) {
            QList<int> range;
            for (const QJsonValue &v : m.toArray())
                range.append(v.toInt());
            sheet.merged.append(range);
        }
        sheetList.append(sheet);
    }
    failure.clear();
    return true;
}

QString WorkbookReader::Sheet::text(int row, int column) const
{
    const Cell shown = cell(row, column);
    static const QRegularExpression fixed(QStringLiteral("^0(\\.0+)?$"));
    if (shown.type != 2 || !fixed.match(shown.numberFormat).hasMatch())
        return shown.value.toString();
    const int decimals = qMax(int(shown.numberFormat.size()) - 2, 0);
    return QString::number(shown.value.toDouble(), 'f', decimals);
}
