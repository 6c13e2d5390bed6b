// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataTableView.h"
#include "SpectralTableModel.h"
#include "SpectralTestBench.h"
#include "SpectrumChartView.h"
#include "SpectrumChartGeometry.h"
#include "TableRoles.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QComboBox>
#include <QtTest>

using Strings = QStringList;

namespace {

// A page of the given kind filled with count records (named Rec0, Rec1, ...) by a download from
// the virtual meter.
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
    for (int r = 1; r < rowCount(page); ++r)
        states << isCurveTicked(page, r);
    return states;
}

QList<bool> curveFlags(const MeterPage &page)
{
    QList<bool> flags;
    for (const SpectralRecord &record : page.spectralRecords())
        flags << record.curveVisible;
    return flags;
}

int drawnCurves(const MeterPage &page)
{
    return int(SpectrumChartGeometry::compute(QRectF(0, 0, 500, 200), page.spectralRecords(), true).curves.size());
}

} // namespace

class TestMeterPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formAndWindow();
    void tableAndChartShareTheDialog();
    void construction_data();
    void construction();
    void titleRow_data();
    void titleRow();
    void unitCatalogFallback_data();
    void unitCatalogFallback();
    void curveBoxes_data();
    void curveBoxes();
    void deleteButtons_data();
    void deleteButtons();
    void clearOrClose_data();
    void clearOrClose();
    void nameEditing_data();
    void nameEditing();
    void scaleChoiceIsKept_data();
    void scaleChoiceIsKept();
};

void TestMeterPage::formAndWindow()
{
    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(0)));
    auto page = bench.page(1);
    QCOMPARE(page->objectName(), QStringLiteral("MeterPage"));
    QCOMPARE(page->windowTitle(), QStringLiteral("光谱数据"));
    for (const char *name :
         {"pushButton_readRecords", "pushButton_clearData", "pushButton_exportExcel", "pushButton_exportColour"}) {
        auto *button = page->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(button, name);
        QCOMPARE(button->minimumSize(), QSize(140, 35));
    }
    QCOMPARE(page->findChild<QPushButton *>("pushButton_readRecords")->text(), QStringLiteral("读取测量记录"));
    QCOMPARE(page->findChild<QPushButton *>("pushButton_clearData")->text(), QStringLiteral("清除数据"));
    QCOMPARE(page->findChild<QPushButton *>("pushButton_exportExcel")->text(), QStringLiteral("导出Excel"));
    auto *grid = page->findChild<QGridLayout *>("gridLayout_meterPage");
    QVERIFY(grid);
    auto *chart = page->findChild<QWidget *>("widget_chart");
    QVERIFY(chart);
    QCOMPARE(chart->minimumHeight(), 200);

    DataTableView *table = tableOf(*page);
    QVERIFY(table);
    QCOMPARE(table->model(), &page->spectralModel());
    // Below the spacer and the five buttons: the table above the charts, the boundary movable.
    auto *split = page->findChild<QSplitter *>(QStringLiteral("splitter_page"));
    QVERIFY(split);
    QCOMPARE(grid->indexOf(split), 6);
    QCOMPARE(split->indexOf(table), 0);
    QCOMPARE(split->indexOf(chart->parentWidget()->parentWidget()), 1); // the chart's pane holds its scale choice
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    // The header repeats the title row, which stays in sight when the rows scroll.
    QVERIFY(!table->horizontalHeader()->isHidden());
    QVERIFY(table->verticalHeader()->isHidden());

    // No help button; the dialog takes the desktop's width and its height less 100 pixels.
    QVERIFY(!(page->windowFlags() & Qt::WindowContextHelpButtonHint));
    const QRect available = page->screen()->availableGeometry();
    QCOMPARE(page->size(), QSize(available.width(), available.height() - 100));
}

void TestMeterPage::tableAndChartShareTheDialog()
{
    for (const bool chinese : {true, false}) {
        SpectralTestBench bench;
        QVERIFY(bench.connect(SpectralTestBench::image(3, 0, {"Office desk 1", "Stairs B2", "Lab"})));
        auto page = bench.page(4, chinese);
        clickButton(*page, "pushButton_readRecords");
        const auto *chart = page->findChild<QWidget *>(QStringLiteral("widget_chart"));
        DataTableView *table = tableOf(*page);
        for (const QSize size : {page->size(), QSize(1920, 980)}) {
            page->resize(size);
            page->show();
            QVERIFY(QTest::qWaitForWindowExposed(page.get()));
            QCoreApplication::processEvents(); // the columns are fitted once the events are handled
            QVERIFY(chart->height() * 3 >= page->height());
        }
        // At 1920 pixels every title, name and value fits its column, a check box beside its
        // title, and the last column ends inside the table: nothing to scroll to sideways.
        const int last = columnCount(*page) - 1;
        const int box = table->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, table);
        for (int c = 0; c <= last; ++c) {
            for (int r = 0; r < rowCount(*page); ++r)
                QVERIFY(table->fontMetrics().horizontalAdvance(cellText(*page, r, c)) + (c == last - 1 ? box : 0)
                        <= table->columnWidth(c));
        }
        QVERIFY(table->columnViewportPosition(last) + table->columnWidth(last) <= table->viewport()->width());
        // The title box ticks the curves but selects nothing.
        clickCurveBox(*page, 0);
        QVERIFY(!table->selectionModel()->isRowSelected(0, {}));
    }
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
    QTest::newRow("no link") << 1 << false << QList<int>{} << true << "读取单位编号失败!" << 0 << 0 << 0;
    QTest::newRow("unit slots fail, English")
        << 2 << true << QList<int>{1} << false << "Failed to read unit no!" << 0 << 1 << 0;
    QTest::newRow("mode fails") << 4 << true << QList<int>{2} << true << "读取模式失败!" << 0 << 2 << 0;
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
    QCOMPARE(page->meterState().mode, mode);
    QCOMPARE(columnCount(*page), columns);
    QVERIFY(page->spectralRecords().empty());
    if (message.isEmpty()) {
        QVERIFY(bench.dialogs.shown().isEmpty());
        QCOMPARE(page->meterState().unitSlots.size(), 60);
        QCOMPARE(rowCount(*page), 1);
        // Without "Microsoft Yahei" the font is one that draws Chinese, as the window's: digits and
        // Chinese from one font, not from some wider Latin one.
        const QFont font = tableOf(*page)->font();
        QCOMPARE(font.pointSize(), 10);
        QVERIFY(QFontDatabase::writingSystems(QFontInfo(font).family()).contains(QFontDatabase::SimplifiedChinese));
    } else {
        QCOMPARE(bench.dialogs.informationTexts(), Strings{message});
        QCOMPARE(bench.dialogs.shown().first().title, languageFlag ? QStringLiteral("提示") : QStringLiteral("Tip"));
        QCOMPARE(bench.dialogs.shown().first().parent, page.get());
        QCOMPARE(rowCount(*page), 0);
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
    QCOMPARE(columnCount(*page), int(leading.size()) + 33);

    Strings titles;
    for (int c = 0; c < columnCount(*page); ++c)
        titles << cellText(*page, 0, c);
    Strings expected = leading;
    for (int nm = 400; nm <= 700; nm += 10)
        expected << QStringLiteral("%1nm").arg(nm);
    expected << curve << operation;
    QCOMPARE(titles, expected);
    QCOMPARE(cellData(*page, 0, 0, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
    // The curve title is a ticked check box; the title row has no delete button.
    QVERIFY(isCurveTicked(*page, 0));
    QVERIFY(!cellData(*page, 0, columnCount(*page) - 1, ButtonRole).toBool());

    // Decimals come from the unit rows of slots 15..45 in wavelength order.
    const QList<int> &decimals = page->spectralModel().decimals();
    QCOMPARE(decimals.size(), 31);
    for (int i = 0; i < 31; ++i)
        QCOMPARE(decimals.at(i), SpectralTestBench::decimalsOfColumn(i));
}

void TestMeterPage::unitCatalogFallback_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<UnitCatalog>("catalog");
    QTest::addColumn<QList<int>>("decimals"); // of the wavelength columns naming units 20, 21, 22

    // The catalog gives units 20, 21, 22 0, 1, 2 decimals; the built-in table 1, 1, 2.
    QTest::newRow("catalog too short") << 1 << SpectralTestBench::unitCatalog(20) << QList<int>{1, 1, 2};
    QTest::newRow("empty catalog") << 4 << UnitCatalog{} << QList<int>{1, 1, 2};
    QTest::newRow("wavelength unit with 2 fields")
        << 1 << SpectralTestBench::unitCatalog(30, {{20, 2}}) << QList<int>{1, 1, 2};
    QTest::newRow("wavelength unit with 4 fields")
        << 4 << SpectralTestBench::unitCatalog(30, {{22, 4}}) << QList<int>{0, 1, 2};
}

void TestMeterPage::unitCatalogFallback()
{
    QFETCH(int, uiIndex);
    QFETCH(UnitCatalog, catalog);
    QFETCH(QList<int>, decimals);

    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(2, 0, {"a", "b"})));
    auto page = bench.page(uiIndex, true, catalog);
    const int firstValue = uiIndex == 4 ? 2 : 1;
    QCOMPARE(columnCount(*page), firstValue + 31 + 2);
    QCOMPARE(page->spectralModel().decimals().mid(0, 3), decimals);

    // A download fills the table as usual, each value with its column's decimals.
    clickButton(*page, "pushButton_readRecords");
    QCOMPARE(rowCount(*page), 3);
    QVERIFY(bench.dialogs.informationTexts().isEmpty());
    for (int i = 0; i < 3; ++i)
        QCOMPARE(int(cellText(*page, 2, firstValue + i).section(QLatin1Char('.'), 1).size()), decimals.at(i));
}

void TestMeterPage::curveBoxes_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<QList<int>>("clicks"); // rows whose curve box is clicked, in order
    QTest::addColumn<QList<bool>>("ticked");
    QTest::addColumn<bool>("titleTicked");

    QTest::newRow("unticking one row unticks the title box")
        << 1 << QList<int>{2} << QList<bool>{true, false, true} << false;
    // Ticking never ticks the title box, not even when every row is ticked again.
    QTest::newRow("ticking every row again")
        << 2 << QList<int>{1, 2, 3, 1, 2, 3} << QList<bool>{true, true, true} << false;
    QTest::newRow("title box ticks everything") << 4 << QList<int>{1, 3, 0} << QList<bool>{true, true, true} << true;
    QTest::newRow("title box unticks everything") << 4 << QList<int>{0} << QList<bool>{false, false, false} << false;
    QTest::newRow("title box unticked by a row, then ticked and unticked")
        << 1 << QList<int>{1, 0, 0} << QList<bool>{false, false, false} << false;
}

void TestMeterPage::curveBoxes()
{
    QFETCH(int, uiIndex);
    QFETCH(QList<int>, clicks);
    QFETCH(QList<bool>, ticked);
    QFETCH(bool, titleTicked);

    SpectralTestBench bench;
    auto page = filledPage(bench, uiIndex, 3);
    QVERIFY(page);
    QCOMPARE(rowBoxStates(*page), (QList<bool>{true, true, true}));
    QSignalSpy changes(&page->spectralModel(), &SpectralTableModel::curveVisibilityChanged);
    for (const int row : clicks)
        clickCurveBox(*page, row);
    // One change per click, naming the records it touched: the charts draw those again.
    QCOMPARE(changes.size(), clicks.size());
    for (qsizetype i = 0; i < clicks.size(); ++i) {
        const QList<QVariant> range = changes.at(i);
        QCOMPARE(range.at(0).toInt(), clicks[i] == 0 ? 0 : clicks[i] - 1);
        QCOMPARE(range.at(1).toInt(), clicks[i] == 0 ? 2 : clicks[i] - 1);
    }

    QCOMPARE(curveFlags(*page), ticked);
    QCOMPARE(rowBoxStates(*page), ticked);
    QCOMPARE(isCurveTicked(*page, 0), titleTicked);
    // The chart draws the ticked records.
    QCOMPARE(drawnCurves(*page), int(ticked.count(true)));
}

void TestMeterPage::deleteButtons_data()
{
    QTest::addColumn<QList<int>>("deletes");   // rows whose delete button is clicked, in order
    QTest::addColumn<QList<int>>("remaining"); // the records left, by their place in the meter

    QTest::newRow("middle row") << QList<int>{2} << QList<int>{0, 2, 3};
    QTest::newRow("the first row twice") << QList<int>{1, 1} << QList<int>{2, 3};
    QTest::newRow("last row, then the first") << QList<int>{4, 1} << QList<int>{1, 2};
    QTest::newRow("every row") << QList<int>{2, 2, 1, 1} << QList<int>{};
    QTest::newRow("the title row has none") << QList<int>{0} << QList<int>{0, 1, 2, 3};
}

void TestMeterPage::deleteButtons()
{
    QFETCH(QList<int>, deletes);
    QFETCH(QList<int>, remaining);

    SpectralTestBench bench;
    auto page = filledPage(bench, 4, 4);
    QVERIFY(page);
    const std::vector<SpectralRecord> downloaded = page->spectralRecords();
    clickCurveBox(*page, 3); // record 2 unticked: its flag must move with it
    for (const int row : deletes)
        clickDeleteButton(*page, row);

    QCOMPARE(rowCount(*page), int(remaining.size()) + 1);
    QCOMPARE(int(page->spectralRecords().size()), int(remaining.size()));
    for (int r = 1; r <= remaining.size(); ++r) {
        const int k = remaining.at(r - 1);
        QCOMPARE(cellText(*page, r, 0), QString::number(r)); // renumbered
        QCOMPARE(cellText(*page, r, 1), QStringLiteral("Rec%1").arg(k));
        QCOMPARE(page->spectralRecords().at(size_t(r - 1)).values, downloaded.at(size_t(k)).values);
        QCOMPARE(cellText(*page, r, 2), QString::number(double(downloaded.at(size_t(k)).values[0]), 'f', 0));
        QCOMPARE(isCurveTicked(*page, r), k != 2);
        QCOMPARE(page->spectralRecords().at(size_t(r - 1)).curveVisible, k != 2);
    }
    QCOMPARE(drawnCurves(*page), int(remaining.size() - remaining.count(2)));
    QVERIFY(bench.dialogs.questionTexts().isEmpty()); // no confirmation
    QVERIFY(bench.dialogs.informationTexts().isEmpty());
}

void TestMeterPage::clearOrClose_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<bool>("languageFlag");
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("rowsAfter");
    QTest::addColumn<QString>("action"); // the clear button, Escape or the title bar's close button

    QTest::newRow("title row only: no question") << 0 << QList<bool>{} << true << 0 << 1 << "clear";
    QTest::newRow("No keeps everything") << 2 << QList<bool>{false} << true << 1 << 3 << "clear";
    QTest::newRow("Yes clears") << 2 << QList<bool>{true} << false << 1 << 1 << "clear";
    // Closing asks only while records are there: No keeps the page open, Yes closes it.
    QTest::newRow("Escape, title row only: closed") << 0 << QList<bool>{} << true << 0 << 1 << "escape";
    QTest::newRow("Escape, No keeps it open") << 2 << QList<bool>{false} << true << 1 << 3 << "escape";
    QTest::newRow("Escape, Yes closes it") << 2 << QList<bool>{true} << false << 1 << 3 << "escape";
    QTest::newRow("close button, No keeps it open") << 1 << QList<bool>{false} << false << 1 << 2 << "close";
    QTest::newRow("close button, Yes closes it") << 1 << QList<bool>{true} << true << 1 << 2 << "close";
}

void TestMeterPage::clearOrClose()
{
    QFETCH(int, records);
    QFETCH(QList<bool>, answers);
    QFETCH(bool, languageFlag);
    QFETCH(int, questions);
    QFETCH(int, rowsAfter);
    QFETCH(QString, action);

    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(records)));
    auto page = bench.page(1, languageFlag);
    clickButton(*page, "pushButton_readRecords");
    QCOMPARE(rowCount(*page), records + 1);
    bench.dialogs.clear();
    for (bool answer : answers)
        bench.dialogs.setNextAnswer(answer);

    const bool clearing = action == QLatin1String("clear");
    if (clearing) {
        clickButton(*page, "pushButton_clearData");
    } else {
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        if (action == QLatin1String("escape"))
            QTest::keyClick(page.get(), Qt::Key_Escape);
        else
            page->close();
        QCOMPARE(page->isVisible(), questions > 0 && !answers.first());
    }
    QCOMPARE(bench.dialogs.questionTexts().size(), questions);
    if (questions) {
        QCOMPARE(bench.dialogs.questionTexts().first(),
                 !clearing ? TextCatalogue::text(Text::CloseSpectralQuestion, languageFlag)
                 : languageFlag
                     ? QStringLiteral("清除数据将会清除所有的记录，是否确认清除?")
                     : QStringLiteral("Clear data will clear all records. Are you sure you want to clear it?"));
        QCOMPARE(bench.dialogs.shown().first().title, languageFlag ? QStringLiteral("提示") : QStringLiteral("Tip"));
    }
    QCOMPARE(rowCount(*page), rowsAfter);
    QCOMPARE(int(page->spectralRecords().size()), rowsAfter - 1);
    QCOMPARE(columnCount(*page), 34);
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
    const QString before = cellText(*page, row, column);
    doubleClickCell(*page, row, column);
    DataTableView *table = tableOf(*page);
    auto *lineEdit = qobject_cast<QLineEdit *>(table->indexWidget(table->model()->index(row, column)));
    QCOMPARE(lineEdit != nullptr, editor);
    if (editor) {
        lineEdit->setText(QStringLiteral("Lamp B"));
        QTest::keyClick(lineEdit, Qt::Key_Return);
        // The delegate commits the edit from the event loop.
        QTRY_COMPARE(cellText(*page, row, column), QStringLiteral("Lamp B"));
    } else {
        QCOMPARE(cellText(*page, row, column), before);
    }
}

void TestMeterPage::scaleChoiceIsKept_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<SpectrumScale>("scale");
    QTest::newRow("each curve to its own peak") << 1 << SpectrumScale::Normalised;
    QTest::newRow("absolute") << 2 << SpectrumScale::Absolute;
    QTest::newRow("back to relative") << 0 << SpectrumScale::Relative;
}

// The scale chosen draws the chart at once and is the one the next dialog opens with; the
// absolute entry names the table's unit.
void TestMeterPage::scaleChoiceIsKept()
{
    QFETCH(int, entry);
    QFETCH(SpectrumScale, scale);
    SpectralTestBench bench;
    {
        auto page = filledPage(bench, 1, 2);
        QVERIFY(page);
        auto *choice = page->findChild<QComboBox *>(QStringLiteral("comboBox_scale"));
        QVERIFY(choice);
        QCOMPARE(choice->count(), 3);
        QVERIFY(!page->spectralModel().spectralUnit().isEmpty());
        QVERIFY(choice->itemText(2).contains(page->spectralModel().spectralUnit()));
        choice->setCurrentIndex(entry);
        QCOMPARE(page->findChild<SpectrumChartView *>(QStringLiteral("widget_chart"))->scaleMode(), scale);
    }
    auto page = bench.page(1);
    QCOMPARE(page->findChild<QComboBox *>(QStringLiteral("comboBox_scale"))->currentIndex(), entry);
    QCOMPARE(page->findChild<SpectrumChartView *>(QStringLiteral("widget_chart"))->scaleMode(), scale);
}

QTEST_MAIN(TestMeterPage)
#include "tst_MeterPage.moc"
