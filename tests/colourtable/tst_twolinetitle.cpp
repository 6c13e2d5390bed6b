// SPDX-License-Identifier: GPL-3.0-or-later
// Where a column title breaks: its longer line as short as can be, units and two-character Chinese
// words kept whole, and the title itself unchanged but for the break.
#include "TwoLineTitle.h"

#include <QtTest>

class TestTwoLineTitle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void split_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("lines");
        QTest::newRow("no place to break") << QStringLiteral("Duv") << QStringLiteral("Duv");
        QTest::newRow("two characters") << QStringLiteral("序号") << QStringLiteral("序号");
        QTest::newRow("unit alone") << QStringLiteral("Purity(%)") << QStringLiteral("Purity\n(%)");
        QTest::newRow("one character would stand alone") << QStringLiteral("色纯度(%)") << QStringLiteral("色纯度\n(%)");
        QTest::newRow("between two words") << QStringLiteral("相关色温(K)") << QStringLiteral("相关\n色温(K)");
        QTest::newRow("a tie keeps the unit apart") << QStringLiteral("峰值波长(nm)") << QStringLiteral("峰值波长\n(nm)");
        QTest::newRow("long unit") << QStringLiteral("黑视素光效(mW/lm)") << QStringLiteral("黑视素光效\n(mW/lm)");
        QTest::newRow("Chinese then Latin") << QStringLiteral("黑视素DER") << QStringLiteral("黑视素\nDER");
        QTest::newRow("Latin and unit together") << QStringLiteral("黑视素EDI(lx)") << QStringLiteral("黑视素\nEDI(lx)");
        QTest::newRow("at a space") << QStringLiteral("Mel DER") << QStringLiteral("Mel \nDER");
        QTest::newRow("space or unit, a tie") << QStringLiteral("Mel EDI(lx)") << QStringLiteral("Mel EDI\n(lx)");
        QTest::newRow("the later space") << QStringLiteral("a b longword") << QStringLiteral("a b \nlongword");
    }

    void split()
    {
        QFETCH(QString, title);
        QFETCH(QString, lines);
        QCOMPARE(TwoLineTitle::split(title), lines);
    }
};

QTEST_MAIN(TestTwoLineTitle)
#include "tst_twolinetitle.moc"
