#include "ScriptedUserDialogs.h"
#include "TableExport.h"
#include "TestTemplates.h"
#include "XlrdReader.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTableWidget>
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

// A records table as the records page builds it: header labels (which are header items), data
// items, and a delete button in the last column.
void fillRecordsTable(QTableWidget &table, int rows, const QStringList &headerLabels)
{
    table.setColumnCount(int(headerLabels.size()));
    table.setHorizontalHeaderLabels(headerLabels);
    table.setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c + 1 < headerLabels.size(); ++c)
            table.setItem(r, c, new QTableWidgetItem(QStringLiteral("%1.%2").arg(r + 1).arg(c + 1)));
        table.setCellWidget(r, table.columnCount() - 1, new QPushButton(QStringLiteral("删除")));
    }
}

// The spectral table of a kind-1 meter: title row, then one row per record with its number, 31
// values, a curve check box and a delete button (34 columns).
void fillSpectralTable(QTableWidget &table, int records)
{
    table.setColumnCount(34);
    table.setRowCount(1 + records);
    table.setItem(0, 0, new QTableWidgetItem(QStringLiteral("NO")));
    for (int i = 0; i < 31; ++i)
        table.setItem(0, 1 + i, new QTableWidgetItem(QStringLiteral("%1nm").arg(400 + 10 * i)));
    table.setCellWidget(0, 32, new QCheckBox(QStringLiteral("Curve")));
    table.setItem(0, 33, new QTableWidgetItem(QStringLiteral("Operation")));
    for (int r = 1; r <= records; ++r) {
        table.setItem(r, 0, new QTableWidgetItem(QString::number(r)));
        for (int i = 0; i < 31; ++i)
            table.setItem(r, 1 + i, new QTableWidgetItem(QString::number(r * 100 + i * 0.5, 'f', 3)));
        table.setCellWidget(r, 32, new QCheckBox);
        table.setCellWidget(r, 33, new QPushButton(QStringLiteral("Delete")));
    }
}

const QStringList recordHeaders = {QStringLiteral("名称"), QStringLiteral("照度\n(Lux)"), QStringLiteral("色温\n(K)"),
                                   QStringLiteral("时间"), QStringLiteral("操作")};
const QStringList exportTitles = {QStringLiteral("名称"), QStringLiteral("照度\n(Lux)"), QStringLiteral("色温\n(K)"),
                                  QStringLiteral("时间")};

} // namespace

// The export procedure of both pages on plain table widgets, with scripted dialogs and the real
// workbook engine; the written files are read back with xlrd.
class TestTableExport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
    std::unique_ptr<QWidget> page;
    QTableWidget *table = nullptr;
    ScriptedUserDialogs dialogs;
    int emptied = 0;

    QString path(const QString &name) const { return dir->filePath(name); }

    bool exportRecords(bool languageFlag = true, const QStringList &titles = exportTitles)
    {
        return TableExport::exportTable(page.get(), table, dialogs, languageFlag,
                                        TableExportLayout::recordsTable(titles), [this] {
                                            ++emptied;
                                            table->setRowCount(0);
                                        });
    }
    bool exportSpectral()
    {
        return TableExport::exportTable(page.get(), table, dialogs, true, TableExportLayout::spectralTable(), [this] {
            ++emptied;
            table->setRowCount(1);
        });
    }

private Q_SLOTS:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        page = std::make_unique<QWidget>();
        table = new QTableWidget(page.get());
        dialogs.clear();
        emptied = 0;
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
        if (spectral)
            fillSpectralTable(*table, rows);
        else
            fillRecordsTable(*table, rows, recordHeaders);
        QVERIFY(!(spectral ? exportSpectral() : exportRecords()));
        QVERIFY(dialogs.shown().isEmpty());
        QCOMPARE(emptied, 0);
        QVERIFY(
            !TableExport::exportTable(page.get(), nullptr, dialogs, true, TableExportLayout::spectralTable(), [] {}));
        QVERIFY(dialogs.shown().isEmpty());
    }

    void recordsThreeRowsFiveColumns()
    {
        fillRecordsTable(*table, 3, recordHeaders);
        const QString file = path(QStringLiteral("records.xls"));
        dialogs.setNextFileName(file);
        QVERIFY(exportRecords());

        QCOMPARE(kinds(dialogs), (QList<Shown::Kind>{Shown::SaveFile, Shown::Progress, Shown::Information}));
        const Shown &save = dialogs.shown().at(0);
        QCOMPARE(save.parent, page.get());
        QCOMPARE(save.title, QStringLiteral("保存数据到Excel"));
        QVERIFY2(QRegularExpression(QStringLiteral("^Data\\d{14}$")).match(save.text).hasMatch(),
                 qPrintable(save.text));
        QCOMPARE(save.filter, QStringLiteral("Excel(*.xls)"));
        const Shown &progress = dialogs.shown().at(1);
        QCOMPARE(progress.title, QStringLiteral("正在导出数据，请等待……"));
        QCOMPARE(progress.text, QStringLiteral("取消"));
        QCOMPARE(progress.maximum, 3);
        QCOMPARE(dialogs.progressLogs().at(0)->values, (QList<int>{1, 2, 3, 3}));
        QVERIFY(dialogs.progressLogs().at(0)->hidden);
        QCOMPARE(dialogs.shown().at(2).title, QStringLiteral("提示"));
        QCOMPARE(dialogs.informationTexts(), QStringList{QStringLiteral("导出数据成功！")});
        QCOMPARE(emptied, 1);
        QCOMPARE(table->rowCount(), 0);

        XlrdReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        const XlrdReader::Sheet &sheet = xlrd.sheet(0);
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

    void recordsColumnTitles_data()
    {
        QTest::addColumn<bool>("headerItems");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("expected"); // "-" for no title
        QTest::newRow("titles for the four data columns")
            << true << exportTitles << QStringList{"名称", "照度\n(Lux)", "色温\n(K)", "时间"};
        QTest::newRow("shorter title list") << true << QStringList{"A", "B"} << QStringList{"A", "B", "-", "-"};
        QTest::newRow("no title list (unknown unit)") << true << QStringList{} << QStringList{"-", "-", "-", "-"};
        QTest::newRow("no header items") << false << exportTitles << QStringList{"-", "-", "-", "-"};
        QTest::newRow("list with an entry for the button column")
            << true << QStringList{"A", "B", "C", "D", "E"} << QStringList{"A", "B", "C", "D"};
    }

    void recordsColumnTitles()
    {
        QFETCH(bool, headerItems);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, expected);
        fillRecordsTable(*table, 2, recordHeaders);
        if (!headerItems)
            for (int c = 0; c < table->columnCount(); ++c)
                delete table->takeHorizontalHeaderItem(c);
        const ExportTable copy = TableExportLayout::recordsTable(titles).copy(*table);
        QCOMPARE(copy.rowCount(), 2);
        QCOMPARE(copy.columnCount(), 4);
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(copy.hasHeader(c), expected.at(c) != QLatin1String("-"));
            if (copy.hasHeader(c))
                QCOMPARE(copy.headerText(c), expected.at(c));
        }

        // Without any title the sheet has no row 1 and the data still starts in row 2.
        if (expected.count(QStringLiteral("-")) == 4) {
            const QString file = path(QStringLiteral("untitled.xls"));
            dialogs.setNextFileName(file);
            QVERIFY(exportRecords(true, titles));
            XlrdReader xlrd;
            QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
            for (int c = 0; c < 4; ++c)
                QVERIFY(!xlrd.sheet(0).has(0, c));
            QCOMPARE(xlrd.sheet(0).text(1, 0), QStringLiteral("1.1"));
        }
    }

    void recordsCopyMatchesPlainTexts()
    {
        // The command line builds its sheet from the same texts without a table widget.
        fillRecordsTable(*table, 3, recordHeaders);
        table->item(1, 2)->setText(QString());
        const ExportTable copy = TableExportLayout::recordsTable(exportTitles).copy(*table);
        QList<QStringList> rows;
        for (int r = 0; r < 3; ++r) {
            QStringList texts;
            for (int c = 0; c < 4; ++c)
                texts << table->item(r, c)->text();
            rows << texts;
        }
        const ExportTable plain = ExportTable::fromTexts(exportTitles, rows, 4);
        QCOMPARE(plain.rowCount(), copy.rowCount());
        QCOMPARE(plain.columnCount(), copy.columnCount());
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(plain.hasHeader(c), copy.hasHeader(c));
            QCOMPARE(plain.headerText(c), copy.headerText(c));
            for (int r = 0; r < 3; ++r) {
                QCOMPARE(plain.hasCell(r, c), copy.hasCell(r, c));
                QCOMPARE(plain.cellText(r, c), copy.cellText(r, c));
            }
        }
        QVERIFY(!ExportTable::fromTexts({QStringLiteral("A")}, {{QStringLiteral("x")}}, 2).hasHeader(1));
        QVERIFY(!ExportTable::fromTexts({}, {{QStringLiteral("x")}}, 2).hasCell(0, 1));
    }

    void spectralTwoRecords()
    {
        fillSpectralTable(*table, 2);
        const ExportTable copy = TableExportLayout::spectralTable().copy(*table);
        QCOMPARE(copy.rowCount(), 2);
        QCOMPARE(copy.columnCount(), 33);

        const QString file = path(QStringLiteral("spectral.xls"));
        dialogs.setNextFileName(file);
        QVERIFY(exportSpectral());
        QCOMPARE(dialogs.shown().at(1).maximum, 3);
        QCOMPARE(dialogs.progressLogs().at(0)->values, (QList<int>{1, 2, 3}));
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(emptied, 1);

        XlrdReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        const XlrdReader::Sheet &sheet = xlrd.sheet(0);
        QCOMPARE(sheet.rows, 3);
        QCOMPARE(sheet.text(0, 0), QStringLiteral("NO"));
        for (int i = 0; i < 31; ++i)
            QCOMPARE(sheet.text(0, 1 + i), QStringLiteral("%1nm").arg(400 + 10 * i));
        for (int r = 0; r < 3; ++r)
            QVERIFY(!sheet.has(r, 32)); // the curve column: a check box, no title, no text
        QCOMPARE(sheet.text(1, 0), QStringLiteral("1"));
        QCOMPARE(sheet.text(2, 0), QStringLiteral("2"));
        QCOMPARE(sheet.text(2, 31), QString::number(200 + 30 * 0.5, 'f', 3));
        QCOMPARE(sheet.columns, 32);
    }

    void cancelledSaveDialog_data()
    {
        QTest::addColumn<bool>("retry");
        QTest::newRow("No empties the table") << false;
        QTest::newRow("Yes shows the save dialog again") << true;
    }

    void cancelledSaveDialog()
    {
        QFETCH(bool, retry);
        fillRecordsTable(*table, 2, recordHeaders);
        dialogs.setNextAnswer(retry); // after the first cancelled dialog
        dialogs.setNextAnswer(false); // after the second, if any
        QVERIFY(!exportRecords());
        QList<Shown::Kind> expected{Shown::SaveFile, Shown::Question};
        if (retry)
            expected << Shown::SaveFile << Shown::Question;
        QCOMPARE(kinds(dialogs), expected);
        QCOMPARE(dialogs.questionTexts().first(), QStringLiteral("导出数据失败，是否重新保存数据？"));
        QCOMPARE(dialogs.shown().at(1).title, QStringLiteral("提示"));
        QCOMPARE(emptied, 1);
        QCOMPARE(table->rowCount(), 0);
    }

    void cancelAfterFirstRowStillSaves()
    {
        fillRecordsTable(*table, 5, recordHeaders);
        const QString file = path(QStringLiteral("cancelled.xls"));
        dialogs.setNextFileName(file);
        dialogs.cancelProgressAt(1);
        QVERIFY(exportRecords());
        QCOMPARE(dialogs.informationTexts(), QStringList{QStringLiteral("导出数据成功！")});
        QCOMPARE(table->rowCount(), 0);
        XlrdReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheet(0).rows, 2);
        QCOMPARE(xlrd.sheet(0).text(1, 3), QStringLiteral("1.4"));
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
        fillRecordsTable(*table, 2, recordHeaders);
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
        QVERIFY(!exportRecords());
        QCOMPARE(kinds(dialogs), (QList<Shown::Kind>{Shown::SaveFile, Shown::Question, Shown::SaveFile, Shown::Progress,
                                                     Shown::Information}));
        QCOMPARE(fileBytes(locked), QByteArray("the user's workbook"));
        QCOMPARE(emptied, 1);
        XlrdReader xlrd;
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
        if (cause == QLatin1String("template")) {
            TestTemplates::Options encrypted;
            encrypted.encrypted = true;
            QVERIFY(TestTemplates::writeTemplate(path(QStringLiteral("template.xls")), encrypted));
            fillRecordsTable(*table, 3, recordHeaders);
        } else {
            fillRecordsTable(*table, 0, {QStringLiteral("名称"), QStringLiteral("操作")});
            table->setRowCount(65536);
            for (int r = 0; r < 65536; ++r)
                table->setItem(r, 0, new QTableWidgetItem(QString::number(r)));
        }
        const QString file = path(QStringLiteral("previous.xls"));
        QVERIFY(writeFile(file, "an earlier export"));
        dialogs.setNextFileName(file);
        dialogs.setNextAnswer(false);
        QVERIFY(!exportRecords());
        QCOMPARE(kinds(dialogs), (QList<Shown::Kind>{Shown::SaveFile, Shown::Progress, Shown::Question}));
        QVERIFY(dialogs.progressLogs().at(0)->hidden);
        QCOMPARE(fileBytes(file), QByteArray("an earlier export"));
        QCOMPARE(emptied, 1);
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).size(),
                 cause == QLatin1String("template") ? 2 : 1);
    }

    void existingFileIsReplaced()
    {
        const QString file = path(QStringLiteral("again.xls"));
        fillRecordsTable(*table, 1, recordHeaders);
        dialogs.setNextFileName(file);
        QVERIFY(exportRecords());
        fillRecordsTable(*table, 2, recordHeaders);
        table->item(1, 0)->setText(QStringLiteral("second export"));
        dialogs.setNextFileName(file);
        QVERIFY(exportRecords());
        XlrdReader xlrd;
        QVERIFY2(xlrd.read(file), qPrintable(xlrd.error()));
        QCOMPARE(xlrd.sheet(0).rows, 3);
        QCOMPARE(xlrd.sheet(0).text(2, 0), QStringLiteral("second export"));
    }

    void englishTexts()
    {
        fillRecordsTable(*table, 1, recordHeaders);
        dialogs.setNextFileName(path(QStringLiteral("english.xls")));
        QVERIFY(exportRecords(false));
        QCOMPARE(dialogs.shown().at(0).title, QStringLiteral("Save Data to Excel"));
        QCOMPARE(dialogs.shown().at(1).title, QStringLiteral("Exporting data, please wait..."));
        QCOMPARE(dialogs.shown().at(1).text, QStringLiteral("Cancel"));
        QCOMPARE(dialogs.shown().at(2).title, QStringLiteral("Tip"));
        QCOMPARE(dialogs.shown().at(2).text, QStringLiteral("Exporting data success!"));

        fillRecordsTable(*table, 1, recordHeaders);
        dialogs.clear();
        dialogs.setNextAnswer(false);
        QVERIFY(!exportRecords(false));
        QCOMPARE(dialogs.questionTexts(),
                 QStringList{QStringLiteral("Exporting data failed, do you want to save the data again?")});
        QCOMPARE(dialogs.shown().at(1).title, QStringLiteral("Tip"));
    }

    void proposedFileName()
    {
        QCOMPARE(TableExport::proposedFileName(QDateTime(QDate(2024, 1, 31), QTime(15, 45, 2))),
                 QStringLiteral("Data20240131154502"));
    }
};

QTEST_MAIN(TestTableExport)
#include "tst_tableexport.moc"
