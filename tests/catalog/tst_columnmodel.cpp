// SPDX-License-Identifier: GPL-3.0-or-later
#include "BuiltInUnitTable.h"
#include "ColumnModel.h"
#include "MeterKind.h"

#include <QRegularExpression>
#include <QTest>

namespace {

// A unit catalog whose row r names unit "U<r>" (no text for every tenth row) shown with r % 5
// decimals, and slotList that point at scattered rows, so that a column reading the wrong slot shows.
UnitCatalog testCatalog(int rows = 60)
{
    UnitCatalog catalog;
    for (int r = 0; r < rows; ++r)
        catalog.append({r, r % 10 == 0 ? QString() : QStringLiteral("U%1").arg(r), r % 5});
    return catalog;
}

int unitOfSlot(int slot)
{
    return (slot * 7 + 3) % 60;
}

QList<int> testSlots(int count = 60)
{
    QList<int> slotList;
    for (int k = 0; k < count; ++k)
        slotList << unitOfSlot(k);
    return slotList;
}

QString expectedHeader(const QString &title, int slot)
{
    const int unit = unitOfSlot(slot);
    return unit % 10 == 0 ? title : title + QStringLiteral("\n(U%1)").arg(unit);
}

} // namespace

class TestColumnModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layouts_data()
    {
        QTest::addColumn<int>("uiIndex");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<bool>("testNameFirst");
        QTest::addColumn<QList<int>>("slotList");
        QTest::addColumn<QStringList>("titles");

        const QList<int> standardSlots{0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14};
        const QStringList standardZh =
            QString::fromUtf8(
                "照度|最大值|最小值|平均值|色温|紫外指数|闪烁频率|波动深度|显色指数Ra|温度|湿度|色容差|蓝光危害比")
                .split('|');
        const QStringList standardEn =
            QStringLiteral("Illuminance|MAX|MIN|AVG|CCT|UVI|Flic Freq|Percent|Ra|Temperature|Humidity|SDCM|BLHazard")
                .split('|');
        const QList<int> ppfdSlots{48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 11, 12};
        const QStringList ppfdZh =
            QString::fromUtf8("PPFD|最大值|最小值|平均值|PPFD蓝|PPFD绿|PPFD红|YPFD|叶绿素a|叶绿素b|温度|湿度")
                .split('|');
        const QStringList ppfdEn = QStringLiteral("PPFD|MAX|MIN|AVG|PPFD Blue|PPFD Green|PPFD Red|YPFD|"
                                                  "Chlorophyll a|Chlorophyll b|Temperature|Humidity")
                                       .split('|');

        for (bool zh : {true, false}) {
            const char *lang = zh ? "zh" : "en";
            const QStringList &standard = zh ? standardZh : standardEn;
            const QStringList &ppfd = zh ? ppfdZh : ppfdEn;
            QTest::addRow("kind1 mode0 %s", lang) << 1 << 0 << zh << false << standardSlots << standard;
            QTest::addRow("kind1 mode2 %s", lang) << 1 << 2 << zh << false << standardSlots << standard;
            QTest::addRow("kind1 mode1 %s", lang) << 1 << 1 << zh << false << ppfdSlots << ppfd;
            QTest::addRow("kind4 mode0 %s", lang) << 4 << 0 << zh << true << standardSlots << standard;
            QTest::addRow("kind4 mode1 %s", lang) << 4 << 1 << zh << true << ppfdSlots << ppfd;
            QTest::addRow("kind2 %s", lang) << 2 << 1 << zh << false << QList<int>{0, 1, 46, 47, 4}
                                            << (zh ? QString::fromUtf8("照度|照度最大值|紫外功率|紫外功率最大值|色温")
                                                   : QStringLiteral("Illuminance|Illuminance MAX|Power|Power MAX|CCT"))
                                                   .split('|');
            QTest::addRow("kind3 %s", lang)
                << 3 << 1 << zh << false << QList<int>{0, 1, 2, 3, 4, 6, 7, 10}
                << (zh ? QString::fromUtf8("亮度|最大值|最小值|平均值|色温|闪烁频率|波动深度|显色指数Ra")
                       : QStringLiteral("Luminance|MAX|MIN|AVG|CCT|Flic Freq|Percent|Ra"))
                       .split('|');
            QTest::addRow("kind5 %s", lang)
                << 5 << 1 << zh << false << QList<int>{0, 1, 2, 3, 4, 10, 13, 14}
                << (zh ? QString::fromUtf8("照度|最大值|最小值|平均值|色温|显色指数Ra|色容差|蓝光危害比")
                       : QStringLiteral("Illuminance|MAX|MIN|AVG|CCT|Ra|SDCM|BLHazard"))
                       .split('|');
            QTest::addRow("kind6 %s", lang)
                << 6 << 1 << zh << true << QList<int>{0, 1, 2, 3, 4, 5, 6, 7}
                << (zh ? QString::fromUtf8(
                        "探头型号|功率实时值|功率最大值|功率最小值|功率平均值|功率均匀度|能量实时值|测量时间")
                       : QStringLiteral("Probe|Power RT|Power MAX|Power MIN|Power AVG|Power UE|Energy|Time"))
                       .split('|');
        }
    }

    void layouts()
    {
        QFETCH(int, uiIndex);
        QFETCH(int, mode);
        QFETCH(bool, chinese);
        QFETCH(bool, testNameFirst);
        QFETCH(QList<int>, slotList);
        QFETCH(QStringList, titles);
        QCOMPARE(slotList.size(), titles.size());

        QStringList measured;
        QList<int> decimals;
        for (int i = 0; i < slotList.size(); ++i) {
            measured << expectedHeader(titles.at(i), slotList.at(i));
            decimals << unitOfSlot(slotList.at(i)) % 5;
        }
        const QString testName = chinese ? QString::fromUtf8("名称") : QStringLiteral("Test Name");
        const QString operation = chinese ? QString::fromUtf8("操作") : QStringLiteral("Operation");
        const QStringList expectedExport = testNameFirst ? QStringList{testName} + measured : measured;

        const ColumnSetup setup = ColumnModel::setUpColumns(uiIndex, mode, testSlots(), testCatalog());
        QVERIFY(!setup.unchanged);
        QCOMPARE(setup.headers(chinese), expectedExport + QStringList{operation});
        QCOMPARE(setup.decimalsKind, uiIndex);
        QCOMPARE(setup.decimals, decimals);

        // The export takes its units from the built-in table instead of the catalog.
        const UnitCatalog builtIn = BuiltInUnitTable::rows();
        QStringList exported;
        if (testNameFirst)
            exported << testName;
        for (int i = 0; i < slotList.size(); ++i) {
            const QString unit = builtIn.at(unitOfSlot(slotList.at(i))).at(1).toString();
            exported << (unit.isEmpty() ? titles.at(i)
                                        : titles.at(i) + QStringLiteral("\n(") + unit + QLatin1Char(')'));
        }
        QCOMPARE(ColumnModel::exportHeaders(uiIndex, mode, testSlots(), chinese), exported);
    }

    void headerTextCarriesTheUnitOnASecondLine()
    {
        const UnitCatalog catalog{{0, QString(), 0}, {5, QStringLiteral("Lux"), 0}};
        QList<int> slotList(60, 1);
        QCOMPARE(ColumnModel::setUpColumns(1, 0, slotList, catalog).headers(true).first(),
                 QString::fromUtf8("照度\n(Lux)"));
        QCOMPARE(ColumnModel::setUpColumns(1, 0, slotList, catalog).headers(false).first(),
                 QStringLiteral("Illuminance\n(Lux)"));
        slotList.fill(0);
        QCOMPARE(ColumnModel::setUpColumns(1, 0, slotList, catalog).headers(true).first(), QString::fromUtf8("照度"));
        QCOMPARE(ColumnModel::setUpColumns(1, 0, slotList, catalog).headers(true).last(), QString::fromUtf8("操作"));
    }

    // A slot whose unit number names no usable catalog row takes its unit from the built-in table
    // (no unit and 2 decimals past it); a kind outside 1..6 gets no columns.
    void unknownUnits_data()
    {
        QTest::addColumn<int>("uiIndex");
        QTest::addColumn<QList<int>>("slotList");
        QTest::addColumn<UnitCatalog>("catalog");
        QTest::addColumn<int>("column"); // the measurement column that falls back
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("warned");

        QList<int> slot10Is26(60, 0);
        slot10Is26[10] = 26;
        QTest::newRow("slot 10 past a 20-row catalog")
            << 1 << slot10Is26 << testCatalog(20) << 8 << "显色指数Ra\n(cd/㎡)" << 1 << "slot 10 (unit 26)";
        QList<int> negative(60, 0);
        negative[4] = -1;
        QTest::newRow("negative unit number")
            << 5 << negative << testCatalog() << 4 << "色温" << 2 << "slot 4 (unit -1)";
        QList<int> slot47(60, 0);
        slot47[47] = 60;
        QTest::newRow("last slot of kind 2 just past the catalog")
            << 2 << slot47 << testCatalog() << 3 << "紫外功率最大值\n(mg/L)" << 2 << "slot 47 (unit 60)";
        UnitCatalog shortRow = testCatalog();
        shortRow[3] = {3, QStringLiteral("FC")};
        QTest::newRow("row with two fields") << 3 << testSlots() << shortRow << 0 << "亮度" << 3 << "slot 0 (unit 3)";
        UnitCatalog longRow = testCatalog();
        longRow[unitOfSlot(7)] = {1, QStringLiteral("Lux"), 1, 0};
        QTest::newRow("row with four fields")
            << 6 << testSlots() << longRow << 7 << "测量时间\n(COD)" << 2 << "slot 7 (unit 52)";
        QTest::newRow("empty catalog") << 4 << testSlots() << UnitCatalog() << 1 << "最大值\n(μW/c㎡)" << 1
                                       << "slot 0 (unit 3), slot 1 (unit 10)";
        QTest::newRow("kind 0") << 0 << testSlots() << testCatalog() << -1 << "" << 0 << "";
        QTest::newRow("kind 7") << 7 << testSlots() << testCatalog() << -1 << "" << 0 << "";
        QTest::newRow("kind -1") << -1 << testSlots() << testCatalog() << -1 << "" << 0 << "";
    }

    void unknownUnits()
    {
        QFETCH(int, uiIndex);
        QFETCH(QList<int>, slotList);
        QFETCH(UnitCatalog, catalog);
        QFETCH(int, column);
        QFETCH(QString, header);
        QFETCH(int, decimals);
        QFETCH(QString, warned);

        if (!warned.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(warned)));
        DecimalsLists lists;
        for (auto &list : lists)
            list = {9, 9};
        const ColumnSetup setup = ColumnModel::setUpColumns(uiIndex, 0, slotList, catalog);
        QVERIFY(!setup.unchanged);
        setup.applyDecimals(lists);
        const MeterKind *kind = MeterKind::find(uiIndex);
        const int count = kind ? int(kind->columns(0).size()) : 0;
        for (int k = 1; k <= 6; ++k)
            QCOMPARE(int(lists[size_t(k - 1)].size()), k == uiIndex ? count : 2);
        const int nameColumns = kind && kind->nameColumn ? 1 : 0;
        QCOMPARE(int(setup.titles.size()), kind ? nameColumns + count + 1 : 0);
        if (column >= 0) {
            QCOMPARE(setup.headers(true).at(nameColumns + column), header);
            QCOMPARE(setup.decimals.at(column), decimals);
        }
    }

    void fewerThan60SlotsChangeNothing_data()
    {
        QTest::addColumn<int>("slotCount");
        QTest::newRow("59") << 59;
        QTest::newRow("none") << 0;
    }

    void fewerThan60SlotsChangeNothing()
    {
        QFETCH(int, slotCount);
        DecimalsLists lists;
        lists[0] = {1, 2, 3};
        const ColumnSetup setup = ColumnModel::setUpColumns(1, 0, testSlots(slotCount), testCatalog());
        QVERIFY(setup.unchanged);
        setup.applyDecimals(lists);
        QCOMPARE(lists[0], QList<int>({1, 2, 3}));
    }

    // Each kind fills only its own decimals list; kind 4 does not overwrite kind 1's.
    void decimalsGoToTheirKindOnly()
    {
        DecimalsLists lists;
        ColumnModel::setUpColumns(1, 1, testSlots(), testCatalog()).applyDecimals(lists);
        ColumnModel::setUpColumns(4, 0, testSlots(), testCatalog()).applyDecimals(lists);
        QCOMPARE(lists[0].size(), 12);
        QCOMPARE(lists[3].size(), 13);
        for (int kind : {2, 3, 5, 6})
            QVERIFY(lists[size_t(kind - 1)].isEmpty());
    }

    void exportHeadersNeverReadPastTheSlots_data()
    {
        QTest::addColumn<int>("uiIndex");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("slotCount");
        QTest::addColumn<int>("expectedCount");

        QTest::newRow("kind1 ppfd, no slotList") << 1 << 1 << 0 << 0;
        QTest::newRow("kind1 ppfd, 57 slotList") << 1 << 1 << 57 << 0;
        QTest::newRow("kind1 ppfd, 58 slotList") << 1 << 1 << 58 << 12;
        QTest::newRow("kind1 standard, 14 slotList") << 1 << 0 << 14 << 0;
        QTest::newRow("kind1 standard, 15 slotList") << 1 << 0 << 15 << 13;
        QTest::newRow("kind2, 47 slotList") << 2 << 0 << 47 << 0;
        QTest::newRow("kind2, 48 slotList") << 2 << 0 << 48 << 5;
        QTest::newRow("kind6, 7 slotList") << 6 << 0 << 7 << 0;
        QTest::newRow("kind6, 8 slotList") << 6 << 0 << 8 << 9;
    }

    void exportHeadersNeverReadPastTheSlots()
    {
        QFETCH(int, uiIndex);
        QFETCH(int, mode);
        QFETCH(int, slotCount);
        QFETCH(int, expectedCount);
        QCOMPARE(ColumnModel::exportHeaders(uiIndex, mode, QList<int>(slotCount, 5), false).size(), expectedCount);
    }

    void exportHeadersUseTheBuiltInTable()
    {
        QList<int> slotList(60, 108);
        const QStringList kind6 = ColumnModel::exportHeaders(6, 0, slotList, true);
        QCOMPARE(kind6.size(), 9);
        QCOMPARE(kind6.first(), QString::fromUtf8("名称"));
        QCOMPARE(kind6.last(), QString::fromUtf8("测量时间\n(s)"));
        QCOMPARE(ColumnModel::exportHeaders(6, 0, slotList, false).first(), QStringLiteral("Test Name"));

        slotList[7] = 109;
        QCOMPARE(ColumnModel::exportHeaders(6, 0, slotList, true).last(), QString::fromUtf8("测量时间"));
        slotList[7] = 0;
        QCOMPARE(ColumnModel::exportHeaders(6, 0, slotList, false).last(), QStringLiteral("Time"));
        QVERIFY(ColumnModel::exportHeaders(0, 0, slotList, true).isEmpty());
        QVERIFY(ColumnModel::exportHeaders(7, 0, slotList, true).isEmpty());
    }

    void builtInUnitTable_data()
    {
        QTest::addColumn<int>("unitNo");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("decimals");
        const auto row = [](int n, const char *text, int decimals) {
            QTest::addRow("%d", n) << n << QString::fromUtf8(text) << decimals;
        };
        row(0, "", 0);
        row(4, "", 4);
        row(5, "Lux", 0);
        row(9, "μW/c㎡", 0);
        row(13, "mW/c㎡", 4);
        row(19, "℃", 1);
        row(21, "μmol/㎡/s", 1);
        row(24, "μW/c㎡/nm", 3);
        row(56, "盐度", 2);
        row(64, "%", 2);
        row(65, "分", 0);
        row(81, "HR15N", 1);
        row(93, "σb", 0);
        row(96, "淡水", 0);
        row(105, "uJ/c㎡", 1);
        row(107, "J/㎡", 3);
        row(108, "s", 1);
    }

    void builtInUnitTable()
    {
        QFETCH(int, unitNo);
        QFETCH(QString, text);
        QFETCH(int, decimals);
        const UnitCatalog table = BuiltInUnitTable::rows();
        QCOMPARE(table.size(), 109);
        const CatalogRow &row = table.at(unitNo);
        QCOMPARE(row.size(), 3);
        QCOMPARE(row.at(0).toInt(), unitNo);
        QCOMPARE(row.at(1).toString(), text);
        QCOMPARE(row.at(2).toInt(), decimals);
    }
};

QTEST_GUILESS_MAIN(TestColumnModel)
#include "tst_columnmodel.moc"
