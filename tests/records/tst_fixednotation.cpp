// SPDX-License-Identifier: GPL-3.0-or-later
#include "FixedNotation.h"
#include "RecordRowTexts.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>

// Fixed notation is written without Qt's general formatting for speed, and must still give the
// very text Qt gives: the cells of the window, the workbooks and the reports are compared and
// read back as numbers, and a digit rounded the other way is a wrong measurement.
class TestFixedNotation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void asQtWritesIt_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected");
        QTest::newRow("rounds down") << 3.14159 << 2 << "3.14";
        QTest::newRow("rounds up into the whole part") << 9.996 << 2 << "10.00";
        QTest::newRow("no decimals") << 2.4 << 0 << "2";
        QTest::newRow("tie away from zero") << 0.125 << 2 << "0.13";
        QTest::newRow("negative tie away from zero") << -2.5 << 0 << "-3";
        QTest::newRow("below one") << 0.0421 << 4 << "0.0421";
        QTest::newRow("zero") << 0.0 << 3 << "0.000";
        QTest::newRow("negative zero") << -0.0 << 1 << "0.0";
        QTest::newRow("negative rounding to zero") << -0.0004 << 3 << "-0.000";
        QTest::newRow("negative") << -1234.5678 << 1 << "-1234.6";
        QTest::newRow("double just below a tie") << 1.005 << 2 << "1.00";
        QTest::newRow("eight decimals") << 0.123456789 << 8 << "0.12345679";
        QTest::newRow("nine decimals") << 0.123456789 << 9 << "0.123456789";
        QTest::newRow("large") << 123456789012.0 << 2 << "123456789012.00";
        QTest::newRow("largest fast") << 999999.9994 << 3 << "999999.999";
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << 2 << "inf";
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << 2 << "nan";
    }

    void asQtWritesIt()
    {
        QFETCH(double, value);
        QFETCH(int, decimals);
        QFETCH(QString, expected);
        QCOMPARE(QString::number(value, 'f', decimals), expected); // the reference itself
        QCOMPARE(FixedNotation::text(value, decimals), expected);
    }

    // Measured values come as floats of every size; their texts with every decimal count a
    // catalog may give must be Qt's, ties and near-ties included.
    void floatsAsQtWritesThem()
    {
        QRandomGenerator random(27);
        for (int k = 0; k < 200000; ++k) {
            const int decimals = int(random.bounded(10));
            const double magnitude = std::pow(10.0, random.bounded(14.0) - 6);
            auto value = float((random.generateDouble() - 0.3) * magnitude);
            if (k % 4 == 0) // a tie or a near one at the last decimal
                value = float((std::round(value * std::pow(10.0, decimals)) + 0.5) / std::pow(10.0, decimals));
            const QString qt = QString::number(double(value), 'f', decimals);
            if (FixedNotation::text(double(value), decimals) != qt)
                QFAIL(qPrintable(QStringLiteral("%1 with %2 decimals: %3, Qt %4")
                                     .arg(double(value), 0, 'g', 17)
                                     .arg(decimals)
                                     .arg(FixedNotation::text(double(value), decimals), qt)));
        }
    }

    // The records table's own rule: decimals beyond what fixed notation can honour are bounded.
    void recordCellsBoundTheirDecimals_data()
    {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("expected");
        QTest::newRow("negative count") << -3 << "2";
        QTest::newRow("within") << 2 << "1.50";
        QTest::newRow("beyond sixteen") << 40 << "1.5000000000000000";
    }

    void recordCellsBoundTheirDecimals()
    {
        QFETCH(int, decimals);
        QFETCH(QString, expected);
        QCOMPARE(RecordRowTexts::number(1.5f, decimals), expected);
    }
};

QTEST_GUILESS_MAIN(TestFixedNotation)
#include "tst_fixednotation.moc"
