// SPDX-License-Identifier: GPL-3.0-or-later
// The command line writes the very workbook the window's export writes: the records page (and the
// spectral page it opens) are driven through their real identification, download and table
// export (scripted dialogs) against the virtual meter, lumivane-cli runs against the same meter
// image, and the two files are compared byte for byte and cell by cell.

#include "CliTestSupport.h"
#include "FirstPage.h"
#include "MeterImage.h"
#include "MeterPage.h"
#include "MeterSession.h"
#include "RecordsTableModel.h"
#include "ScriptedUserDialogs.h"
#include "SpectralTableModel.h"
#include "VirtualMeterTransport.h"

#include <QtTest>

using namespace CliTest;

namespace {

const QString catalogs = QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files");

MeterImage image(const QString &sample)
{
    MeterImage meter;
    QString error;
    if (!MeterImage::fromFile(samplePath(sample), meter, error))
        qFatal("sample %s: %s", qPrintable(sample), qPrintable(error));
    return meter;
}

// The sheet about the meter that both workbooks carry. The download time differs by the moments
// the two downloads ended: it is checked for its form and then left out.
Grid meterSheet(const QString &fileName)
{
    Grid grid;
    QString error;
    if (!readXls(fileName, 2, grid, error, 1))
        qFatal("%s: %s", qPrintable(fileName), qPrintable(error));
    for (QStringList &row : grid) {
        static const QRegularExpression time(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
        if (time.match(row.value(1)).hasMatch())
            row[1].clear();
    }
    return grid;
}

} // namespace

class TestCliMatchesWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(runtime.isValid()); }
    void recordsWorkbook_data();
    void recordsWorkbook();
    void spectraWorkbook_data();
    void spectraWorkbook();

private:
    QTemporaryDir runtime;
};

void TestCliMatchesWindow::recordsWorkbook_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<bool>("chinese");
    for (const char *sample : {"kind1", "kind1-ppfd", "kind2", "kind3", "kind4", "kind4-ppfd", "kind5", "kind6"})
        for (const bool chinese : {true, false})
            QTest::addRow("%s %s", sample, chinese ? "zh" : "en") << sample << chinese;
}

void TestCliMatchesWindow::recordsWorkbook()
{
    QFETCH(QString, sample);
    QFETCH(bool, chinese);
    QTemporaryDir work;
    const QString windowFile = work.filePath(QStringLiteral("window.xls"));
    const QString cliFile = work.filePath(QStringLiteral("cli.xls"));

    {
        MeterSession session;
        ScriptedUserDialogs dialogs;
        FirstPage page(session, dialogs, catalogs);
        page.setLanguageFlag(chinese);
        QVERIFY(session.openUsb(std::make_unique<VirtualMeterTransport>(image(sample))));
        page.identifyMeter();
        page.on_pushButton_readRecords_clicked();
        QCOMPARE(dialogs.informationTexts(), QStringList());
        QVERIFY(page.recordsModel().rowCount() > 0);
        dialogs.setNextFileName(windowFile);
        QVERIFY(page.on_pushButton_exportExcel_clicked());
        QCOMPARE(page.recordsModel().rowCount(), 0); // exported and emptied
    }

    const Result result =
        run({QStringLiteral("--virtual-meter"), samplePath(sample), QStringLiteral("--catalog-dir"), catalogs,
             QStringLiteral("--lang"), chinese ? QStringLiteral("zh") : QStringLiteral("en"), QStringLiteral("records"),
             QStringLiteral("-o"), cliFile},
            work.path(), runtime.path());
    QCOMPARE(result.exitCode, 0);

    const Grid golden = recordsGolden(sample, chinese);
    Grid windowGrid, cliGrid;
    QString error;
    QVERIFY2(readXls(windowFile, int(golden.first().size()), windowGrid, error), qPrintable(error));
    QVERIFY2(readXls(cliFile, int(golden.first().size()), cliGrid, error), qPrintable(error));
    QCOMPARE(cliGrid, windowGrid);
    QCOMPARE(cliGrid, golden);
    const Grid meter = meterSheet(cliFile);
    QCOMPARE(meter, meterSheet(windowFile));
    QCOMPARE(meter.size(), 9);
    QCOMPARE(meter.at(6).at(1), QString()); // the download time was there
    QCOMPARE(meter.at(5).at(1), QString::number(golden.size() - 1));
    // The statistics of the records after it: a column per numeric column, the same in both.
    Grid windowStatistics, cliStatistics;
    const int columns = int(golden.first().size()) + 1;
    QVERIFY2(readXls(windowFile, columns, windowStatistics, error, 2), qPrintable(error));
    QVERIFY2(readXls(cliFile, columns, cliStatistics, error, 2), qPrintable(error));
    QCOMPARE(cliStatistics, windowStatistics);
    QCOMPARE(cliStatistics.size(), 9); // titles, rows, values, min, max, mean, SD, U0, Ud
    QCOMPARE(cliStatistics.at(1).at(1), QString::number(golden.size() - 1));
}

void TestCliMatchesWindow::spectraWorkbook_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("chinese");
    const QList<QPair<const char *, int>> samples{{"kind1", 1}, {"kind1-ppfd", 1}, {"kind2", 2}, {"kind3", 3},
                                                  {"kind4", 4}, {"kind4-ppfd", 4}, {"kind5", 5}};
    for (const auto &sample : samples)
        for (const bool chinese : {true, false})
            QTest::addRow("%s %s", sample.first, chinese ? "zh" : "en") << sample.first << sample.second << chinese;
}

void TestCliMatchesWindow::spectraWorkbook()
{
    QFETCH(QString, sample);
    QFETCH(int, kind);
    QFETCH(bool, chinese);
    QTemporaryDir work;
    const QString windowFile = work.filePath(QStringLiteral("window.xls"));
    const QString cliFile = work.filePath(QStringLiteral("cli.xls"));

    {
        // The window: the records page identifies the meter, its spectral-data button opens the
        // spectral page with the page's kind, unit catalog and language; the user downloads and
        // exports there.
        MeterSession session;
        ScriptedUserDialogs dialogs;
        FirstPage records(session, dialogs, catalogs);
        records.setLanguageFlag(chinese);
        QVERIFY(session.openUsb(std::make_unique<VirtualMeterTransport>(image(sample))));
        records.identifyMeter();
        QCOMPARE(records.meterKind(), kind);
        MeterPage spectral(records.meterKind(), records.units(), records.isChinese(), session, dialogs);
        spectral.setMeterIdentity(records.meterIdentity());
        QVERIFY(QMetaObject::invokeMethod(&spectral, "on_pushButton_readRecords_clicked"));
        QCOMPARE(dialogs.informationTexts(), QStringList());
        QVERIFY(spectral.spectralModel().recordCount() > 0);
        dialogs.setNextFileName(windowFile);
        bool exported = false;
        QVERIFY(
            QMetaObject::invokeMethod(&spectral, "on_pushButton_exportExcel_clicked", Q_RETURN_ARG(bool, exported)));
        QVERIFY(exported);
    }

    const Result result =
        run({QStringLiteral("--virtual-meter"), samplePath(sample), QStringLiteral("--catalog-dir"), catalogs,
             QStringLiteral("--lang"), chinese ? QStringLiteral("zh") : QStringLiteral("en"), QStringLiteral("spectra"),
             QStringLiteral("-o"), cliFile},
            work.path(), runtime.path());
    QCOMPARE(result.exitCode, 0);

    const Grid expected = expectedSpectra(sample, kind, chinese);
    Grid windowGrid, cliGrid;
    QString error;
    QVERIFY2(readXls(windowFile, int(expected.first().size()), windowGrid, error), qPrintable(error));
    QVERIFY2(readXls(cliFile, int(expected.first().size()), cliGrid, error), qPrintable(error));
    QCOMPARE(cliGrid, windowGrid);
    QCOMPARE(cliGrid, expected);
    QCOMPARE(meterSheet(cliFile), meterSheet(windowFile));
}

QTEST_MAIN(TestCliMatchesWindow)
#include "tst_climatcheswindow.moc"
