// SPDX-License-Identifier: GPL-3.0-or-later
#include "DataTableView.h"
#include "ExportTable.h"
#include "PageFixture.h"
#include "RecordsTableModel.h"
#include "WindowFont.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaMethod>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

namespace {

QByteArray nameSlotHex(const QByteArray &name)
{
    return (name + QByteArray(16 - name.size(), '\0')).toHex();
}

// Clicks the delete button of a row as the user does: with the mouse, in the view.
void clickDeleteButton(DataTableView *view, int row)
{
    const QModelIndex cell = view->model()->index(row, view->model()->columnCount() - 1);
    view->scrollTo(cell);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
}

} // namespace

class TestRecordsTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void form();
    void titlesAndValuesFit();
    void slotsInOrder();
    void deleteRows_data();
    void deleteRows();
    void clearing_data();
    void clearing();
    void languageSwitch_data();
    void languageSwitch();
    void nameEditing_data();
    void nameEditing();
    void resetKeepsColumns();
    void rowsNeedTheirDecimals();
};

void TestRecordsTable::form()
{
    PageFixture f;
    QCOMPARE(f.page.objectName(), QStringLiteral("FirstPage"));
    QCOMPARE(f.page.size(), QSize(1000, 600));

    auto *grid = f.page.findChild<QGridLayout *>(QStringLiteral("gridLayout_firstPage"));
    QVERIFY(grid);
    QCOMPARE(f.page.layout(), grid);
    auto *buttons = f.page.findChild<QWidget *>(QStringLiteral("widget_buttons"));
    auto *row = f.page.findChild<QHBoxLayout *>(QStringLiteral("horizontalLayout_buttons"));
    auto *group = f.page.findChild<QGroupBox *>(QStringLiteral("groupBox_deviceInformation"));
    auto *groupGrid = f.page.findChild<QGridLayout *>(QStringLiteral("gridLayout_deviceInformation"));
    QVERIFY(buttons && row && group && groupGrid);
    QCOMPARE(grid->itemAtPosition(0, 0)->widget(), buttons);
    QVERIFY(f.view());
    QCOMPARE(grid->itemAtPosition(1, 0)->widget(), static_cast<QWidget *>(f.view()));
    QCOMPARE(buttons->layout(), row);
    QCOMPARE(group->layout(), groupGrid);
    for (QLayout *layout :
         {static_cast<QLayout *>(grid), static_cast<QLayout *>(row), static_cast<QLayout *>(groupGrid)}) {
        QCOMPARE(layout->spacing(), 10);
        QCOMPARE(layout->contentsMargins(), QMargins(10, 10, 10, 10));
    }
    QCOMPARE(group->title(), QStringLiteral("仪器信息"));

    // The group box, the spacer, then the four buttons, in this order.
    QCOMPARE(row->itemAt(0)->widget(), group);
    QVERIFY(row->itemAt(1)->spacerItem());
    QCOMPARE(row->itemAt(1)->spacerItem()->sizeHint(), QSize(40, 20));
    const QList<QPair<const char *, QString>> commands{{"pushButton_readRecords", "读取测量记录"},
                                                       {"pushButton_clearData", "清除数据"},
                                                       {"pushButton_exportExcel", "导出Excel"},
                                                       {"pushButton_spectralData", "光谱数据"}};
    for (int i = 0; i < commands.size(); ++i) {
        QPushButton *button = f.button(commands.at(i).first);
        QVERIFY(button);
        QCOMPARE(row->itemAt(2 + i)->widget(), button);
        QCOMPARE(button->text(), commands.at(i).second);
        QCOMPARE(button->minimumSize(), QSize(140, 35));
    }

    const QList<QPair<const char *, QString>> labels{{"label_serialNo", "SN号："},
                                                     {"label_firmwareVersion", "版本号："}};
    for (int i = 0; i < labels.size(); ++i) {
        auto *label = f.page.findChild<QLabel *>(QLatin1String(labels.at(i).first));
        QVERIFY(label);
        QCOMPARE(label->text(), labels.at(i).second);
        QCOMPARE(groupGrid->itemAtPosition(0, 2 * i)->widget(), label);
    }
    for (const char *name : {"lineEdit_serialNo", "lineEdit_firmwareVersion"}) {
        auto *edit = f.page.findChild<QLineEdit *>(QLatin1String(name));
        QVERIFY(edit);
        QVERIFY(edit->isReadOnly());
        QCOMPARE(edit->alignment(), Qt::AlignCenter);
    }
    QCOMPARE(groupGrid->itemAtPosition(0, 1)->widget()->objectName(), QStringLiteral("lineEdit_serialNo"));
    QCOMPARE(groupGrid->itemAtPosition(0, 3)->widget()->objectName(), QStringLiteral("lineEdit_firmwareVersion"));

    QCOMPARE(f.view()->editTriggers(), QAbstractItemView::NoEditTriggers);
    QCOMPARE(f.view()->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(f.view()->model(), &f.model());
    QCOMPARE(f.model().columnCount(), 0);
    QVERIFY(f.plugIn(PageFixture::sample(QStringLiteral("kind2"))));
    f.page.identifyMeter();
    QCOMPARE(f.model().columnCount(), 6);
}

void TestRecordsTable::titlesAndValuesFit()
{
    // A page as wide as a 1366-pixel screen in the window's font, with the most columns and a name column.
    PageFixture f;
    f.page.setFont(windowFont(12));
    f.page.resize(1366, 600);
    f.page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.page));
    QVERIFY(f.identifyAndDownload(PageFixture::sample(QStringLiteral("kind4"))));
    DataTableView *view = f.view();
    for (const bool chinese : {true, false}) {
        f.page.setLanguageFlag(chinese);
        f.page.languageChange();
        QCoreApplication::processEvents(); // the columns are fitted once the events are handled
        const int last = f.model().columnCount() - 1;
        // Each line of each title, and the first row's values and name ("Office desk 1").
        for (int c = 0; c <= last; ++c) {
            const QStringList texts = f.headers().at(c).split(QStringLiteral("\\n")) + f.rowTexts(0).mid(c, 1);
            for (const QString &text : texts)
                QVERIFY(view->fontMetrics().horizontalAdvance(text) <= view->columnWidth(c));
        }
        QVERIFY(view->columnViewportPosition(last) + view->columnWidth(last) <= view->viewport()->width());
    }
}

void TestRecordsTable::slotsInOrder()
{
    const QMetaObject *meta = &FirstPage::staticMetaObject;
    QStringList slotList;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Slot)
            slotList << QString::fromLatin1(method.methodSignature());
    }
    QCOMPARE(slotList,
             QStringList({"slot_deleteRow(int)", "on_pushButton_readRecords_clicked()",
                          "on_pushButton_clearData_clicked()", "on_pushButton_exportExcel_clicked()",
                          "on_pushButton_spectralData_clicked()", "on_tableWidget_data_cellDoubleClicked(int,int)"}));
    QCOMPARE(meta->method(meta->indexOfSlot("on_pushButton_exportExcel_clicked()")).returnType(), int(QMetaType::Bool));
    QCOMPARE(meta->methodCount() - meta->methodOffset(), 6); // no signals of its own
}

void TestRecordsTable::deleteRows_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<int>("records"); // 0: the sample's own
    QTest::addColumn<bool>("fromTheTop");
    QTest::addColumn<QList<int>>("clicks");

    // After a download the view shows the last rows; a click removes the clicked row, wherever
    // the view stands and however the rows moved since.
    QTest::newRow("sample, third row thrice") << "kind1" << 0 << false << QList<int>{2, 2, 3};
    QTest::newRow("300 rows, the last ones") << "kind2" << 300 << false << QList<int>{299, 298, 150};
    QTest::newRow("300 rows, from the top") << "kind2" << 300 << true << QList<int>{0, 0, 297};
}

void TestRecordsTable::deleteRows()
{
    QFETCH(QString, image);
    QFETCH(int, records);
    QFETCH(bool, fromTheTop);
    QFETCH(QList<int>, clicks);

    MeterImage meter = PageFixture::sample(image);
    if (records > 0)
        meter.recordCount = quint32(records);
    PageFixture f;
    f.page.resize(1200, 600);
    f.page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.page));
    QVERIFY(f.identifyAndDownload(meter));
    QCoreApplication::processEvents();
    const QScrollBar *bar = f.view()->verticalScrollBar();
    QCOMPARE(bar->value(), bar->maximum());
    if (fromTheTop)
        f.view()->scrollToTop();

    QList<QStringList> rows = f.allRows();
    for (const int row : clicks) {
        rows.removeAt(row);
        clickDeleteButton(f.view(), row);
        QCOMPARE(f.allRows(), rows);
    }
    // A row that is not there changes nothing.
    f.page.slot_deleteRow(int(rows.size()));
    QCOMPARE(f.model().rowCount(), rows.size());
    QCOMPARE(f.dialogs.shown().size(), 1); // the download's progress dialog only: no confirmation
}

void TestRecordsTable::clearing_data()
{
    QTest::addColumn<bool>("withRows");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("rowsLeft");

    QTest::newRow("yes zh") << true << true << true << 0;
    QTest::newRow("no zh") << true << true << false << 6;
    QTest::newRow("yes en") << true << false << true << 0;
    QTest::newRow("no en") << true << false << false << 6;
    QTest::newRow("empty table: no question") << false << true << false << 0;
}

void TestRecordsTable::clearing()
{
    QFETCH(bool, withRows);
    QFETCH(bool, chinese);
    QFETCH(bool, answer);
    QFETCH(int, rowsLeft);

    PageFixture f;
    f.page.setLanguageFlag(chinese);
    QVERIFY(f.plugIn(PageFixture::sample(QStringLiteral("kind1"))));
    f.page.identifyMeter();
    if (withRows)
        f.page.on_pushButton_readRecords_clicked();
    f.dialogs.clear();
    f.dialogs.setNextAnswer(answer);
    f.button("pushButton_clearData")->click();

    const QString question =
        chinese ? QStringLiteral("清除数据将会清除所有的记录，是否确认清除?")
                : QStringLiteral("Clear data will clear all records. Are you sure you want to clear it?");
    QCOMPARE(f.dialogs.questionTexts(), withRows ? QStringList{question} : QStringList());
    if (withRows) {
        QCOMPARE(f.dialogs.shown().first().title, chinese ? QStringLiteral("提示") : QStringLiteral("Tip"));
        QCOMPARE(f.dialogs.shown().first().parent, &f.page);
    }
    QCOMPARE(f.model().rowCount(), rowsLeft);
    QCOMPARE(f.model().columnCount(), 14);
    QCOMPARE(f.page.meterKind(), 1);
}

void TestRecordsTable::languageSwitch_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<int>("row");
    QTest::addColumn<QStringList>("chinese");
    QTest::addColumn<QStringList>("english");
    QTest::addColumn<QString>("englishHeader");

    // Row 2 of the kind-1 sample has no flicker; numbers and "----" keep their texts.
    QTest::newRow("kind 1") << "kind1" << 2
                            << QStringList{"21450",  "22308", "19949", "21236", "6488", "2.1",   "无频闪",
                                           "无频闪", "97.6",  "24.5",  "45.0",  "2.2",  "0.356", "删除"}
                            << QStringList{"21450", "22308", "19949", "21236", "6488", "2.1",   "No",
                                           "No",    "97.6",  "24.5",  "45.0",  "2.2",  "0.356", "Delete"}
                            << "Illuminance\\n(Lux)";
    // A kind-4 record named "No" keeps its name; its flicker cells change.
    QTest::newRow("kind 4, record named No")
        << "kind4-named-no" << 2 << QStringList{"No",     "21450", "22308", "19949", "21236", "6488",  "2.1", "无频闪",
                                                "无频闪", "97.6",  "24.5",  "45.0",  "2.2",   "0.356", "删除"}
        << QStringList{"No", "21450", "22308", "19949", "21236", "6488",  "2.1",   "No",
                       "No", "97.6",  "24.5",  "45.0",  "2.2",   "0.356", "Delete"}
        << "Test Name";
    // Kind 6 has no no-flicker cells: a record named "无频闪" stays, only the button changes.
    QTest::newRow("kind 6, record named 无频闪")
        << "kind6-named-noflicker" << 0
        << QStringList{"无频闪", "UV-A 365", "12.4", "13.4", "11.2", "12.3", "0.83", "372.0", "30.0", "删除"}
        << QStringList{"无频闪", "UV-A 365", "12.4", "13.4", "11.2", "12.3", "0.83", "372.0", "30.0", "Delete"}
        << "Test Name";
}

void TestRecordsTable::languageSwitch()
{
    QFETCH(QString, image);
    QFETCH(int, row);
    QFETCH(QStringList, chinese);
    QFETCH(QStringList, english);
    QFETCH(QString, englishHeader);

    MeterImage meter;
    if (image == QLatin1String("kind4-named-no")) {
        meter = PageFixture::sample(QStringLiteral("kind4"));
        meter.nameMemory.replace(16 * row, 16, QByteArray::fromHex(nameSlotHex("No")));
    } else if (image == QLatin1String("kind6-named-noflicker")) {
        meter = PageFixture::sample(QStringLiteral("kind6"));
        meter.nameMemory.replace(16 * row, 16, QByteArray::fromHex(nameSlotHex("无频闪")));
    } else {
        meter = PageFixture::sample(image);
    }

    PageFixture f;
    QVERIFY(f.identifyAndDownload(meter));
    QCOMPARE(f.rowTexts(row), chinese);
    const QList<QStringList> before = f.allRows();
    // The switch re-labels the rows in place: the selection stays.
    f.view()->selectRow(row);

    f.page.setLanguageFlag(false);
    f.page.languageChange();
    QCOMPARE(f.rowTexts(row), english);
    QCOMPARE(f.headers().first(), englishHeader);
    QCOMPARE(f.headers().last(), QStringLiteral("Operation"));
    QCOMPARE(f.model().rowCount(), before.size());
    QCOMPARE(f.view()->selectionModel()->selectedRows(), QModelIndexList{f.model().index(row, 0)});

    // Messages follow the flag too.
    f.dialogs.setNextAnswer(false);
    f.button("pushButton_clearData")->click();
    QCOMPARE(f.dialogs.questionTexts().last(),
             QStringLiteral("Clear data will clear all records. Are you sure you want to clear it?"));
    QCOMPARE(f.model().rowCount(), before.size());

    f.page.setLanguageFlag(true);
    f.page.languageChange();
    QCOMPARE(f.allRows(), before);
}

void TestRecordsTable::nameEditing_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("editing");

    QTest::newRow("kind 4 name") << "kind4" << 0 << true;
    QTest::newRow("kind 6 name") << "kind6" << 0 << true;
    QTest::newRow("kind 4 value") << "kind4" << 1 << false;
    QTest::newRow("kind 1 first column") << "kind1" << 0 << false;
}

void TestRecordsTable::nameEditing()
{
    QFETCH(QString, image);
    QFETCH(int, column);
    QFETCH(bool, editing);

    PageFixture f;
    f.page.resize(1200, 800);
    f.page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.page));
    QVERIFY(f.identifyAndDownload(PageFixture::sample(image)));

    // Double clicks on a cell reach the slot through the view's signal.
    Q_EMIT f.view()->cellDoubleClicked(1, column);
    auto *editor = f.view()->findChild<QLineEdit *>();
    QCOMPARE(editor != nullptr, editing);
    if (!editing)
        return;
    QCOMPARE(editor->text(), f.model().cellText(1, 0));
    editor->setText(QStringLiteral("Renamed"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(f.model().cellText(1, 0), QStringLiteral("Renamed"));
    // The export writes the name as edited.
    QCOMPARE(f.model().exportTable(f.page.exportHeaders()).cellText(1, 0), QStringLiteral("Renamed"));
}

void TestRecordsTable::resetKeepsColumns()
{
    PageFixture f;
    QVERIFY(f.identifyAndDownload(PageFixture::sample(QStringLiteral("kind5"))));
    const QStringList headers = f.headers();
    f.unplug();
    QCOMPARE(f.lineText("lineEdit_serialNo"), QString());
    QCOMPARE(f.lineText("lineEdit_firmwareVersion"), QString());
    QCOMPARE(f.model().rowCount(), 0);
    QCOMPARE(f.headers(), headers);
    QCOMPARE(f.page.meterKind(), 5);
}

void TestRecordsTable::rowsNeedTheirDecimals()
{
    // Slot 0 names a unit number that neither the unit catalog nor the built-in table has: the
    // illuminance column shows no unit and 2 decimals, and every record still gets its row.
    MeterImage meter = PageFixture::sample(QStringLiteral("kind1"));
    meter.unitSlots[0] = 500;
    PageFixture f;
    for (int setUp = 0; setUp < 2; ++setUp) // identification, then the download
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("slot 0 \\(unit 500\\)")));
    QVERIFY(f.identifyAndDownload(meter));
    QCOMPARE(f.model().columnCount(), 14);
    QCOMPARE(f.headers().mid(0, 2), QStringList({QStringLiteral("照度"), QStringLiteral("最大值\\n(Lux)")}));
    QCOMPARE(f.model().rowCount(), 6);
    QCOMPARE(f.model().decimals()[0].mid(0, 2), QList<int>({2, 0}));
    QCOMPARE(f.rowTexts(0).mid(0, 2), QStringList({QStringLiteral("512.00"), QStringLiteral("533")}));
}

QTEST_MAIN(TestRecordsTable)
#include "tst_recordstable.moc"
