// SPDX-License-Identifier: GPL-3.0-or-later
#include "CellGlyphs.h"
#include "ReportLayout.h"

#include <QFontMetricsF>
#include <QtTest>

// The learnt glyphs must measure a text as Qt's own layout does, or the columns of a report
// would be measured by one rule and drawn by another; texts they cannot draw are left to Qt.
class TestCellGlyphs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void widthAsQtLaysOut_data()
    {
        QTest::addColumn<bool>("bold");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("taken");
        QTest::newRow("number") << false << "12345.678" << true;
        QTest::newRow("negative exponent") << false << "-1.25E-03" << true;
        QTest::newRow("dashes") << false << "----" << true;
        QTest::newRow("kerned pairs") << false << "AVATAR" << true;
        QTest::newRow("letter kerned with itself") << false << "Error" << true;
        QTest::newRow("spaces") << false << "Page 12 of 282" << true;
        QTest::newRow("bold heading") << true << "Measurement Report" << true;
        QTest::newRow("tab") << false << "a\tb" << false;
        QTest::newRow("word") << false << "Office" << true;
        QTest::newRow("title") << true << "Illuminance" << true;
        QTest::newRow("unit") << true << "(Lux)" << true;
        QTest::newRow("accents") << false << "Müller" << true;
        QTest::newRow("degree sign") << true << "(℃)" << false;
        QTest::newRow("Chinese") << false << "照度" << false;
        QTest::newRow("empty") << false << "" << true;
    }

    void widthAsQtLaysOut()
    {
        QFETCH(bool, bold);
        QFETCH(QString, text);
        QFETCH(bool, taken);
        const QFont font = bold ? ReportLayout::titleFont() : ReportLayout::textFont();
        CellGlyphs glyphs(font);
        const std::optional<double> width = glyphs.width(text);
        QCOMPARE(width.has_value(), taken);
        if (width)
            QCOMPARE(*width, QFontMetricsF(font).horizontalAdvance(text));
        QCOMPARE(glyphs.add(text, QPointF(10, 10), 1000), taken);
    }

    // A pair Qt kerns is drawn with its kerning: its width is not its glyphs' advances.
    void kernedPairKeepsItsKerning()
    {
        const QFont font = ReportLayout::textFont();
        CellGlyphs glyphs(font);
        const QFontMetricsF metrics(font);
        const QString pair = QStringLiteral("AV");
        const double apart = metrics.horizontalAdvance(pair.left(1)) + metrics.horizontalAdvance(pair.mid(1));
        if (qFuzzyCompare(metrics.horizontalAdvance(pair), apart))
            QSKIP("the font does not kern AV");
        QCOMPARE(glyphs.width(pair).value_or(0), metrics.horizontalAdvance(pair));
        QVERIFY(glyphs.width(pair).value_or(0) < apart);
    }

    void widerThanAllowedIsNotTaken()
    {
        CellGlyphs glyphs(ReportLayout::textFont());
        const double width = glyphs.width(QStringLiteral("123456")).value_or(0);
        QVERIFY(width > 0);
        QVERIFY(!glyphs.add(QStringLiteral("123456"), QPointF(), width - 1));
        QVERIFY(glyphs.add(QStringLiteral("123456"), QPointF(), width));
    }
};

QTEST_MAIN(TestCellGlyphs)
#include "tst_cellglyphs.moc"
