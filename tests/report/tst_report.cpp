// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliOptions.h"
#include "CliTestSupport.h"
#include "DownloadTables.h"
#include "MeterFacts.h"
#include "PdfReport.h"
#include "ReportContent.h"
#include "ReportLayout.h"
#include "RecordsTableModel.h"
#include "ReportTexts.h"
#include "UserLanguage.h"

#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace CliTest;

namespace {

// What a poppler tool prints for a file; empty when it could not run.
QString poppler(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPages(const QString &file)
{
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(poppler(QStringLiteral("pdfinfo"), {file}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The font lines of pdffonts (after its two heading lines).
QStringList fontLines(const QString &file)
{
    QStringList lines = poppler(QStringLiteral("pdffonts"), {file}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.mid(2);
}

// A sample meter image whose records repeat until there are `count`.
QJsonObject repeated(const QString &sample, int count)
{
    QJsonObject image = sampleJson(sample);
    const QJsonArray records = image.value(QStringLiteral("records")).toArray();
    QJsonArray many;
    for (int k = 0; k < count; ++k)
        many.append(records.at(k % records.size()));
    image.insert(QStringLiteral("records"), many);
    return image;
}

// A table of made-up texts, wide enough for column groups when wide is set.
ReportTable madeTable(int rows, int columns)
{
    ReportTable table;
    table.caption = QStringLiteral("Made");
    for (int column = 0; column < columns; ++column)
        table.titles << (column == 0 ? QStringLiteral("No.") : QStringLiteral("Column %1\n(unit)").arg(column));
    table.rows = rows;
    table.cell = [](int row, int column) {
        return column == 0 ? QString::number(row + 1) : QStringLiteral("r%1c%2").arg(row + 1).arg(column);
    };
    return table;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils is not installed (scripts/install-deps.sh installs it)");
    }

    void commandLineReport_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QString>("paper");
        QTest::newRow("kind 1, Chinese, A4") << "kind1" << true << "a4";
        QTest::newRow("kind 1, English, Letter") << "kind1" << false << "letter";
        QTest::newRow("kind 4 (names), Chinese, Letter") << "kind4" << true << "letter";
        QTest::newRow("kind 6 (no spectra), English, A4") << "kind6" << false << "a4";
    }

    // A report of many records over several pages: the meter, the user's details, every row's
    // texts, the page count the pages state, embedded fonts and no pictures.
    void commandLineReport()
    {
        QFETCH(QString, sample);
        QFETCH(bool, chinese);
        QFETCH(QString, paper);
        constexpr int records = 240;
        QTemporaryDir dir;
        const QString image = writeImage(dir, sample + QStringLiteral(".json"), repeated(sample, records));
        const QString title = chinese ? QStringLiteral("照度普查") : QStringLiteral("Lighting survey");
        const QString location = chinese ? QStringLiteral("第三车间") : QStringLiteral("Workshop three");
        const QStringList arguments = meterArguments(image, chinese)
                                      + QStringList{QStringLiteral("--no-archive"), QStringLiteral("report"),
                                                    QStringLiteral("-o"), QStringLiteral("r.pdf"),
                                                    QStringLiteral("--title"), title, QStringLiteral("--location"),
                                                    location, QStringLiteral("--operator"), QStringLiteral("Wang"),
                                                    QStringLiteral("--paper"), paper};
        const Result result = run(arguments, dir.path(), dir.path());
        QVERIFY2(result.exitCode == 0, result.err.constData());
        const QString file = dir.filePath(QStringLiteral("r.pdf"));

        const QString text = poppler(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
        const QString serial = QString::number(sampleJson(sample).value(QStringLiteral("serialNo")).toInt());
        for (const QString &expected : {serial, title, location, QStringLiteral("Wang")})
            QVERIFY2(text.contains(expected), qPrintable(expected));

        // Every row's texts: each golden row's cells, and every record number in the number column.
        const Grid golden = recordsGolden(sample, chinese);
        for (const QStringList &row : golden.mid(1)) {
            for (const QString &cell : row) {
                for (const QString &word : cell.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                    QVERIFY2(text.contains(word), qPrintable(word));
            }
        }
        for (int number = 1; number <= records; ++number)
            QVERIFY2(text.contains(QRegularExpression(QStringLiteral("(^|\\n)\\s*%1\\s").arg(number))),
                     qPrintable(QString::number(number)));

        // After the records, their statistics: on the minimum's row the first numeric column's
        // smallest value, as the records table shows it.
        const auto number = [](const QString &cell, double &value) {
            bool ok = false;
            value = cell.toDouble(&ok);
            return ok;
        };
        double value = 0;
        const int numeric = int(std::find_if(golden.at(1).begin(), golden.at(1).end(),
                                             [&](const QString &cell) { return number(cell, value); })
                                - golden.at(1).begin());
        QString minimum;
        for (const QStringList &row : golden.mid(1)) {
            if (number(row.value(numeric), value) && (minimum.isEmpty() || value < minimum.toDouble()))
                minimum = row.value(numeric);
        }
        QVERIFY(!minimum.isEmpty());
        const QString heading = chinese ? QStringLiteral("统计") : QStringLiteral("Statistics");
        QVERIFY(text.indexOf(QRegularExpression(QStringLiteral("\\n\\s*%1\\n").arg(heading)))
                > text.indexOf(ReportTexts::text(ReportText::RecordsTable, chinese)));
        const QString label = chinese ? QStringLiteral("最小值") : QStringLiteral("Minimum");
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("\\n\\s*%1\\s+%2\\s").arg(label, QRegularExpression::escape(minimum)))),
                 qPrintable(minimum));

        // The pages say how many there are, and that is how many the file holds.
        const int pages = pdfPages(file);
        QVERIFY(pages > 3);
        const QString last = ReportTexts::text(ReportText::PageOf, chinese).arg(pages).arg(pages);
        QVERIFY2(text.contains(last), qPrintable(last));
        QVERIFY(!text.contains(ReportTexts::text(ReportText::PageOf, chinese).arg(pages + 1).arg(pages)));

        const QString info = poppler(QStringLiteral("pdfinfo"), {file});
        QVERIFY(info.contains(paper == QLatin1String("a4") ? QStringLiteral("(A4)") : QStringLiteral("(letter)")));
        const QStringList fonts = fontLines(file);
        QVERIFY(!fonts.isEmpty());
        for (const QString &line : fonts) {
            // name type encoding emb sub uni object generation
            const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            QVERIFY2(fields.size() >= 6 && fields.at(fields.size() - 5) == QLatin1String("yes"), qPrintable(line));
        }
        // The charts are vectors: no picture anywhere.
        const QStringList images =
            poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file}).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(images.size(), 2);
    }

    // export ID -o FILE.pdf: the report of an archived download, at its own download time.
    void exportArchivedReport()
    {
        QTemporaryDir dir;
        const QStringList meter = meterArguments(samplePath(QStringLiteral("kind2")), false);
        const QStringList archive{QStringLiteral("--archive"), dir.filePath(QStringLiteral("a.sqlite"))};
        Result result = run(meter + archive + QStringList{QStringLiteral("spectra"), QStringLiteral("-o"),
                                                          QStringLiteral("s.csv")},
                            dir.path(), dir.path());
        QVERIFY2(result.exitCode == 0, result.err.constData());
        result = run(archive + QStringList{QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("history")},
                     dir.path(), dir.path());
        QVERIFY2(result.exitCode == 0, result.err.constData());
        const QStringList fields = QString::fromUtf8(result.out).split(QLatin1Char('\t'));
        QVERIFY(fields.size() > 2);
        result = run(archive + QStringList{QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("export"),
                                           fields.at(0), QStringLiteral("-o"), QStringLiteral("e.PDF")},
                     dir.path(), dir.path());
        QVERIFY2(result.exitCode == 0, result.err.constData());
        const QString text =
            poppler(QStringLiteral("pdftotext"), {dir.filePath(QStringLiteral("e.PDF")), QStringLiteral("-")});
        QVERIFY(text.contains(fields.at(2)));   // the serial number
        QVERIFY(text.contains(fields.at(1)));   // the archived download time, local
        QVERIFY(text.contains(QStringLiteral("CIE 1931")));
    }

    // The report's options: which commands take them, and which output is a report.
    void options_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("report");
        QTest::addColumn<int>("paper"); // -1: from the locale
        using U = UsageError;
        QTest::newRow("report with everything")
            << QStringList{"report", "-o", "r.pdf", "--title", "T", "--location=L", "--operator", "O", "--note", "N",
                           "--paper", "Letter"}
            << int(U::None) << true << int(QPageSize::Letter);
        QTest::newRow("report needs -o") << QStringList{"report"} << int(U::MissingOutput) << true << -1;
        QTest::newRow("report is no workbook") << QStringList{"report", "-o", "r.xls", "--format", "xls"}
                                               << int(U::BadFormat) << true << -1;
        QTest::newRow("no such paper") << QStringList{"report", "-o", "r.pdf", "--paper", "a3"} << int(U::BadPaper)
                                       << true << -1;
        QTest::newRow("export to a .pdf") << QStringList{"export", "3", "-o", "e.PDF", "--paper", "a4"} << int(U::None)
                                          << true << int(QPageSize::A4);
        QTest::newRow("export as pdf by --format") << QStringList{"export", "3", "-o", "e", "--format", "pdf"}
                                                   << int(U::None) << true << -1;
        QTest::newRow("export to a .pdf written as csv") << QStringList{"export", "3", "-o", "e.pdf", "--format", "csv"}
                                                         << int(U::None) << false << -1;
        QTest::newRow("records are never a report") << QStringList{"records", "-o", "r.pdf", "--format", "pdf"}
                                                    << int(U::BadTableFormat) << false << -1;
        QTest::newRow("a title only for report") << QStringList{"records", "-o", "r.csv", "--title", "T"}
                                                 << int(U::ReportOnly) << false << -1;
        QTest::newRow("paper only for a report") << QStringList{"export", "3", "-o", "e.csv", "--paper", "a4"}
                                                 << int(U::ReportOnly) << false << -1;
    }

    void options()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, error);
        QFETCH(bool, report);
        QFETCH(int, paper);
        CliOptions options;
        QCOMPARE(int(CliArguments::parse(arguments, options).kind), error);
        if (error != int(UsageError::None))
            return;
        QCOMPARE(options.writesReport(), report);
        QCOMPARE(options.paper ? int(*options.paper) : -1, paper);
    }

    // Letter in the United States and Canada, A4 elsewhere; the locale is LC_ALL, LC_PAPER or LANG.
    void defaultPaper_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<int>("paper");
        QTest::newRow("United States") << QStringList{"LANG=en_US.UTF-8"} << int(QPageSize::Letter);
        QTest::newRow("French Canada") << QStringList{"LANG=fr_CA.UTF-8"} << int(QPageSize::Letter);
        QTest::newRow("China") << QStringList{"LANG=zh_CN.UTF-8"} << int(QPageSize::A4);
        QTest::newRow("LC_PAPER over LANG") << QStringList{"LANG=en_US.UTF-8", "LC_PAPER=en_GB.UTF-8"}
                                            << int(QPageSize::A4);
        QTest::newRow("LC_ALL over LC_PAPER") << QStringList{"LC_PAPER=de_DE.UTF-8", "LC_ALL=en_CA.UTF-8"}
                                              << int(QPageSize::Letter);
        QTest::newRow("no locale") << QStringList{} << int(QPageSize::A4);
    }

    void defaultPaper()
    {
        QFETCH(QStringList, environment);
        QFETCH(int, paper);
        QProcessEnvironment variables;
        for (const QString &variable : environment)
            variables.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
        QCOMPARE(int(ReportDetails::defaultPaper(UserLanguage::paperLocale(variables))), paper);
    }

    // Each column group starts with the number column and every column is printed once.
    void columnGroups_data()
    {
        QTest::addColumn<int>("columns");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<bool>("split");
        QTest::newRow("fits portrait") << 5 << false << false;
        QTest::newRow("landscape") << 12 << true << false;
        QTest::newRow("groups") << 40 << true << true;
    }

    void columnGroups()
    {
        QFETCH(int, columns);
        QFETCH(bool, landscape);
        QFETCH(bool, split);
        ReportContent content;
        content.addTable(madeTable(100, columns));
        const ReportLayout layout(content);
        const ReportLayout::TableColumns &laid = layout.columnsOf(0);
        QCOMPARE(laid.orientation == QPageLayout::Landscape, landscape);
        QCOMPARE(laid.groups.size() > 1, split);
        const int groups = int(laid.groups.size());
        QList<int> seen;
        for (const std::vector<int> &group : laid.groups) {
            QCOMPARE(group.front(), 0);
            double width = 0;
            for (const int column : group)
                width += laid.widths[size_t(column)];
            QVERIFY(width <= layout.body(laid.orientation).width());
            for (size_t k = 1; k < group.size(); ++k)
                seen << group[k];
        }
        QCOMPARE(seen.size(), columns - 1);
        for (int k = 0; k < seen.size(); ++k)
            QCOMPARE(seen.at(k), k + 1);
        // Every row is on a page of every group.
        QList<int> rowsPerGroup(groups, 0);
        for (const ReportLayout::Page &page : layout.pages()) {
            if (page.kind == ReportLayout::Page::TableRows)
                rowsPerGroup[page.group] += page.rowCount;
        }
        QCOMPARE(rowsPerGroup, QList<int>(groups, 100));
    }

    // A cancelled report, or one that cannot be written, leaves the old file as it was and nothing
    // beside it.
    void failedReportKeepsOldFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("old.pdf"));
        QVERIFY(writeFile(file, "old report"));
        ReportContent content;
        content.addTable(madeTable(2000, 8));
        QString error;
        int painted = 0;
        QVERIFY(!PdfReport::write(file, content, [&](int done, int) { return (painted = done) < 3; }, error));
        QCOMPARE(painted, 3);
        QCOMPARE(readFile(file), QByteArray("old report"));
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("old.pdf")});

        // The same report completes into the same place.
        QVERIFY2(PdfReport::write(file, content, {}, error), qPrintable(error));
        QCOMPARE(pdfPages(file), int(ReportLayout(content).pages().size()));
    }

    // Records read a batch at a time (from files, from the archive) whose source fails while the
    // pages are painted: the report fails with the source's reason and the old file stays.
    void recordsThatCannotBeReadFailTheReport()
    {
        DownloadOrigin origin;
        origin.state.uiIndex = 1;
        origin.state.unitSlots = QList<int>(MeterFacts::UnitSlotCount, 0);
        DownloadTables tables(origin, false);
        QVERIFY(tables.recordsModel()->columnCount() > 1);
        int batches = 0;
        const DownloadTables::BatchOf batchOf = [&batches](qint64, int count, MeterFlow::Download &batch,
                                                           QString &error) {
            // The statistics read the two batches, the layout reads them again, then painting.
            if (++batches > 4) {
                error = QStringLiteral("the archive went away");
                return false;
            }
            batch.count = count;
            batch.records = QByteArray(qsizetype(count) * MeterFacts::RecordSize, '\0');
            batch.names.clear();
            return true;
        };
        ReportContent content;
        content.details.chinese = false;
        QString error;
        QVERIFY2(content.addRecordBatches(tables, 5000, batchOf, error), qPrintable(error));
        QCOMPARE(content.sections.front().table.rows, 5000);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("old.pdf"));
        QVERIFY(writeFile(file, "old report"));
        QVERIFY(!PdfReport::write(file, content, {}, error));
        QCOMPARE(error, QStringLiteral("the archive went away"));
        QCOMPARE(batches, 5);
        QCOMPARE(readFile(file), QByteArray("old report"));
    }
};

QTEST_MAIN(TestReport)
#include "tst_report.moc"
