#include "XlrdReader.h"

#include <QRegularExpression>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

const char Script[] = R"PY(
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

} // namespace

QString XlrdReader::python()
{
    for (const QString &candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
        QProcess probe;
        probe.start(candidate, {QStringLiteral("-c"), QStringLiteral("import xlrd")});
        if (probe.waitForFinished(30000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return candidate;
    }
    return {};
}

bool XlrdReader::read(const QString &fileName)
{
    sheetList.clear();
    const QString interpreter = python();
    if (interpreter.isEmpty()) {
        failure = QStringLiteral("no python3 with xlrd (install python3-xlrd)");
        return false;
    }
    QProcess process;
    process.start(interpreter, {QStringLiteral("-c"), QString::fromUtf8(Script), fileName});
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        failure = QStringLiteral("xlrd failed: ") + QString::fromUtf8(process.readAllStandardError());
        return false;
    }
    QJsonParseError parseError;
    const QJsonObject result = QJsonDocument::fromJson(process.readAllStandardOutput(), &parseError).object();
    if (parseError.error != QJsonParseError::NoError) {
        failure = QStringLiteral("bad xlrd output: ") + parseError.errorString();
        return false;
    }
    const QString log = result.value(QStringLiteral("log")).toString();
    if (log.contains(QStringLiteral("***")) || log.contains(QStringLiteral("WARNING"))
        || log.contains(QStringLiteral("ERROR"))) {
        failure = QStringLiteral("xlrd complained: ") + log;
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

QString XlrdReader::Sheet::text(int row, int column) const
{
    const Cell shown = cell(row, column);
    static const QRegularExpression fixed(QStringLiteral("^0(\\.0+)?$"));
    if (shown.type != 2 || !fixed.match(shown.numberFormat).hasMatch())
        return shown.value.toString();
    const int decimals = qMax(int(shown.numberFormat.size()) - 2, 0);
    return QString::number(shown.value.toDouble(), 'f', decimals);
}
