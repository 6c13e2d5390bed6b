// SPDX-License-Identifier: GPL-3.0-or-later
// LibreOffice opens what the export writes, takes the values for numbers and shows the same texts:
// each workbook format is converted to CSV by a headless LibreOffice, whose CSV holds the cells as
// they are displayed, every text cell in quotes and every number bare.
#include "ExportSheet.h"
#include "ExportTable.h"
#include "NumberText.h"
#include "TableFile.h"

#include <QtTest>

namespace {

// Measured values of every precision, marker texts and names: the displayed texts must come back.
const QList<QStringList> rows = {
    {QStringLiteral("名称"), QStringLiteral("照度"), QStringLiteral("色温"), QStringLiteral("闪烁频率")},
    {QStringLiteral("A1"), QStringLiteral("0.0"), QStringLiteral("5600"), QStringLiteral("无频闪")},
    {QStringLiteral("123"), QStringLiteral("12.30"), QStringLiteral("-4.5"), QStringLiteral("----")},
    {QString(), QStringLiteral("98765.4321"), QStringLiteral("0.001"), QStringLiteral("-0.0")},
};

ExportTable table()
{
    ExportTable t(int(rows.size()) - 1, int(rows.first().size()));
    for (int c = 0; c < t.columnCount(); ++c)
        t.setHeaderText(c, rows.first().at(c));
    for (int r = 1; r < rows.size(); ++r) {
        t.setCellText(r - 1, 0, rows.at(r).at(0));
        for (int c = 1; c < t.columnCount(); ++c)
            t.setCellNumber(r - 1, c, rows.at(r).at(c));
    }
    return t;
}

} // namespace

class TestLibreOfficeOpens : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void displayedTexts_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("xls") << int(TableFile::Xls);
        QTest::newRow("xlsx") << int(TableFile::Xlsx);
    }

    void displayedTexts()
    {
        QFETCH(int, format);
        const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        QVERIFY2(!soffice.isEmpty(), "LibreOffice (soffice) is not installed");
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path())); // no template here
        const TableFile::Format tableFormat = TableFile::Format(format);
        const QString file = dir.filePath(QStringLiteral("data.") + TableFile::suffix(tableFormat));
        TableFile writer(file, tableFormat);
        QCOMPARE(writer.prepare(), TableFile::Ready);
        ExportSheet meter{QStringLiteral("Meter"), ExportTable(1, 2)};
        meter.table.setCellText(0, 0, QStringLiteral("Records"));
        meter.table.setCellNumber(0, 1, QStringLiteral("3"));
        QVERIFY2(writer.write(table(), nullptr, {meter}), qPrintable(writer.errorString()));

        // A profile of its own, so that no other LibreOffice and no user settings take part; the
        // CSV is comma separated (44), quoted with '"' (34), UTF-8 (76), with all text cells
        // quoted and the cells as shown.
        QProcess office;
        office.setWorkingDirectory(dir.path());
        office.start(soffice,
                     {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
                      QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                      QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true,true"),
                      QStringLiteral("--outdir"), dir.filePath(QStringLiteral("out")), file});
        QVERIFY(office.waitForFinished(180000));
        QCOMPARE(office.exitCode(), 0);
        QFile csv(dir.filePath(QStringLiteral("out/data.csv")));
        QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(QString::fromUtf8(office.readAllStandardError())));
        QStringList lines = QString::fromUtf8(csv.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (QString &line : lines)
            line.remove(QLatin1Char('\r'));
        // Titles, names and markers are quoted texts; a blank cell is an empty field.
        QStringList expected;
        for (qsizetype r = 0; r < rows.size(); ++r) {
            QStringList fields;
            for (qsizetype c = 0; c < rows.at(r).size(); ++c) {
                const QString &text = rows.at(r).at(c);
                const bool number = r > 0 && c > 0 && NumberText::read(text);
                fields << (number || text.isEmpty() ? text : QLatin1Char('"') + text + QLatin1Char('"'));
            }
            expected << fields.join(QLatin1Char(','));
        }
        QCOMPARE(lines, expected);
    }
};

QTEST_GUILESS_MAIN(TestLibreOfficeOpens)
#include "tst_libreofficeopens.moc"
