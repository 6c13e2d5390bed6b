#include "SpectralTestBench.h"
#include "SpectrumChartGeometry.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QtTest>

using Strings = QStringList;

namespace {

// A page of the given kind filled with count records by a download from the virtual meter.
std::unique_ptr<MeterPage> filledPage(SpectralTestBench &bench, int uiIndex, int count)
{
    QList<QByteArray> names;
    for (int k = 0; k < count; ++k)
        names << QByteArray("Rec") + QByteArray::number(k);
    if (!bench.connect(SpectralTestBench::image(count, 0, names)))
        return nullptr;
    auto page = bench.page(uiIndex);
    clickButton(*page, "pushButton_readRecords");
    return page;
}

QList<bool> rowBoxStates(const MeterPage &page)
{
    QList<bool> states;
    for (int r = 1; r < tableOf(page)->rowCount(); ++r)
        states << curveBox(page, r)->isChecked();
    return states;
}

QList<bool> curveFlags(const MeterPage &page)
{
    QList<bool> flags;
    for (const SpectralRecord &record : page.spectralRecords())
        flags << record.curveVisible;
    return flags;
}

} // namespace

class TestMeterPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formAndWindow();
    void construction_data();
    void construction();
    void titleRow_data();
    void titleRow();
    void tableWithoutColumns_data();
    void tableWithoutColumns();
    void untickingOneRowUnticksTheTitleBox();
    void tickingEveryRowLeavesTheTitleBoxUnticked();
    void titleBoxTicksAndUnticksEverything();
    void deletingTheMiddleRowKeepsRowsAndRecordsInStep();
    void deleteButtonsKeepWorkingAfterADelete();
    void clear_data();
    void clear();
    void nameEditing_data();
    void nameEditing();
};

void TestMeterPage::formAndWindow()
{
    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(0)));
    auto page = bench.page(1);
    QCOMPARE(page->objectName(), QStringLiteral("MeterPage"));
    QCOMPARE(page->windowTitle(), QStringLiteral("光谱数据"));
    for (const char *name : {"pushButton_readRecords", "pushButton_clearData", "pushButton_exportExcel"}) {
        auto *button = page->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(button, name);
        QCOMPARE(button->minimumSize(), QSize(200, 35));
    }
    QCOMPARE(page->findChild<QPushButton *>("pushButton_readRecords")->text(), QStringLiteral("读取测量记录"));
    QCOMPARE(page->findChild<QPushButton *>("pushButton_clearData")->text(), QStringLiteral("清除数据"));
    QCOMPARE(page->findChild<QPushButton *>("pushButton_exportExcel")->text(), QStringLiteral("导出Excel"));
    QVERIFY(page->findChild<QGridLayout *>("gridLayout_meterPage"));
    auto *chart = page->findChild<QWidget *>("widget_chart");
    QVERIFY(chart);
    QCOMPARE(chart->minimumHeight(), 200);

    QTableWidget *table = tableOf(*page);
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QVERIFY(table->horizontalHeader()->isHidden());
    QVERIFY(table->verticalHeader()->isHidden());

    // No help button; the dialog takes the desktop's width and its height less 100 pixels.
    QVERIFY(!(page->windowFlags() & Qt::WindowContextHelpButtonHint));
    const QRect available = page->screen()->availableGeometry();
    QCOMPARE(page->size(), QSize(available.width(), available.height() - 100));
}

void TestMeterPage::construction_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<QList<int>>("badChecks");
    QTest::addColumn<bool>("languageFlag");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("requests");
    QTest::addColumn<int>("mode");

    // The image's mode word is 1; only kinds 1 and 4 read it.
    QTest::newRow("kind 1") << 1 << true << QList<int>{} << true << QString() << 34 << 2 << 1;
    QTest::newRow("kind 2 reads no mode") << 2 << true << QList<int>{} << true << QString() << 34 << 1 << 0;
    QTest::newRow("kind 4") << 4 << true << QList<int>{} << false << QString() << 35 << 2 << 1;
    QTest::newRow("kind 5") << 5 << true << QList<int>{} << true << QString() << 34 << 1 << 0;
    QTest::newRow("no link") << 1 << false << QList<int>{} << true << "读取单位编号失败!" << 0 << 0 << 0;
    QTest::newRow("unit slots fail") << 1 << true << QList<int>{1} << true << "读取单位编号失败!" << 0 << 1 << 0;
    QTest::newRow("unit slots fail, English")
        << 2 << true << QList<int>{1} << false << "Failed to read unit no!" << 0 << 1 << 0;
    QTest::newRow("mode fails") << 4 << true << QList<int>{2} << true << "读取模式失败!" << 0 << 2 << 0;
    QTest::newRow("mode fails, English") << 1 << true << QList<int>{2} << false << "Failed to read mode!" << 0 << 2
                                         << 0;
}

void TestMeterPage::construction()
{
    QFETCH(int, uiIndex);
    QFETCH(bool, connected);
    QFETCH(QList<int>, badChecks);
    QFETCH(bool, languageFlag);
    QFETCH(QString, message);
    QFETCH(int, columns);
    QFETCH(int, requests);
    QFETCH(int, mode);

    SpectralTestBench bench;
    MeterImage image = SpectralTestBench::image(2, 1);
    image.faults.badCheck = badChecks;
    if (connected)
        QVERIFY(bench.connect(image));
    auto page = bench.page(uiIndex, languageFlag);

    QCOMPARE(bench.requests(), requests);
    QCOMPARE(page->meterMode(), mode);
    QCOMPARE(tableOf(*page)->columnCount(), columns);
    QVERIFY(page->spectralRecords().empty());
    if (message.isEmpty()) {
        QVERIFY(bench.dialogs.shown().isEmpty());
        QCOMPARE(page->unitSlotList().size(), 60);
        QCOMPARE(tableOf(*page)->rowCount(), 1);
        QCOMPARE(tableOf(*page)->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
        QCOMPARE(tableOf(*page)->font().pointSize(), 10);
    } else {
        QCOMPARE(bench.dialogs.informationTexts(), Strings{message});
        QCOMPARE(bench.dialogs.shown().first().title, languageFlag ? QStringLiteral("提示") : QStringLiteral("Tip"));
        QCOMPARE(bench.dialogs.shown().first().parent, page.get());
        QCOMPARE(tableOf(*page)->rowCount(), 0);
    }
}

void TestMeterPage::titleRow_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<bool>("languageFlag");
    QTest::addColumn<Strings>("leading");
    QTest::addColumn<QString>("curve");
    QTest::addColumn<QString>("operation");

    QTest::newRow("kind 1, Chinese") << 1 << true << Strings{"序号"} << "曲线"
                                     << "操作";
    QTest::newRow("kind 1, English") << 1 << false << Strings{"NO"} << "Curve"
                                     << "Operation";
    QTest::newRow("kind 4, Chinese") << 4 << true << Strings{"序号", "名称"} << "曲线"
                                     << "操作";
    QTest::newRow("kind 4, English") << 4 << false << Strings{"NO", "Test Name"} << "Curve"
                                     << "Operation";
}

void TestMeterPage::titleRow()
{
    QFETCH(int, uiIndex);
    QFETCH(bool, languageFlag);
    QFETCH(Strings, leading);
    QFETCH(QString, curve);
    QFETCH(QString, operation);

    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(0)));
    auto page = bench.page(uiIndex, languageFlag);
    QTableWidget *table = tableOf(*page);
    QCOMPARE(table->columnCount(), int(leading.size()) + 33);

    Strings titles;
    for (int c = 0; c < table->columnCount(); ++c)
        titles << cellText(*page, 0, c);
    Strings expected = leading;
    for (int nm = 400; nm <= 700; nm += 10)
        expected << QStringLiteral("%1nm").arg(nm);
    expected << QString() << operation; // the curve title is a check box, not an item
    QCOMPARE(titles, expected);
    QCOMPARE(table->item(0, 0)->textAlignment(), int(Qt::AlignCenter));

    QCheckBox *box = curveBox(*page, 0);
    QVERIFY(box);
    QCOMPARE(box->text(), curve);
    QVERIFY(box->isChecked());
    // Decimals come from the unit rows of slots 15..45 in wavelength order.
    QCOMPARE(page->decimalsList().size(), 31);
    for (int i = 0; i < 31; ++i)
        QCOMPARE(page->decimalsList().at(i), SpectralTestBench::decimalsOfColumn(i));
}

void TestMeterPage::tableWithoutColumns_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<UnitCatalog>("catalog");

    // The wavelength slots name units 20, 21 and 22.
    QTest::newRow("catalog too short") << 1 << SpectralTestBench::unitCatalog(22);
    QTest::newRow("empty catalog") << 4 << UnitCatalog{};
    QTest::newRow("wavelength unit with 2 fields") << 1 << SpectralTestBench::unitCatalog(30, {{21, 2}});
    QTest::newRow("wavelength unit with 4 fields") << 4 << SpectralTestBench::unitCatalog(30, {{22, 4}});
}

void TestMeterPage::tableWithoutColumns()
{
    QFETCH(int, uiIndex);
    QFETCH(UnitCatalog, catalog);

    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(2, 0, {"a", "b"})));
    auto page = bench.page(uiIndex, true, catalog);
    QTableWidget *table = tableOf(*page);
    QCOMPARE(table->columnCount(), 0);
    QCOMPARE(table->rowCount(), 1);
    QVERIFY(page->decimalsList().isEmpty());
    QVERIFY(bench.dialogs.shown().isEmpty());

    // A download into such a table adds no row, no record and says nothing.
    clickButton(*page, "pushButton_readRecords");
    QCOMPARE(table->columnCount(), 0);
    QCOMPARE(table->rowCount(), 1);
    QVERIFY(page->spectralRecords().empty());
    QVERIFY(bench.dialogs.informationTexts().isEmpty());
    QVERIFY(!page->appendSpectralRow(SpectralRecord(), QString()));
    QCOMPARE(table->rowCount(), 1);
}

void TestMeterPage::untickingOneRowUnticksTheTitleBox()
{
    SpectralTestBench bench;
    auto page = filledPage(bench, 1, 3);
    QVERIFY(page);
    QCOMPARE(tableOf(*page)->rowCount(), 4);
    QCOMPARE(rowBoxStates(*page), (QList<bool>{true, true, true}));

    curveBox(*page, 2)->click();
    QCOMPARE(curveFlags(*page), (QList<bool>{true, false, true}));
    QCOMPARE(rowBoxStates(*page), (QList<bool>{true, false, true}));
    QVERIFY(!curveBox(*page, 0)->isChecked());
    // The chart follows: only records 0 and 2 are drawn.
    const SpectrumChart chart = SpectrumChartGeometry::compute(QRectF(0, 0, 500, 200), page->spectralRecords(), true);
    QCOMPARE(chart.curves.size(), 2);
    QCOMPARE(chart.curves[1].recordIndex, 2);
}

void TestMeterPage::tickingEveryRowLeavesTheTitleBoxUnticked()
{
    SpectralTestBench bench;
    auto page = filledPage(bench, 2, 3);
    QVERIFY(page);
    for (int r = 1; r <= 3; ++r)
        curveBox(*page, r)->click();
    QCOMPARE(curveFlags(*page), (QList<bool>{false, false, false}));
    QVERIFY(!curveBox(*page, 0)->isChecked());
    for (int r = 1; r <= 3; ++r)
        curveBox(*page, r)->click();
    QCOMPARE(curveFlags(*page), (QList<bool>{true, true, true}));
    QCOMPARE(rowBoxStates(*page), (QList<bool>{true, true, true}));
    QVERIFY(!curveBox(*page, 0)->isChecked());
}

void TestMeterPage::titleBoxTicksAndUnticksEverything()
{
    SpectralTestBench bench;
    auto page = filledPage(bench, 4, 3);
    QVERIFY(page);
    curveBox(*page, 1)->click();
    curveBox(*page, 3)->click();
    QCOMPARE(curveFlags(*page), (QList<bool>{false, true, false}));

    curveBox(*page, 0)->click(); // unticked -> ticked
    QVERIFY(curveBox(*page, 0)->isChecked());
    QCOMPARE(curveFlags(*page), (QList<bool>{true, true, true}));
    QCOMPARE(rowBoxStates(*page), (QList<bool>{true, true, true}));
    QCOMPARE(SpectrumChartGeometry::compute(QRectF(0, 0, 500, 200), page->spectralRecords(), true).curves.size(), 3);

    curveBox(*page, 0)->click(); // ticked -> unticked
    QCOMPARE(curveFlags(*page), (QList<bool>{false, false, false}));
    QCOMPARE(rowBoxStates(*page), (QList<bool>{false, false, false}));
    QVERIFY(SpectrumChartGeometry::compute(QRectF(0, 0, 500, 200), page->spectralRecords(), true).curves.isEmpty());
}

void TestMeterPage::deletingTheMiddleRowKeepsRowsAndRecordsInStep()
{
    SpectralTestBench bench;
    auto page = filledPage(bench, 4, 3);
    QVERIFY(page);
    curveBox(*page, 3)->click(); // record 2 unticked: its flag must move with it
    const SpectralRecord third = page->spectralRecords().at(2);

    deleteButton(*page, 2)->click();
    QTableWidget *table = tableOf(*page);
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(page->spectralRecords().size(), size_t(2));
    QCOMPARE(cellText(*page, 1, 0), QStringLiteral("1"));
    QCOMPARE(cellText(*page, 2, 0), QStringLiteral("2"));
    QCOMPARE(table->item(2, 0)->textAlignment(), int(Qt::AlignCenter));
    QCOMPARE(cellText(*page, 1, 1), QStringLiteral("Rec0"));
    QCOMPARE(cellText(*page, 2, 1), QStringLiteral("Rec2"));
    // Row 2 and record 1 are now what was the third record.
    QCOMPARE(page->spectralRecords().at(1).values, third.values);
    QCOMPARE(page->spectralRecords().at(1).curveVisible, false);
    QCOMPARE(curveBox(*page, 2)->isChecked(), false);
    QCOMPARE(cellText(*page, 2, 2), QString::number(double(third.values[0]), 'f', 0));

    // The chart draws only the first record now; the title row has no delete button.
    const SpectrumChart chart = SpectrumChartGeometry::compute(QRectF(0, 0, 500, 200), page->spectralRecords(), true);
    QCOMPARE(chart.curves.size(), 1);
    QCOMPARE(chart.curves[0].recordIndex, 0);
    QVERIFY(!deleteButton(*page, 0));
}

void TestMeterPage::deleteButtonsKeepWorkingAfterADelete()
{
    SpectralTestBench bench;
    auto page = filledPage(bench, 1, 4);
    QVERIFY(page);
    const SpectralRecord last = page->spectralRecords().at(3);
    deleteButton(*page, 1)->click();
    deleteButton(*page, 1)->click();
    QCOMPARE(tableOf(*page)->rowCount(), 3);
    QCOMPARE(page->spectralRecords().size(), size_t(2));
    QCOMPARE(page->spectralRecords().at(1).values, last.values);
    deleteButton(*page, 2)->click();
    deleteButton(*page, 1)->click();
    QCOMPARE(tableOf(*page)->rowCount(), 1);
    QVERIFY(page->spectralRecords().empty());
    QVERIFY(bench.dialogs.questionTexts().isEmpty()); // no confirmation
    QVERIFY(bench.dialogs.informationTexts().isEmpty());
}

void TestMeterPage::clear_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("languageFlag");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("rowsAfter");

    QTest::newRow("title row only: no question") << 0 << QList<bool>{} << true << 0 << 1;
    QTest::newRow("No keeps everything") << 2 << QList<bool>{false} << true << 1 << 3;
    QTest::newRow("Yes clears") << 2 << QList<bool>{true} << false << 1 << 1;
}

void TestMeterPage::clear()
{
    QFETCH(int, records);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, languageFlag);
    QFETCH(int, questions);
    QFETCH(int, rowsAfter);

    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(records)));
    auto page = bench.page(1, languageFlag);
    clickButton(*page, "pushButton_readRecords");
    QCOMPARE(tableOf(*page)->rowCount(), records + 1);
    bench.dialogs.clear();
    for (bool answer : answers)
        bench.dialogs.setNextAnswer(answer);

    clickButton(*page, "pushButton_clearData");
    QCOMPARE(bench.dialogs.questionTexts().size(), questions);
    if (questions) {
        QCOMPARE(bench.dialogs.questionTexts().first(),
                 languageFlag
                     ? QStringLiteral("清除数据将会清除所有的记录，是否确认清除?")
                     : QStringLiteral("Clear data will clear all records. Are you sure you want to clear it?"));
    }
    QCOMPARE(tableOf(*page)->rowCount(), rowsAfter);
    QCOMPARE(int(page->spectralRecords().size()), rowsAfter - 1);
    QCOMPARE(tableOf(*page)->columnCount(), 34);
    QCOMPARE(cellText(*page, 0, 1), QStringLiteral("400nm"));
}

void TestMeterPage::nameEditing_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("editor");

    QTest::newRow("kind 4 name cell") << 4 << 2 << 1 << true;
    QTest::newRow("kind 4 value cell") << 4 << 2 << 2 << false;
    QTest::newRow("kind 4 number cell") << 4 << 2 << 0 << false;
    QTest::newRow("kind 4 title row") << 4 << 0 << 1 << false;
    QTest::newRow("kind 1 first value cell") << 1 << 2 << 1 << false;
}

void TestMeterPage::nameEditing()
{
    QFETCH(int, uiIndex);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, editor);

    SpectralTestBench bench;
    auto page = filledPage(bench, uiIndex, 2);
    QVERIFY(page);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
    QTableWidget *table = tableOf(*page);
    QVERIFY(QMetaObject::invokeMethod(table, "cellDoubleClicked", Q_ARG(int, row), Q_ARG(int, column)));
    auto *lineEdit = qobject_cast<QLineEdit *>(table->indexWidget(table->model()->index(row, column)));
    QCOMPARE(lineEdit != nullptr, editor);
    if (editor) {
        lineEdit->setText(QStringLiteral("Lamp B"));
        QTest::keyClick(lineEdit, Qt::Key_Return);
        // The delegate commits the edit from the event loop.
        QTRY_COMPARE(cellText(*page, row, column), QStringLiteral("Lamp B"));
    }
}

QTEST_MAIN(TestMeterPage)
#include "tst_MeterPage.moc"
