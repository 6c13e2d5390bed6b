// The command line writes the very workbook the window's export writes: the records page is
// driven through its real identification, download and table export (scripted dialogs) against
// the virtual meter, lumivane-cli runs against the same meter image, and the two files are
// compared byte for byte and cell by cell.

#include "CliTestSupport.h"
#include "FirstPage.h"
#include "MeterImage.h"
#include "MeterSession.h"
#include "ScriptedUserDialogs.h"
#include "TableExport.h"
#include "VirtualMeterTransport.h"

#include <QTableWidget>
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

} // namespace

class TestCliMatchesWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(runtime.isValid()); }
    void recordsWorkbook_data();
    void recordsWorkbook();

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
        auto *table = page.findChild<QTableWidget *>(QStringLiteral("tableWidget_data"));
        QVERIFY(table && table->rowCount() > 0);
        dialogs.setNextFileName(windowFile);
        QVERIFY(TableExport::exportTable(&page, table, dialogs, chinese,
                                         TableExportLayout::recordsTable(page.exportHeaders()),
                                         [table] { table->setRowCount(0); }));
    }

    const Result result = run({QStringLiteral("--virtual-meter"), samplePath(sample), QStringLiteral("--catalog-dir"),
                               catalogs, QStringLiteral("--lang"), chinese ? QStringLiteral("zh") : QStringLiteral("en"),
                               QStringLiteral("records"), QStringLiteral("-o"), cliFile},
                              work.path(), runtime.path());
    QCOMPARE(result.exitCode, 0);

    const Grid golden = recordsGolden(sample, chinese);
    Grid windowGrid, cliGrid;
    QString error;
    QVERIFY2(readXls(windowFile, int(golden.first().size()), windowGrid, error), qPrintable(error));
    QVERIFY2(readXls(cliFile, int(golden.first().size()), cliGrid, error), qPrintable(error));
    QCOMPARE(cliGrid, windowGrid);
    QCOMPARE(cliGrid, golden);
    QCOMPARE(readFile(cliFile), readFile(windowFile));
}

QTEST_MAIN(TestCliMatchesWindow)
#include "tst_climatcheswindow.moc"
