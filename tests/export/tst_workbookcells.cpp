// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExcelEngine.h"
#include "ExportSheet.h"
#include "ExportTable.h"
#include "TableFile.h"
#include "TestTemplates.h"
#include "WorkbookReader.h"
#include "WorkbookStreamCheck.h"

#include <QtTest>

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

// For an .xls file the stream check's complaint, else the reader's, else nothing.
QString readBack(const QString &file, WorkbookReader *reader)
{
    const QString problem = file.endsWith(QLatin1String(".xls")) ? WorkbookStreamCheck::checkFile(file) : QString();
    return !problem.isEmpty() ? problem : reader->read(file) ? QString() : reader->error();
}

} // namespace

// What the cells of an exported table become in each workbook format, with and without a
// template, as the stream check and the readers read them back; and sheets added after the
// workbook's own.
class TestWorkbookCells : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private Q_SLOTS:
    // "./template.xls" is looked up in the working directory.
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
    }

    void cells_data()
    {
        QTest::addColumn<QString>("target"); // the file's suffix, for .xls with the template's kind
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("marked"); // set with setCellNumber
        QTest::addColumn<int>("type");    // xlrd's ctype: 1 text, 2 number (exactly the text's value), 6 blank
        QTest::addColumn<QString>("format");
        // Each case in each format, .xls also from each kind of template.
        const auto row = [](const char *name, const char *text, bool marked, int type, const char *format) {
            for (const char *target : {"xls", "xls plain", "xls office", "xlsx"})
                QTest::addRow("%s: %s", target, name) << QString::fromLatin1(target) << QString::fromUtf8(text)
                                                      << marked << type << QString::fromLatin1(format);
        };
        row("integer", "42", true, 2, "0");
        row("negative integer", "-40", true, 2, "0");
        row("zero with a decimal", "0.0", true, 2, "0.0");
        row("trailing zero", "12.30", true, 2, "0.00");
        row("negative", "-4.5", true, 2, "0.0");
        row("no RK form", "1234567.891", true, 2, "0.000");
        row("15 digits", "123456789012345", true, 2, "0");
        row("15 digits, negative", "-123456789012345", true, 2, "0");
        row("15 decimals", "0.000000000000001", true, 2, "0.000000000000000");
        row("15 decimals, negative", "-0.000000000000001", true, 2, "0.000000000000000");
        row("negative zero", "-0.0", true, 1, "General");
        row("leading zeros", "007", true, 1, "General");
        row("exponent", "1e5", true, 1, "General");
        row("nan", "nan", true, 1, "General");
        row("number as text", "12.30", false, 1, "General");
        row("two lines, markup", "照度\n(Lux) <&>", false, 1, "General");
        row("empty", "", false, 6, "General");
    }

    // Through TableFile, so that the table's sheet and the extra sheet both get the cell.
    void cells()
    {
        QFETCH(QString, target);
        QFETCH(QString, text);
        QFETCH(bool, marked);
        QFETCH(int, type);
        QFETCH(QString, format);
        const QString templateKind = target.section(QLatin1Char(' '), 1);
        QVERIFY(useTemplate(templateKind));
        ExportTable table(2, 2);
        table.setHeaderText(1, QStringLiteral("名称"));
        marked ? table.setCellNumber(1, 1, text) : table.setCellText(1, 1, text);
        const ExportSheet meter{QStringLiteral("Meter"), table};
        const QString file = dir.filePath(QStringLiteral("cells.") + target.section(QLatin1Char(' '), 0, 0));
        TableFile out(file, *TableFile::formatOfSuffix(file));
        QCOMPARE(out.prepare(), TableFile::Ready);
        QVERIFY2(out.write(table, nullptr, {meter}), qPrintable(out.errorString()));

        WorkbookReader reader;
        const QString problem = readBack(file, &reader);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        // The table on the first sheet, the extra sheet after a template's two.
        const bool noTemplate = templateKind.isEmpty();
        QCOMPARE(reader.sheets().size(), noTemplate ? 2 : 3);
        QCOMPARE(reader.sheet(0).name, noTemplate ? QStringLiteral("Sheet1") : QStringLiteral("数据"));
        QCOMPARE(reader.sheets().last().name, QStringLiteral("Meter"));
        for (const int index : {0, int(reader.sheets().size()) - 1}) {
            const WorkbookReader::Sheet &sheet = reader.sheet(index);
            if (noTemplate || index > 0)
                QCOMPARE(sheet.cells.size(), 2); // unset cells stay unwritten
            QCOMPARE(sheet.text(0, 1), QStringLiteral("名称"));
            QCOMPARE(sheet.cell(0, 1).horizontalAlignment, 2);
            const WorkbookReader::Cell cell = sheet.cell(2, 1);
            QCOMPARE(cell.type, type);
            if (type == 2) // exactly the double the text shows: QCOMPARE compares doubles fuzzily
                QVERIFY2(cell.value.toDouble() == text.toDouble(), qPrintable(cell.value.toString()));
            QCOMPARE(sheet.text(2, 1), text); // a number through its format
            QCOMPARE(cell.numberFormat, format);
            QCOMPARE(cell.horizontalAlignment, 2);
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
        WorkbookReader before;
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

        WorkbookReader xlrd;
        const QString problem = readBack(file, &xlrd);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QStringList names;
        for (const WorkbookReader::Sheet &sheet : xlrd.sheets())
            names << sheet.name;
        const QStringList added = {QStringLiteral("Meter"), QStringLiteral("Meter (2)"), QStringLiteral("METER (3)"),
                                   QStringLiteral("a_b_c_d_e_f_g_h 012345678901234")};
        QCOMPARE(names, sheets + added);
        const WorkbookReader::Sheet &titled = xlrd.sheet(int(sheets.size()));
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
                const WorkbookReader::Cell now = xlrd.sheet(sheet).cells.value(at);
                QCOMPARE(QVariantList({now.value, now.xfIndex, now.numberFormat}),
                         QVariantList({old.value, old.xfIndex, old.numberFormat}));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestWorkbookCells)
#include "tst_workbookcells.moc"
