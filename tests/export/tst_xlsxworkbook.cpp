// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExportTable.h"
#include "RecordingProgress.h"
#include "WorkbookReader.h"
#include "XlsxWorkbook.h"

#include <QtTest>

#include <memory>

namespace {

using Batches = QList<int>; // data rows per appendRows call

} // namespace

// The .xlsx writer as openpyxl reads its files back, and what it refuses without touching the target.
class TestXlsxWorkbook : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString file; // the target, in dir

    QStringList folderEntries() const
    {
        return QDir(dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

private Q_SLOTS:
    // Every workbook replaces an earlier file.
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        file = dir->filePath(QStringLiteral("book.xlsx"));
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("an earlier export") == 17);
    }

    void batchesAndSheets_data()
    {
        QTest::addColumn<Batches>("batches");
        QTest::addColumn<bool>("titles");
        QTest::addColumn<bool>("sheetTitles");
        QTest::newRow("one table") << Batches{3} << true << true;
        QTest::newRow("three batches") << Batches{2, 1, 3} << true << false;
        QTest::newRow("batches without titles") << Batches{1, 2} << false << true;
    }

    void batchesAndSheets()
    {
        QFETCH(Batches, batches);
        QFETCH(bool, titles);
        QFETCH(bool, sheetTitles);
        // Replacing the earlier file keeps its permissions and leaves nothing else in the folder.
        const auto permissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(file, permissions));
        XlsxWorkbook workbook(file);
        QVERIFY(workbook.open());
        RecordingProgress progress;
        QStringList texts; // of the data rows, in order
        for (int b = 0; b < batches.size(); ++b) {
            ExportTable table(batches.at(b), 2);
            table.setHeaderText(1, QStringLiteral("title%1").arg(b));
            for (int r = 0; r < batches.at(b); ++r)
                table.setCellText(r, 0, texts.emplace_back(QStringLiteral("b%1r%2").arg(b).arg(r)));
            QVERIFY(workbook.appendRows(table, titles && b == 0, &progress));
        }
        QCOMPARE(progress.values.size(), texts.size());
        QCOMPARE(progress.values.last(), texts.size()); // counted over all batches
        ExportTable second(1, 1);
        second.setCellNumber(0, 0, QStringLiteral("2.5"));
        if (sheetTitles)
            second.setHeaderText(0, QStringLiteral("Spectrum"));
        QVERIFY(workbook.appendSheet(QStringLiteral("光谱 2"), second));
        QVERIFY(!workbook.appendSheet(QStringLiteral("Sheet1"), second)); // a name taken
        QVERIFY(workbook.save());
        QCOMPARE(folderEntries(), QStringList{QStringLiteral("book.xlsx")});
        QCOMPARE(QFileInfo(file).permissions() & QFileDevice::Permissions(0x7077), permissions);

        WorkbookReader reader;
        QVERIFY2(reader.read(file), qPrintable(reader.error()));
        QCOMPARE(reader.sheets().size(), 2);
        const WorkbookReader::Sheet &first = reader.sheets().at(0);
        QCOMPARE(first.cells.size(), texts.size() + (titles ? 1 : 0)); // titles once
        QCOMPARE(first.cell(0, 1).value.toString(), titles ? QStringLiteral("title0") : QString());
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(first.cell(i + (titles ? 1 : 0), 0).value.toString(), texts.at(i));
        const WorkbookReader::Sheet &added = reader.sheets().at(1);
        QCOMPARE(added.name, QStringLiteral("光谱 2"));
        QCOMPARE(added.cells.size(), sheetTitles ? 2 : 1);
        QCOMPARE(added.cell(0, 0).value.toString(), sheetTitles ? QStringLiteral("Spectrum") : QStringLiteral("2.5"));
        QCOMPARE(added.cell(sheetTitles ? 1 : 0, 0).numberFormat, QStringLiteral("0.0"));
    }

    void refusals_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("textLength");
        QTest::addColumn<int>("cancelAt"); // over both batches; -1: the target is read-only
        QTest::addColumn<bool>("fits");
        // Sheet row 1 holds the titles, row 2 the first batch's one row.
        QTest::newRow("down to the last sheet row") << XlsxWorkbook::MaxRows - 2 << 1 << 1 << 0 << true;
        QTest::newRow("one row past the last") << XlsxWorkbook::MaxRows - 1 << 1 << 1 << 0 << false;
        QTest::newRow("16,384 columns") << 1 << XlsxWorkbook::MaxColumns << 1 << 0 << true;
        QTest::newRow("16,385 columns") << 1 << XlsxWorkbook::MaxColumns + 1 << 1 << 0 << false;
        QTest::newRow("32,767 characters") << 1 << 1 << 32767 << 0 << true;
        QTest::newRow("32,768 characters") << 1 << 1 << 32768 << 0 << false;
        QTest::newRow("cancel at the batch's first row") << 3 << 1 << 1 << 2 << false;
        QTest::newRow("cancel at its last row") << 3 << 1 << 1 << 4 << false;
        QTest::newRow("read-only target") << 3 << 1 << 1 << -1 << false;
    }

    void refusals()
    {
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(int, textLength);
        QFETCH(int, cancelAt);
        QFETCH(bool, fits);
        QVERIFY(cancelAt >= 0 || QFile::setPermissions(file, QFileDevice::ReadOwner));
        ExportTable batch(rows, columns);
        batch.setCellText(rows - 1, columns - 1, QString(textLength, QLatin1Char('x')));
        XlsxWorkbook workbook(file);
        RecordingProgress progress(cancelAt);
        QCOMPARE(workbook.open(), cancelAt >= 0);
        QCOMPARE(workbook.appendRows(ExportTable::fromTexts({"title"}, {{"kept"}}, 1), true, &progress), cancelAt >= 0);
        QCOMPARE(workbook.appendRows(batch, false, &progress), fits);
        QCOMPARE(workbook.wasCancelled(), cancelAt > 0);
        // A batch that does not fit writes nothing: the rows before it are saved alone. After a
        // cancel or for a read-only target nothing is saved, and the folder holds only the target.
        QCOMPARE(workbook.save(), cancelAt == 0);
        if (cancelAt != 0) {
            QCOMPARE(progress.values.size(), qMax(cancelAt, 0));
            QCOMPARE(folderEntries(), QStringList{QStringLiteral("book.xlsx")});
            QFile old(file);
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("an earlier export"));
            return;
        }
        WorkbookReader reader;
        QVERIFY2(reader.read(file), qPrintable(reader.error()));
        const WorkbookReader::Sheet &sheet = reader.sheets().at(0);
        QCOMPARE(sheet.cell(1, 0).value.toString(), QStringLiteral("kept"));
        QCOMPARE(sheet.rows, fits ? rows + 2 : 2);
        QCOMPARE(sheet.cells.size(), fits ? 3 : 2);
        QCOMPARE(sheet.cell(rows + 1, columns - 1).value.toString().size(), fits ? textLength : 0);
    }
};

QTEST_GUILESS_MAIN(TestXlsxWorkbook)
#include "tst_xlsxworkbook.moc"
