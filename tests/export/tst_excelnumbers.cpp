#include "ExcelEngine.h"
#include "ExportTable.h"
#include "TestTemplates.h"
#include "WorkbookStreamCheck.h"
#include "XlrdReader.h"

#include <QtTest>

#include <cmath>

namespace {

const QString templateName = QStringLiteral("template.xls");

// Puts "./template.xls" in place: none, the hand-made one with two sheets, or the office suite's,
// whose FORMAT records use index 164 and which has two sheets too.
bool useTemplate(const QString &kind)
{
    QFile::remove(templateName);
    if (kind == QLatin1String("plain"))
        return TestTemplates::writeTemplate(templateName);
    if (kind == QLatin1String("office"))
        return QFile::copy(QStringLiteral(LUMIVANE_SOURCE_DIR "/tests/export/data/office-template.xls"), templateName);
    return true;
}

// The stream check's complaint, else xlrd's, else nothing.
QString readBack(const QString &file, XlrdReader *xlrd)
{
    const QString problem = WorkbookStreamCheck::checkFile(file);
    return !problem.isEmpty() ? problem : xlrd->read(file) ? QString() : xlrd->error();
}

} // namespace

// Numbers stored as numbers under a format that shows their text, and sheets added after the
// workbook's own, with and without a template, as the stream check and xlrd read them back.
class TestExcelNumbers : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
    }

    void cells_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("marked");  // set with setCellNumber
        QTest::addColumn<double>("value"); // NaN: the cell stays text
        QTest::addColumn<QString>("format");
        const double text = qQNaN();
        QTest::newRow("integer") << "42" << true << 42.0 << "0";
        QTest::newRow("zero with a decimal") << "0.0" << true << 0.0 << "0.0";
        QTest::newRow("trailing zero") << "12.30" << true << 12.3 << "0.00";
        QTest::newRow("negative") << "-4.5" << true << -4.5 << "0.0";
        QTest::newRow("no RK form") << "1234567.891" << true << 1234567.891 << "0.000";
        QTest::newRow("past 30 bits") << "-123456789012345" << true << -123456789012345.0 << "0";
        QTest::newRow("fifteen decimals") << "0.000000000000001" << true << 1e-15 << "0.000000000000000";
        QTest::newRow("negative zero") << "-0.0" << true << text << "General";
        QTest::newRow("leading zeros") << "007" << true << text << "General";
        QTest::newRow("exponent") << "1e5" << true << text << "General";
        QTest::newRow("nan") << "nan" << true << text << "General";
        QTest::newRow("text cell") << "12.5" << false << text << "General";
    }

    void cells()
    {
        QFETCH(QString, text);
        QFETCH(bool, marked);
        QFETCH(double, value);
        QFETCH(QString, format);
        for (const QString &kind : {QString(), QStringLiteral("plain"), QStringLiteral("office")}) {
            QVERIFY(useTemplate(kind));
            ExportTable t(2, 2);
            t.setHeaderText(1, QStringLiteral("Lux"));
            marked ? t.setCellNumber(1, 1, text) : t.setCellText(1, 1, text);
            const QString file = dir.filePath(QStringLiteral("cells.xls"));
            ExcelEngine engine(file);
            QVERIFY(engine.openWorkbook(1));
            QVERIFY2(engine.appendSheet(QStringLiteral("Meter"), t), qPrintable(engine.errorString()));
            QVERIFY2(engine.writeTable(t, nullptr), qPrintable(engine.errorString()));
            engine.closeWorkbook();
            XlrdReader xlrd;
            const QString problem = readBack(file, &xlrd);
            QVERIFY2(problem.isEmpty(), qPrintable(kind + QLatin1String(": ") + problem));
            for (const XlrdReader::Sheet &sheet : {xlrd.sheet(0), xlrd.sheets().last()}) {
                const XlrdReader::Cell cell = sheet.cell(2, 1);
                QCOMPARE(cell.type, std::isnan(value) ? 1 : 2);
                QVERIFY2(std::isnan(value) ? cell.value.toString() == text : cell.value.toDouble() == value,
                         qPrintable(cell.value.toString()));
                QCOMPARE(cell.numberFormat, format);
                QCOMPARE(cell.horizontalAlignment, 2);
            }
        }
    }

    void appendedSheets_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("sheets");
        QTest::newRow("no template") << QString() << QStringList{QStringLiteral("Sheet1")};
        QTest::newRow("hand-made template") << "plain" << QStringList{QStringLiteral("数据"), QStringLiteral("Second")};
        QTest::newRow("office template") << "office" << QStringList{QStringLiteral("数据"), QStringLiteral("说明")};
    }

    void appendedSheets()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, sheets);
        QVERIFY(useTemplate(kind));
        XlrdReader before;
        QVERIFY(kind.isEmpty() || before.read(templateName));
        ExportTable meter = ExportTable::fromTexts({QStringLiteral("Item")}, {{"Model", "LX-1"}, {"Range"}}, 2);
        meter.setCellNumber(1, 1, QStringLiteral("200000"));
        ExportTable untitled(1, 1);
        untitled.setCellNumber(0, 0, QStringLiteral("1.5"));
        const QString file = dir.filePath(QStringLiteral("sheets.xls"));
        ExcelEngine engine(file);
        QVERIFY(engine.openWorkbook(1));
        QVERIFY(engine.appendSheet(QStringLiteral("Meter"), meter));
        QVERIFY(engine.appendSheet(QStringLiteral("Meter"), untitled));
        QVERIFY(!engine.appendSheet(QStringLiteral("Too long"), ExportTable(65536, 1)));
        QVERIFY(engine.appendSheet(QStringLiteral("METER"), untitled));
        QVERIFY(engine.appendSheet(QStringLiteral("a/b:c?d*e[f]g\\h 0123456789012345678901234"), untitled));
        QVERIFY(engine.writeTable(meter, nullptr));
        engine.closeWorkbook();

        XlrdReader xlrd;
        const QString problem = readBack(file, &xlrd);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QStringList names;
        for (const XlrdReader::Sheet &sheet : xlrd.sheets())
            names << sheet.name;
        const QStringList added = {QStringLiteral("Meter"), QStringLiteral("Meter (2)"), QStringLiteral("METER (3)"),
                                   QStringLiteral("a_b_c_d_e_f_g_h 012345678901234")};
        QCOMPARE(names, sheets + added);
        const XlrdReader::Sheet &titled = xlrd.sheet(int(sheets.size()));
        QCOMPARE(titled.text(0, 0), QStringLiteral("Item"));
        QVERIFY(!titled.has(0, 1));
        QCOMPARE(titled.text(1, 1), QStringLiteral("LX-1"));
        QCOMPARE(titled.cell(2, 1).value.toDouble(), 200000.0);
        QCOMPARE(titled.cell(2, 1).numberFormat, QStringLiteral("0"));
        QCOMPARE(xlrd.sheet(int(sheets.size()) + 1).cell(0, 0).value.toDouble(), 1.5);
        QCOMPARE(xlrd.sheet(0).text(2, 0), QStringLiteral("Range")); // the chosen sheet got the table
        // The template's other sheets keep every cell with its format index and number format.
        for (int sheet = 1; sheet < before.sheets().size(); ++sheet) {
            QCOMPARE(xlrd.sheet(sheet).cells.size(), before.sheet(sheet).cells.size());
            for (const auto &[at, old] : before.sheet(sheet).cells.asKeyValueRange()) {
                const XlrdReader::Cell now = xlrd.sheet(sheet).cells.value(at);
                QCOMPARE(QVariantList({now.value, now.xfIndex, now.numberFormat}),
                         QVariantList({old.value, old.xfIndex, old.numberFormat}));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestExcelNumbers)
#include "tst_excelnumbers.moc"
