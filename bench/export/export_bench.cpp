// Exports 65,535 rows x 15 columns to an .xls workbook and compares the time with writing the
// same cell texts as a plain CSV file through QTextStream in the same process.
#include "ExcelEngine.h"
#include "ExportTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int Rows = 65535;
constexpr int Columns = 15;

// Texts like those of the records table: a name, numbers in fixed notation, a time stamp.
ExportTable makeTable()
{
    ExportTable table(Rows, Columns);
    table.setHeaderText(0, QStringLiteral("名称"));
    for (int c = 1; c < Columns - 1; ++c)
        table.setHeaderText(c, QStringLiteral("照度%1\n(Lux)").arg(c));
    table.setHeaderText(Columns - 1, QStringLiteral("时间"));
    for (int r = 0; r < Rows; ++r) {
        table.setCellText(r, 0, QStringLiteral("记录%1").arg(r + 1));
        for (int c = 1; c < Columns - 1; ++c)
            table.setCellText(r, c, QString::number((r * 37 + c * 101) % 100000 / 7.0, 'f', c % 4));
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
    const ExportTable table = makeTable();
    qint64 bestCsv = -1, bestXls = -1;
    for (int round = 0; round < 3; ++round) {
        const qint64 csv = writeCsv(table, dir.filePath(QStringLiteral("data.csv")));
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
    std::printf("best: csv %.1f ms, xls %.1f ms (%d rows x %d columns)\n", bestCsv / 1e6, bestXls / 1e6, Rows, Columns);
    std::printf("export ratio: %.1f\n", double(bestXls) / double(bestCsv));
    return 0;
}
