// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourTableModel.h"
#include "SpectralTestBench.h"
#include "WorkbookReader.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

using Shown = ScriptedUserDialogs::Shown;

bool exportSlot(MeterPage &page, const char *slot = "on_pushButton_exportExcel_clicked")
{
    bool result = false;
    QMetaObject::invokeMethod(&page, slot, Q_RETURN_ARG(bool, result));
    return result;
}

QStringList rowTexts(const MeterPage &page, int row)
{
    QStringList texts;
    for (int c = 0; c < columnCount(page); ++c)
        texts << cellText(page, row, c);
    return texts;
}

} // namespace

// The spectral table goes to an Excel workbook through the export both pages share.
class TestSpectralExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void titleRowAloneIsNotExported();
    void exportWritesTheRecordRows_data();
    void exportWritesTheRecordRows();
    void unfinishedExportKeepsTheRecords_data();
    void unfinishedExportKeepsTheRecords();
    void savingFirstThenDownloading();
    void colourExportKeepsTheSpectra();

private:
    QTemporaryDir directory;
};

void TestSpectralExport::initTestCase()
{
    QVERIFY(directory.isValid());
}

void TestSpectralExport::titleRowAloneIsNotExported()
{
    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(0)));
    auto page = bench.page(1);
    QVERIFY(!exportSlot(*page));
    clickButton(*page, "pushButton_exportExcel");
    QVERIFY(bench.dialogs.shown().isEmpty());
    QCOMPARE(rowCount(*page), 1);
}

void TestSpectralExport::exportWritesTheRecordRows_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<bool>("languageFlag");
    QTest::addColumn<QStringList>("leadingTitles");

    QTest::newRow("kind 1, Chinese") << 1 << true << QStringList{"序号"};
    QTest::newRow("kind 4, English") << 4 << false << QStringList{"NO", "Test Name"};
}

void TestSpectralExport::exportWritesTheRecordRows()
{
    QFETCH(int, uiIndex);
    QFETCH(bool, languageFlag);
    QFETCH(QStringList, leadingTitles);
    if (WorkbookReader::python().isEmpty())
        QSKIP("python3-xlrd is not installed");

    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(2, 0, {"Lamp A", "Lamp B"})));
    auto page = bench.page(uiIndex, languageFlag);
    clickButton(*page, "pushButton_readRecords");
    const QStringList first = rowTexts(*page, 1);
    const QStringList second = rowTexts(*page, 2);
    const int columns = columnCount(*page);
    bench.dialogs.clear();

    const QString fileName = directory.filePath(QStringLiteral("spectra-%1.xls").arg(uiIndex));
    bench.dialogs.setNextFileName(fileName);
    QVERIFY(exportSlot(*page));

    QCOMPARE(bench.dialogs.informationTexts(),
             QStringList{languageFlag ? QStringLiteral("导出数据成功！") : QStringLiteral("Exporting data success!")});
    QCOMPARE(bench.dialogs.shown().first().kind, Shown::SaveFile);
    QCOMPARE(bench.dialogs.shown().at(1).kind, Shown::Progress);
    QCOMPARE(bench.dialogs.shown().at(1).maximum, 3); // the table's row count, title row included
    // The table is emptied the spectral page's way: title row and columns stay, records go.
    QCOMPARE(rowCount(*page), 1);
    QCOMPARE(columnCount(*page), columns);
    QVERIFY(page->spectralRecords().empty());
    QVERIFY(isCurveTicked(*page, 0));

    WorkbookReader reader;
    QVERIFY2(reader.read(fileName), qPrintable(reader.error()));
    const WorkbookReader::Sheet &sheet = reader.sheet(0);
    QCOMPARE(sheet.rows, 3);
    // Titles from the title row; the curve column (a check box) has none; no button column.
    const int curveColumn = columns - 2;
    for (int c = 0; c < leadingTitles.size(); ++c)
        QCOMPARE(sheet.text(0, c), leadingTitles.at(c));
    QCOMPARE(sheet.text(0, int(leadingTitles.size())), QStringLiteral("400nm"));
    QCOMPARE(sheet.text(0, curveColumn - 1), QStringLiteral("700nm"));
    QVERIFY(!sheet.has(0, curveColumn) || sheet.text(0, curveColumn).isEmpty());
    QVERIFY(sheet.columns <= columns - 1);
    for (int c = 0; c < curveColumn; ++c) {
        QCOMPARE(sheet.text(1, c), first.at(c));
        QCOMPARE(sheet.text(2, c), second.at(c));
    }
}

void TestSpectralExport::unfinishedExportKeepsTheRecords_data()
{
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("saveDialogs");
    QTest::addColumn<bool>("cancel"); // in the progress dialog, after a file name; else every save dialog is cancelled

    // A cancelled save dialog is no failure: nothing is asked.
    QTest::newRow("save dialog cancelled") << QList<bool>{} << 1 << false;
    QTest::newRow("progress cancelled") << QList<bool>{} << 1 << true;
}

void TestSpectralExport::unfinishedExportKeepsTheRecords()
{
    QFETCH(QList<bool>, answers);
    QFETCH(int, saveDialogs);
    QFETCH(bool, cancel);

    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(2)));
    auto page = bench.page(1);
    clickButton(*page, "pushButton_readRecords");
    bench.dialogs.clear();
    for (bool answer : answers)
        bench.dialogs.setNextAnswer(answer);
    const QString fileName = directory.filePath(QStringLiteral("unfinished.xls"));
    if (cancel) {
        bench.dialogs.setNextFileName(fileName);
        bench.dialogs.cancelProgressAt(1);
    }

    QVERIFY(!exportSlot(*page));
    int shownSaveDialogs = 0;
    for (const Shown &s : bench.dialogs.shown())
        shownSaveDialogs += s.kind == Shown::SaveFile;
    QCOMPARE(shownSaveDialogs, saveDialogs);
    QCOMPARE(bench.dialogs.questionTexts(),
             QStringList(answers.size(), QStringLiteral("导出数据失败，是否重新保存数据？")));
    QCOMPARE(bench.dialogs.informationTexts(),
             cancel ? QStringList{QStringLiteral("导出已取消，未写入任何文件。")} : QStringList());
    QVERIFY(!QFileInfo::exists(fileName));
    QCOMPARE(rowCount(*page), 3);
    QCOMPARE(page->spectralRecords().size(), size_t(2));
}

void TestSpectralExport::savingFirstThenDownloading()
{
    if (WorkbookReader::python().isEmpty())
        QSKIP("python3-xlrd is not installed");
    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(3)));
    auto page = bench.page(2);
    clickButton(*page, "pushButton_readRecords");
    clickDeleteButton(*page, 1); // two rows left to save
    bench.dialogs.clear();

    const QString fileName = directory.filePath(QStringLiteral("saved-first.xls"));
    bench.dialogs.setNextAnswer(true);
    bench.dialogs.setNextFileName(fileName);
    clickButton(*page, "pushButton_readRecords");

    QCOMPARE(bench.dialogs.informationTexts(), QStringList{QStringLiteral("导出数据成功！")});
    WorkbookReader reader;
    QVERIFY2(reader.read(fileName), qPrintable(reader.error()));
    QCOMPARE(reader.sheet(0).rows, 3);
    QCOMPARE(reader.sheet(0).text(1, 0), QStringLiteral("1"));
    // The download went on after the export: all three records are back.
    QCOMPARE(rowCount(*page), 4);
    QCOMPARE(page->spectralRecords().size(), size_t(3));
}

void TestSpectralExport::colourExportKeepsTheSpectra()
{
    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(2, 0, {"Lamp A", "Lamp B"})));
    auto page = bench.page(4, false);
    QVERIFY(!exportSlot(*page, "on_pushButton_exportColour_clicked")); // nothing to export yet
    clickButton(*page, "pushButton_readRecords");
    bench.dialogs.clear();

    const QString fileName = directory.filePath(QStringLiteral("colour.csv"));
    bench.dialogs.setNextFileName(fileName);
    QVERIFY(exportSlot(*page, "on_pushButton_exportColour_clicked"));
    QCOMPARE(bench.dialogs.informationTexts(), QStringList{QStringLiteral("Exporting data success!")});
    // The colour table is computed from the spectra: both tables stay.
    QCOMPARE(rowCount(*page), 3);
    QCOMPARE(page->colourModel().rowCount(), 2);

    // The file holds the colour table as the page shows it, and the four α-opic ratios the page
    // leaves out.
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 3);
    const ColourTableModel &colours = page->colourModel();
    for (int row = -1; row < 2; ++row) {
        QStringList texts;
        for (int c = 0; c < colours.columnCount(); ++c) {
            // The header puts a unit on a line of its own; the file's title keeps it on one line.
            texts << (row < 0 ? colours.headerData(c, Qt::Horizontal).toString().remove(QLatin1Char('\n'))
                              : colours.data(colours.index(row, c)).toString());
        }
        const QStringList fields = lines.at(row + 1).trimmed().split(QLatin1Char(','));
        QCOMPARE(fields.size(), colours.columnCount() + 4);
        QCOMPARE(fields.mid(0, colours.columnCount()), texts);
    }
    QCOMPARE(lines.at(2).split(QLatin1Char(',')).mid(0, 2), (QStringList{"2", "Lamp B"}));
}

QTEST_MAIN(TestSpectralExport)
#include "tst_SpectralExport.moc"
