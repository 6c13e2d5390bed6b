// SPDX-License-Identifier: GPL-3.0-or-later
// Exports 65,535 rows x 15 columns to an .xls workbook and compares the time with writing the
// same cell texts as a plain CSV file through QTextStream in the same process.
#include "BenchTable.h"
#include "ExcelEngine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

qint64 writeXls(const ExportTable &table, const QString &fileName)
{
    QElapsedTimer timer;
    timer.start();
    ExcelEngine engine(fileName);
    if (!engine.openWorkbook(1) || !engine.writeTable(table, nullptr) || !engine.saveWorkbookAs(fileName))
        return -1;
    engine.closeWorkbook();
    return timer.nsecsElapsed();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    // No "./template.xls" here: the bench measures the plain workbook.
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        return 1;
    const ExportTable table = BenchTable::make();
    qint64 bestCsv = -1, bestXls = -1;
    for (int round = 0; round < 3; ++round) {
        const qint64 csv = BenchTable::writeCsv(table, dir.filePath(QStringLiteral("data.csv")));
        const qint64 xls = writeXls(table, dir.filePath(QStringLiteral("data.xls")));
        if (csv < 0 || xls < 0) {
            std::fprintf(stderr, "writing failed\n");
            return 1;
        }
        bestCsv = bestCsv < 0 ? csv : std::min(bestCsv, csv);
        bestXls = bestXls < 0 ? xls : std::min(bestXls, xls);
        std::printf("round %d: csv %.1f ms, xls %.1f ms\n", round + 1, csv / 1e6, xls / 1e6);
    }
    std::printf("csv size %lld bytes, xls size %lld bytes\n",
                static_cast<long long>(QFile(dir.filePath(QStringLiteral("data.csv"))).size()),
                static_cast<long long>(QFile(dir.filePath(QStringLiteral("data.xls"))).size()));
    std::printf("best: csv %.1f ms, xls %.1f ms (%d rows x %d columns)\n", bestCsv / 1e6, bestXls / 1e6,
                BenchTable::Rows, BenchTable::Columns);
    std::printf("export ratio: %.1f\n", double(bestXls) / double(bestCsv));
    return 0;
}
