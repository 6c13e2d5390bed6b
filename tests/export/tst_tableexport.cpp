// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedUserDialogs.h"
#include "TableExport.h"
#include "TestTemplates.h"
#include "WorkbookReader.h"

#include <QDir>
#include <QtTest>

#include <memory>

namespace {

using Shown = ScriptedUserDialogs::Shown;

QByteArray fileBytes(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QList<Shown::Kind> kinds(const ScriptedUserDialogs &dialogs)
{
    QList<Shown::Kind> result;
    for (const Shown &s : dialogs.shown())
        result << s.kind;
    return result;
}

// The export table of a records table with `rows` rows of four data columns ("r.c" texts).
ExportTable recordsTable(int rows, const QStringList &titles)
{
    QList<QStringList> texts;
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c < 4; ++c)
            cells << QStringLiteral("%1.%2").arg(r + 1).arg(c + 1);
        texts << cells;
    }
    return ExportTable::fromTexts(titles, texts, 4);
}

// The export table of a kind-1 spectral table: "NO", 31 wavelengths and the untitled curve column.
ExportTable spectralTable(int records)
{
    ExportTable table(records, 33);
    table.setHeaderText(0, QStringLiteral("NO"));
    for (int i = 0; i < 31; ++i)
        table.setHeaderText(1 + i, QStringLiteral("%1nm").arg(400 + 10 * i));
    for (int r = 0; r < records; ++r) {
        table.setCellNumber(r, 0, QString::number(r + 1));
        for (int i = 0; i < 31; ++i)
            table.setCellNumber(r, 1 + i, QString::number((r + 1) * 100 + i * 0.5, 'f', 3));
    }
    return table;
}

// A second sheet as the pages give the workbook about the meter.
ExportSheet meterSheet()
{
    ExportSheet sheet{QStringLiteral("仪器信息"), ExportTable(1, 2)};
    sheet.table.setCellText(0, 0, QStringLiteral("序列号"));
    sheet.table.setCellText(0, 1, QStringLiteral("20240131"));
    return sheet;
}

const QStringList exportTitles = {QStringLiteral("名称"), QStringLiteral("照度\n(Lux)"), QStringLiteral("色温\n(K)"),
                                  QStringLiteral("时间")};

} // namespace

// The export procedure of both pages on their export tables, with scripted dialogs and the real
// workbook engine; the written files are read back with xlrd.
class TestTableExport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
    std::unique_ptr<QWidget> page;
    ScriptedUserDialogs dialogs;
    int emptied = 0;
    TableExport::DeclinedRetry declinedRetry = TableExport::DeclinedRetry::KeepTable;

    QString path(const QString &name) const { return dir->filePath(name); }

    bool exportRecords(const ExportTable &table, bool languageFlag = true)
    {
        return TableExport::exportTable(page.get(), table, {meterSheet()}, table.rowCount(), dialogs, languageFlag,
                                        declinedRetry, [this] { ++emptied; });
    }
    bool exportRecords(int rows, bool languageFlag = true)
    {
        return exportRecords(recordsTable(rows, exportTitles), languageFlag);
    }
    // The spectral page's table has its title row too, which counts in the progress range.
    bool exportSpectral(int records)
    {
        return TableExport::exportTable(page.get(), spectralTable(records), {meterSheet()}, records + 1, dialogs, true,
                                        declinedRetry, [this] { ++emptied; });
    }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        page = std::make_unique<QWidget>();
        dialogs.clear();
        emptied = 0;
        declinedRetry = TableExport::DeclinedRetry::KeepTable;
    }

    void cleanup()
    {
        QDir::setCurrent(previousDir);
        page.reset();
        dir.reset();
    }

    void nothingToExport_data()
    {
        QTest::addColumn<bool>("spectral");
        QTest::addColumn<int>("rows");
        QTest::newRow("records table without rows") << false << 0;
        QTest::newRow("spectral table with only its title row") << true << 0;
    }

    void nothingToExport()
    {
        QFETCH(bool, spectral);
        QFETCH(int, rows);
        QVERIFY(!(spectral ? exportSpectral(rows) : exportRecords(rows)));
        QVERIFY(dialogs.shown().isEmpty());
        QCOMPARE(emptied, 0);
    }

    void recordsThreeRowsFiveColumns()
    {
        const QString file = path(QStringLiteral("records.xls"));
        dialogs.setNextFileName(file);
        QVERIFY(exportRecords(3));

        QCOMPARE(kinds(dialogs), (QList<Shown::Kind>{Shown::SaveFile, Shown::Progress, Shown::Information}));
        const Shown &save = dialogs.shown().at(0);
        QCOMPARE(save.parent, page.get());
        QCOMPARE(save.title, QStringLiteral("保存数据到Excel"));
        QVERIFY2(QRegularExpression(QStringLiteral("^Data\\d{14}$")).match(save.text).hasMatch(),
                 qPrintable(save.text));
        QCOMPARE(save.filters, (QStringList{QStringLiteral("Excel 97-2003 (*.xls)"), QStringLiteral("Excel (*.xlsx)"),
                                            QStringLiteral("CSV (*.csv)")}));
        const Shown &progress = dialogs.shown().at(1);
        QCOMPARE(progress.title, QStringLiteral("正在导出数据，请等待……"));
        QCOMPARE(progress.text, QStringLiteral("取消"));
        QCOMPARE(progress.maximum, 3);
        QCOMPARE(dialogs.progressLogs().at(0)->values, (QList<int>{1, 2, 3, 3}));
        QVERIFY(dialogs.progressLogs().at(0)->hidden);
        QCOMPARE(dialogs.shown().at(2).title, QStringLiteral("提示"));
        QCOMPARE(dialogs.informationTexts(), QStringList{QStringLiteral("导出数据成功！")});
        QCOMPARE(emptied, 1);

        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        const WorkbookReader::Sheet &sheet = xlrd.sheet(0);
        QCOMPARE(sheet.rows, 4);
        QCOMPARE(sheet.columns, 4); // the button column is not exported
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(sheet.text(0, c), exportTitles.at(c));
            for (int r = 1; r <= 3; ++r) {
                QCOMPARE(sheet.text(r, c), QStringLiteral("%1.%2").arg(r).arg(c + 1));
                QCOMPARE(sheet.cell(r, c).horizontalAlignment, 2);
            }
        }
    }

    void untitledColumns()
    {
        // Without any title the sheet has no row 1 and the data still starts in row 2.
        const QString file = path(QStringLiteral("untitled.xls"));
        dialogs.setNextFileName(file);
        QVERIFY(exportRecords(recordsTable(2, {})));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        for (int c = 0; c < 4; ++c)
            QVERIFY(!xlrd.sheet(0).has(0, c));
        QCOMPARE(xlrd.sheet(0).text(1, 0), QStringLiteral("1.1"));
    }

    void spectralTwoRecords()
    {
        const QString file = path(QStringLiteral("spectral.xls"));
        dialogs.setNextFileName(file);
        QVERIFY(exportSpectral(2));
        QCOMPARE(dialogs.shown().at(1).maximum, 3);
        QCOMPARE(dialogs.progressLogs().at(0)->values, (QList<int>{1, 2, 3}));
        QCOMPARE(emptied, 1);

        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        const WorkbookReader::Sheet &sheet = xlrd.sheet(0);
        QCOMPARE(sheet.rows, 3);
        QCOMPARE(sheet.text(0, 0), QStringLiteral("NO"));
        for (int i = 0; i < 31; ++i)
            QCOMPARE(sheet.text(0, 1 + i), QStringLiteral("%1nm").arg(400 + 10 * i));
        for (int r = 0; r < 3; ++r)
            QVERIFY(!sheet.has(r, 32)); // the curve column: a check box, no title, no text
        // Record numbers and values are numbers; the sheet about the meter follows.
        QCOMPARE(sheet.cell(2, 0).type, 2);
        QCOMPARE(sheet.cell(2, 0).value.toDouble(), 2.0);
        QCOMPARE(sheet.cell(2, 31).type, 2);
        QCOMPARE(sheet.cell(2, 31).value.toDouble(), 215.0);
        QCOMPARE(sheet.columns, 32);
        QCOMPARE(xlrd.sheets().size(), 2);
        QCOMPARE(xlrd.sheet(1).name, QStringLiteral("仪器信息"));
        QCOMPARE(xlrd.sheet(1).text(0, 1), QStringLiteral("20240131"));
    }

    void cancelledSaveDialog_data()
    {
        QTest::addColumn<TableExport::DeclinedRetry>("declined");
        QTest::newRow("the export button") << TableExport::DeclinedRetry::KeepTable;
        QTest::newRow("saving before a download") << TableExport::DeclinedRetry::EmptyTable;
    }

    void cancelledSaveDialog()
    {
        // Nothing failed: no question, the table stays (and a download waits for it).
        QFETCH(TableExport::DeclinedRetry, declined);
        declinedRetry = declined;
        QVERIFY(!exportRecords(2));
        QCOMPARE(kinds(dialogs), QList<Shown::Kind>{Shown::SaveFile});
        QCOMPARE(emptied, 0);
    }

    void failureAndSuccessDetails_data()
    {
        QTest::addColumn<bool>("retry");
        QTest::addColumn<TableExport::DeclinedRetry>("declined");
        QTest::newRow("No keeps the table") << false << TableExport::DeclinedRetry::KeepTable;
        QTest::newRow("No empties the table before a download") << false << TableExport::DeclinedRetry::EmptyTable;
        QTest::newRow("Yes shows the save dialog again") << true << TableExport::DeclinedRetry::KeepTable;
    }

    void failureAndSuccessDetails()
    {
        // A folder cannot be replaced by a workbook: the question keeps its text and tells why.
        QFETCH(bool, retry);
        QFETCH(TableExport::DeclinedRetry, declined);
        declinedRetry = declined;
        const QString folder = path(QStringLiteral("folder.xls"));
        QVERIFY(QDir().mkpath(folder));
        dialogs.setNextFileName(folder);
        dialogs.setNextAnswer(retry);
        const QString written = path(QStringLiteral("written.xls"));
        if (retry)
            dialogs.setNextFileName(written);
        QVERIFY(!exportRecords(2)); // a retry's result is not passed on
        QList<Shown::Kind> expected{Shown::SaveFile, Shown::Question};
        if (retry)
            expected << Shown::SaveFile << Shown::Progress << Shown::Information;
        QCOMPARE(kinds(dialogs), expected);
        const Shown question = dialogs.shown().at(1);
        QCOMPARE(question.text, QStringLiteral("导出数据失败，是否重新保存数据？"));
        QCOMPARE(question.title, QStringLiteral("提示"));
        QVERIFY2(question.detailed.startsWith(QDir::toNativeSeparators(folder) + QStringLiteral(": ")),
                 qPrintable(question.detailed));
        QCOMPARE(emptied, declined == TableExport::DeclinedRetry::EmptyTable || retry ? 1 : 0);
        if (retry) {
            QCOMPARE(dialogs.shown().last().text, QStringLiteral("导出数据成功！"));
            QCOMPARE(dialogs.shown().last().informative, QDir::toNativeSeparators(written));
        }
    }

    void cancelWritesNothing()
    {
        // A cancel in the progress dialog, even at the last row and when saving before a download,
        // keeps the earlier file and the table; no question follows.
        declinedRetry = TableExport::DeclinedRetry::EmptyTable;
        const QString file = path(QStringLiteral("cancelled.xls"));
        QVERIFY(writeFile(file, "an earlier export"));
        dialogs.setNextFileName(file);
        dialogs.cancelProgressAt(5);
        QVERIFY(!exportRecords(5));
        QCOMPARE(kinds(dialogs), (QList<Shown::Kind>{Shown::SaveFile, Shown::Progress, Shown::Information}));
        QVERIFY(dialogs.progressLogs().at(0)->hidden);
        QCOMPARE(dialogs.shown().at(2).title, QStringLiteral("提示"));
        QCOMPARE(dialogs.informationTexts(), QStringList{QStringLiteral("导出已取消，未写入任何文件。")});
        QCOMPARE(emptied, 0);
        QCOMPARE(fileBytes(file), QByteArray("an earlier export"));
        QCOMPARE(QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("cancelled.xls")});
    }

    void unreplaceableExistingFile_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::newRow("read-only file") << "readonly";
        QTest::newRow("open in an office suite") << "lockfile";
    }

    void unreplaceableExistingFile()
    {
        // The failure question comes before any progress; Yes with another name then succeeds,
        // while the interrupted call still reports failure.
        QFETCH(QString, lock);
        const QString locked = path(QStringLiteral("locked.xls"));
        QVERIFY(writeFile(locked, "the user's workbook"));
        if (lock == QLatin1String("readonly"))
            QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        else
            QVERIFY(writeFile(path(QStringLiteral(".~lock.locked.xls#")), ",user,host,01.02.2024 10:00,"));
        const QString other = path(QStringLiteral("other.xls"));
        dialogs.setNextFileName(locked);
        dialogs.setNextAnswer(true);
        dialogs.setNextFileName(other);
        QVERIFY(!exportRecords(2));
        QCOMPARE(kinds(dialogs), (QList<Shown::Kind>{Shown::SaveFile, Shown::Question, Shown::SaveFile, Shown::Progress,
                                                     Shown::Information}));
        QCOMPARE(fileBytes(locked), QByteArray("the user's workbook"));
        QCOMPARE(emptied, 1);
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(other), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheet(0).text(2, 0), QStringLiteral("2.1"));
    }

    void failedExportKeepsExistingFile_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("template cannot be read") << "template";
        QTest::newRow("more rows than a sheet holds") << "rows";
    }

    void failedExportKeepsExistingFile()
    {
        QFETCH(QString, cause);
        ExportTable table;
        if (cause == QLatin1String("template")) {
            TestTemplates::Options encrypted;
            encrypted.encrypted = true;
            QVERIFY(TestTemplates::writeTemplate(path(QStringLiteral("template.xls")), encrypted));
            table = recordsTable(3, exportTitles);
        } else {
            table = ExportTable(65536, 1);
            table.setHeaderText(0, QStringLiteral("名称"));
            for (int r = 0; r < 65536; ++r)
                table.setCellText(r, 0, QString::number(r));
        }
        const QString file = path(QStringLiteral("previous.xls"));
        QVERIFY(writeFile(file, "an earlier export"));
        dialogs.setNextFileName(file);
        dialogs.setNextAnswer(false);
        QVERIFY(!exportRecords(table));
        QCOMPARE(kinds(dialogs), (QList<Shown::Kind>{Shown::SaveFile, Shown::Progress, Shown::Question}));
        QVERIFY(dialogs.progressLogs().at(0)->hidden);
        QCOMPARE(fileBytes(file), QByteArray("an earlier export"));
        QCOMPARE(emptied, 0); // No, from the export button: the table stays
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).size(),
                 cause == QLatin1String("template") ? 2 : 1);
    }

    void existingFileIsReplaced()
    {
        const QString file = path(QStringLiteral("again.xls"));
        dialogs.setNextFileName(file);
        QVERIFY(exportRecords(1));
        ExportTable second = recordsTable(2, exportTitles);
        second.setCellText(1, 0, QStringLiteral("second export"));
        dialogs.setNextFileName(file);
        QVERIFY(exportRecords(second));
        WorkbookReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheet(0).rows, 3);
        QCOMPARE(xlrd.sheet(0).text(2, 0), QStringLiteral("second export"));
    }

    void englishTexts()
    {
        dialogs.setNextFileName(path(QStringLiteral("english.xls")));
        QVERIFY(exportRecords(1, false));
        QCOMPARE(dialogs.shown().at(0).title, QStringLiteral("Save Data to Excel"));
        QCOMPARE(dialogs.shown().at(1).title, QStringLiteral("Exporting data, please wait..."));
        QCOMPARE(dialogs.shown().at(1).text, QStringLiteral("Cancel"));
        QCOMPARE(dialogs.shown().at(2).title, QStringLiteral("Tip"));
        QCOMPARE(dialogs.shown().at(2).text, QStringLiteral("Exporting data success!"));

        dialogs.clear();
        const QString folder = path(QStringLiteral("english-folder.xls"));
        QVERIFY(QDir().mkpath(folder));
        dialogs.setNextFileName(folder);
        dialogs.setNextAnswer(false);
        QVERIFY(!exportRecords(1, false));
        QCOMPARE(dialogs.questionTexts(),
                 QStringList{QStringLiteral("Exporting data failed, do you want to save the data again?")});
        QCOMPARE(dialogs.shown().at(1).title, QStringLiteral("Tip"));
    }

    void formatFromFilterOrSuffix_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QByteArray>("start");
        const QByteArray ole("\xD0\xCF\x11\xE0", 4), zip("PK\x03\x04", 4), csv("\xEF\xBB\xBF", 3);
        QTest::newRow("xls filter adds .xls") << "a" << 0 << "a.xls" << ole;
        QTest::newRow("xlsx filter adds .xlsx") << "a" << 1 << "a.xlsx" << zip;
        QTest::newRow("csv filter adds .csv") << "a" << 2 << "a.csv" << csv;
        QTest::newRow("typed .CSV wins over the xls filter") << "a.CSV" << 0 << "a.CSV" << csv;
        QTest::newRow("typed .xlsx wins over the csv filter") << "a.xlsx" << 2 << "a.xlsx" << zip;
        QTest::newRow("an unknown suffix gets the filter's") << "a.txt" << 1 << "a.txt.xlsx" << zip;
    }

    void formatFromFilterOrSuffix()
    {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, written);
        QFETCH(QByteArray, start);
        dialogs.setNextFileName(path(typed), filter);
        QVERIFY(exportRecords(2));
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{written});
        QVERIFY(fileBytes(path(written)).startsWith(start));
    }

    void proposedFileName()
    {
        QCOMPARE(TableExport::proposedFileName(QDateTime(QDate(2024, 1, 31), QTime(15, 45, 2))),
                 QStringLiteral("Data20240131154502"));
    }
};

QTEST_MAIN(TestTableExport)
#include "tst_tableexport.moc"
