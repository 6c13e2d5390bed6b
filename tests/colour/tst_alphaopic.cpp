// SPDX-License-Identifier: GPL-3.0-or-later
// The α-opic figures of spectra whose figures can be worked out by hand: CIE illuminants D65 and A
// and the equal-energy spectrum at the meter's 31 wavelengths, lines, and spectra without light.
// Expectations are sums written out here over the published tables, or the published values.
#include "AlphaOpic.h"
#include "AlphaOpicTable.h"
#include "CieObserverTable.h"

#include <QtTest>

#include <cmath>

namespace {

using Values = AlphaOpic::Values;

// CIE standard illuminant D65 at 400 nm to 700 nm in 10 nm steps (CIE 15, relative, 100 at 560 nm).
const Values d65 = {82.7549f, 91.486f,  93.4318f, 86.6823f, 104.865f, 117.008f, 117.812f, 114.861f,
                    115.923f, 108.811f, 109.354f, 107.802f, 104.79f,  107.689f, 104.405f, 104.046f,
                    100.0f,   96.3342f, 95.788f,  88.6856f, 90.0062f, 89.5991f, 87.6987f, 83.2886f,
                    83.6992f, 80.0268f, 80.2146f, 82.2778f, 78.2842f, 69.7213f, 71.6091f};

// CIE standard illuminant A by its defining formula (CIE 15): Planck's law at 2848 K with
// c2 = 1.435e-2 m·K, 100 at 560 nm.
Values illuminantA()
{
    Values values{};
    const auto planck = [](double nm) { return std::pow(560 / nm, 5) / std::expm1(1.435e7 / (2848 * nm)); };
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = float(100 * planck(400 + 10.0 * i) / planck(560));
    return values;
}

Values line(int nm, float value = 1)
{
    Values values{};
    values[size_t((nm - 400) / 10)] = value;
    return values;
}

// K_α,v in mW/lm, summed here over the raw tables.
double efficacyBySums(const Values &values, int receptor)
{
    double weighted = 0, luminous = 0;
    for (int i = 0; i < 31; ++i) {
        weighted += double(values[size_t(i)]) * alphaOpicTable[i][receptor];
        luminous += double(values[size_t(i)]) * cieObserverTable[40 + 10 * i][1]; // ȳ at 400 + 10·i nm
    }
    return 1000 * weighted / (683.002 * luminous);
}

} // namespace

class TestAlphaOpic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void figures_data();
    void figures();
    void noLight_data();
    void noLight();
    void daylight();
};

void TestAlphaOpic::figures_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<double>("melanopicEfficacy"); // mW/lm, worked out beside the data
    QTest::addColumn<double>("tolerance");

    // D65 at 31 points: 1.3288 mW/lm, 0.19 % above the standard's 1.3262 (380 nm to 780 nm at 1 nm);
    // its melanopic DER is 1.0020.
    QTest::newRow("D65") << d65 << 1.3262 << 0.0035;
    // Illuminant A: 0.6585 mW/lm, DER 0.4966.
    QTest::newRow("A") << illuminantA() << 0.6585 << 0.0002;
    // Equal energy: Σ s_mel / (Km Σ ȳ) = 8.777991 / (683.002 × 10.681488).
    QTest::newRow("equal energy") << Values{[] {
        Values v{};
        v.fill(3.5f);
        return v;
    }()} << 1000 * 8.777991 / (683.002 * 10.681488) << 1e-6;
    // Lines: s_mel / (Km ȳ) at the line's wavelength, whatever its height.
    QTest::newRow("490 nm") << line(490, 0.25f) << 1000 * 1.0 / (683.002 * 0.20802) << 1e-6;
    QTest::newRow("700 nm") << line(700) << 1000 * 2.43819e-06 / (683.002 * 0.004102) << 1e-9;
}

void TestAlphaOpic::figures()
{
    QFETCH(Values, values);
    QFETCH(double, melanopicEfficacy);
    QFETCH(double, tolerance);
    const AlphaOpicMetrics metrics = AlphaOpic::compute(values);
    QVERIFY(metrics.valid);
    QVERIFY2(std::abs(metrics.efficacy[AlphaOpic::Melanopic] - melanopicEfficacy) <= tolerance,
             qPrintable(QString::number(metrics.efficacy[AlphaOpic::Melanopic], 'f', 6)));
    const double d65Efficacies[] = {0.8173, 1.4558, 1.6289, 1.4497, 1.3262}; // CIE S 026, Table 3
    for (int r = 0; r < AlphaOpic::ReceptorCount; ++r) {
        const double expected = efficacyBySums(values, r);
        QVERIFY(std::abs(metrics.efficacy[size_t(r)] - expected) <= 1e-9 * expected);
        QVERIFY(std::abs(metrics.der[size_t(r)] - expected / d65Efficacies[r]) <= 1e-9 * expected);
    }
}

void TestAlphaOpic::noLight_data()
{
    QTest::addColumn<Values>("values");
    QTest::newRow("zero") << Values{};
    Values negative = d65;
    negative[30] = -0.001f;
    QTest::newRow("negative") << negative;
    QTest::newRow("NaN") << line(500, std::nanf(""));
}

void TestAlphaOpic::noLight()
{
    QFETCH(Values, values);
    QVERIFY(!AlphaOpic::compute(values).valid);
}

void TestAlphaOpic::daylight()
{
    // The D65 efficacies at the meter's 31 points stay within 0.4 % of the standard's full-range
    // values for every receptor (the largest, S-cone, is 0.36 % above): a mistyped row would not.
    const AlphaOpicMetrics metrics = AlphaOpic::compute(d65);
    for (int r = 0; r < AlphaOpic::ReceptorCount; ++r)
        QVERIFY2(std::abs(metrics.der[size_t(r)] - 1) < 0.004, qPrintable(QString::number(metrics.der[size_t(r)])));
    // Melanopic DERs: D65 1.0020, illuminant A 0.4966.
    QVERIFY(std::abs(metrics.der[AlphaOpic::Melanopic] - 1.0020) < 0.00005);
    QVERIFY(std::abs(AlphaOpic::compute(illuminantA()).der[AlphaOpic::Melanopic] - 0.4966) < 0.00005);
}

QTEST_GUILESS_MAIN(TestAlphaOpic)
#include "tst_alphaopic.moc"
