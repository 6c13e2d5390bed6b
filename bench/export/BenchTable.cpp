// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchTable.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

namespace BenchTable {

ExportTable make()
{
    ExportTable table(Rows, Columns);
    table.setHeaderText(0, QStringLiteral("名称"));
    for (int c = 1; c < Columns - 1; ++c)
        table.setHeaderText(c, QStringLiteral("照度%1\n(Lux)").arg(c));
    table.setHeaderText(Columns - 1, QStringLiteral("时间"));
    for (int r = 0; r < Rows; ++r) {
        table.setCellText(r, 0, QStringLiteral("记录%1").arg(r + 1));
        for (int c = 1; c < Columns - 1; ++c)
            table.setCellNumber(r, c, QString::number((r * 37 + c * 101) % 100000 / 7.0, 'f', c % 4));
        table.setCellText(r, Columns - 1,
                          QStringLiteral("2024-01-%1 %2:%3:%4")
                              .arg(1 + r % 28, 2, 10, QLatin1Char('0'))
                              .arg(r / 3600 % 24, 2, 10, QLatin1Char('0'))
                              .arg(r / 60 % 60, 2, 10, QLatin1Char('0'))
                              .arg(r % 60, 2, 10, QLatin1Char('0')));
    }
    return table;
}

qint64 writeCsv(const ExportTable &table, const QString &fileName)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return -1;
    QTextStream out(&file);
    for (int c = 0; c < table.columnCount(); ++c)
        out << (c ? "," : "") << table.headerText(c);
    out << '\n';
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int c = 0; c < table.columnCount(); ++c)
            out << (c ? "," : "") << table.cellText(r, c);
        out << '\n';
    }
    out.flush();
    file.close();
    return timer.nsecsElapsed();
}

} // namespace BenchTable
