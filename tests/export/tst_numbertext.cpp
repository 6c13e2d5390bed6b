// SPDX-License-Identifier: GPL-3.0-or-later
// Which cell texts a workbook stores as numbers, and that the number and its format show the text.
#include "NumberText.h"

#include <QtTest>

class TestNumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("number");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("format");
        QTest::newRow("integer") << "5600" << true << 0 << "0";
        QTest::newRow("zero with a decimal") << "0.0" << true << 1 << "0.0";
        QTest::newRow("trailing zero kept") << "12.30" << true << 2 << "0.00";
        QTest::newRow("negative") << "-4.5" << true << 1 << "0.0";
        QTest::newRow("small fraction") << "0.001" << true << 3 << "0.000";
        QTest::newRow("15 significant digits") << "12345678.9012345" << true << 7 << "0.0000000";
        QTest::newRow("16 significant digits") << "1234567890.123456" << false << 0 << "";
        QTest::newRow("16 decimals") << "0.0000000000000001" << false << 0 << "";
        QTest::newRow("negative zero") << "-0.0" << false << 0 << "";
        QTest::newRow("leading zeros") << "007" << false << 0 << "";
        QTest::newRow("plus sign") << "+1" << false << 0 << "";
        QTest::newRow("exponent") << "1e5" << false << 0 << "";
        QTest::newRow("point without decimals") << "1." << false << 0 << "";
        QTest::newRow("point without integer") << ".5" << false << 0 << "";
        QTest::newRow("two points") << "1.2.3" << false << 0 << "";
        QTest::newRow("group separator") << "1,000" << false << 0 << "";
        QTest::newRow("space") << " 1" << false << 0 << "";
        QTest::newRow("not a number") << "nan" << false << 0 << "";
        QTest::newRow("marker") << "----" << false << 0 << "";
        QTest::newRow("empty") << "" << false << 0 << "";
        QTest::newRow("minus alone") << "-" << false << 0 << "";
        QTest::newRow("full-width digits") << "１２" << false << 0 << "";
    }

    void read()
    {
        QFETCH(QString, text);
        QFETCH(bool, number);
        QFETCH(int, decimals);
        QFETCH(QString, format);
        const std::optional<NumberText> read = NumberText::read(text);
        QCOMPARE(read.has_value(), number);
        if (!number)
            return;
        // The double is the one the text names, and shown with the format it gives the text back.
        QCOMPARE(read->value, text.toDouble());
        QCOMPARE(read->decimals, decimals);
        QCOMPARE(NumberText::format(read->decimals), format);
        QCOMPARE(QString::number(read->value, 'f', read->decimals), text);
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
