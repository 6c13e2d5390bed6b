// SPDX-License-Identifier: GPL-3.0-or-later
// The colour table following a real spectral table through appends, a removal, a rename, a language
// switch and a clear; every title, cell and export cell checked against the colour of its record.
#include "ColourFigures.h"
#include "ColourTableModel.h"
#include "MelanopicFigures.h"
#include "MeterImage.h"
#include "ExportTable.h"
#include "NumberText.h"
#include "SpectralTableModel.h"
#include "TextCatalogue.h"

#include <QAbstractItemModelTester>
#include <QtEndian>
#include <QtTest>

#include <memory>
#include <utility>

#include <cmath>

Q_DECLARE_METATYPE(Text)

namespace {

// A blackbody by Planck's law (kelvin > 0), or lines of `value` at the given wavelengths.
SpectralRecord spectrum(double kelvin, std::initializer_list<int> nanometres = {}, float value = 1)
{
    SpectralRecord record;
    for (size_t i = 0; kelvin > 0 && i < record.values.size(); ++i)
        record.values[i] = float(1 / (std::pow(0.4 + 0.01 * i, 5) * std::expm1(14388 / ((0.4 + 0.01 * i) * kelvin))));
    for (const int nm : nanometres)
        record.values[size_t((nm - 400) / 10)] = value;
    return record;
}

QString cell(const QAbstractItemModel &model, int row, int column, int role = Qt::DisplayRole)
{
    return model.data(model.index(row, column), role).toString();
}

// Every title, cell and export cell against the records' colours; dashes gets each row's count of
// "----" figures.
void compareWithSpectra(const ColourTableModel &colours, const SpectralTableModel &spectral, QList<int> &dashes)
{
    const int first = colours.firstFigureColumn();
    const Text titles[] = {Text::RowNumber,      Text::TestName,           Text::ColourX,     Text::ColourY,
                           Text::ColourUPrime,   Text::ColourVPrime,       Text::ColourCct,   Text::ColourDuv,
                           Text::PeakWavelength, Text::DominantWavelength, Text::ColourPurity,
                           Text::MelanopicEfficacy, Text::MelanopicDer, Text::MelanopicEdi,
                           // The export's alone.
                           Text::SConeDer, Text::MConeDer, Text::LConeDer, Text::RhodopicDer};
    const ExportTable table = colours.exportTable(7);
    QCOMPARE(colours.columnCount(), int(std::size(titles)) - 4);
    QCOMPARE(table.columnCount(), int(std::size(titles)));
    for (int c = 0; c < table.columnCount(); ++c) {
        const QString title = TextCatalogue::text(titles[c], spectral.isChinese());
        // The window shows a title with a unit on two lines.
        QString shown = c < colours.columnCount() ? colours.headerData(c, Qt::Horizontal).toString() : title;
        if (c < colours.columnCount() && title.indexOf(QLatin1Char('(')) > 0)
            QVERIFY(shown.contains(QLatin1Char('\n')));
        QCOMPARE(shown.remove(QLatin1Char('\n')) + table.headerText(c), title + title);
    }
    QCOMPARE(colours.rowCount(), spectral.recordCount());
    dashes.clear();
    for (int r = 0; r < colours.rowCount(); ++r) {
        QCOMPARE(cell(colours, r, 0) + QLatin1Char(' ') + table.cellText(r, 0),
                 QStringLiteral("%1 %2").arg(r + 1).arg(r + 7));
        QCOMPARE(cell(colours, r, 1), cell(spectral, r + 1, 1));
        const ColourMetrics m = SpectrumColour::compute(spectral.records().at(size_t(r)).values);
        const double values[] = {
            m.xy.x,        m.xy.y, m.uvPrime.u, m.uvPrime.v, m.cct, m.duv, m.peakWavelength + 0.0, m.dominantWavelength,
            100 * m.purity};
        const int decimals[] = {4, 4, 4, 4, 0, 4, 0, 1, 1};
        dashes << 0;
        for (int f = 0; f < ColourFigures::Count; ++f) {
            const QString text = cell(colours, r, first + f);
            const bool given = m.valid && (m.hasCct || (f != ColourFigures::Cct && f != ColourFigures::Duv));
            const std::optional<NumberText> number = NumberText::read(text);
            QVERIFY2(given ? number && number->decimals == decimals[f]
                                 && std::abs(number->value - values[f]) <= 0.5 * std::pow(10, -decimals[f]) + 1e-9
                           : text == QLatin1String("----"),
                     qPrintable(text));
            QCOMPARE(table.cellText(r, first + f), text);
            QCOMPARE(table.isNumber(r, first + f), given);
            dashes.last() += given ? 0 : 1;
        }
        QCOMPARE(cell(colours, r, first + ColourFigures::Dominant, Qt::ToolTipRole).isEmpty(), !m.complementary);
        // The melanopic figures: ratios of the record's α-opic sums, its EDI the DER times its own
        // illuminance; the window shows the first three.
        const SpectralRecord &record = spectral.records().at(size_t(r));
        const AlphaOpicMetrics opic = AlphaOpic::compute(record.values);
        const double der = opic.efficacy[AlphaOpic::Melanopic] / 1.3262;
        const double opicValues[] = {opic.efficacy[AlphaOpic::Melanopic],      der, der * record.photometric,
                                     opic.efficacy[AlphaOpic::SCone] / 0.8173, opic.efficacy[AlphaOpic::MCone] / 1.4558,
                                     opic.efficacy[AlphaOpic::LCone] / 1.6289, opic.efficacy[AlphaOpic::Rhodopic] / 1.4497};
        const int opicDecimals[] = {4, 4, 1, 4, 4, 4, 4};
        for (int f = 0; f < MelanopicFigures::Count; ++f) {
            const int column = colours.firstMelanopicColumn() + f;
            const QString text = table.cellText(r, column);
            const bool given = opic.valid && (f != MelanopicFigures::EquivalentDaylight || record.hasPhotometric);
            const std::optional<NumberText> number = NumberText::read(text);
            QVERIFY2(given ? number && number->decimals == opicDecimals[f]
                                 && std::abs(number->value - opicValues[f]) <= 0.5 * std::pow(10, -opicDecimals[f]) + 1e-9
                           : text == QLatin1String("----"),
                     qPrintable(text));
            QCOMPARE(table.isNumber(r, column), given);
            if (f < MelanopicFigures::ShownCount) {
                QCOMPARE(cell(colours, r, column), text);
                dashes.last() += given ? 0 : 1;
            }
        }
    }
}

} // namespace

class TestColourTableModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The cells must not follow the locale: '.' and no group separators whatever it is.
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German)); }

    // A kind whose records have names (the command-line tests see kind 1's table without them).
    void followsSpectralTable()
    {
        SpectralTableModel spectral(4);
        ColourTableModel colours(spectral);
        // Both models are checked on every change for the signals and indexes views rely on, except
        // while a row is removed: the rows below it are numbered again, which the tester takes for
        // data that did not move with its row.
        const auto checked = [&spectral, &colours]() {
            using Tester = QAbstractItemModelTester;
            return std::make_pair(std::make_unique<Tester>(&spectral, Tester::FailureReportingMode::QtTest),
                                  std::make_unique<Tester>(&colours, Tester::FailureReportingMode::QtTest));
        };
        auto testers = checked();
        spectral.setUp(QList<int>(MeterFacts::UnitSlotCount, 5), {});
        // Warm white, beyond 25,000 K, a green line and a purple (both off the locus), no light.
        // The warm white has an illuminance of its own, the others none.
        SpectralRecord warm = spectrum(3000);
        warm.hasPhotometric = true;
        warm.photometric = 512.5f;
        for (const SpectralRecord &record : {warm, spectrum(1e6), spectrum(0, {550}), spectrum(0, {400, 700}),
                                             spectrum(0), spectrum(0, {500}, std::nanf(""))})
            QVERIFY(spectral.appendRecord(record, QStringLiteral("Lamp %1").arg(colours.rowCount())));
        QList<int> dashes;
        compareWithSpectra(colours, spectral, dashes);
        QCOMPARE(dashes, (QList<int>{0, 3, 3, 3, 12, 12}));
        QSignalSpy changed(&colours, &QAbstractItemModel::dataChanged);
        testers = {};
        spectral.removeRecord(1);
        testers = checked();
        QCOMPARE(changed.last().at(0).toModelIndex(), colours.index(1, 0)); // the numbers below
        compareWithSpectra(colours, spectral, dashes);
        QVERIFY(spectral.setData(spectral.index(3, 1), QStringLiteral("Desk, left")));
        QCOMPARE(changed.last().at(0).toModelIndex(), colours.index(2, 1));
        compareWithSpectra(colours, spectral, dashes);
        QSignalSpy titles(&colours, &QAbstractItemModel::headerDataChanged);
        spectral.setChinese(false);
        QCOMPARE(titles.size(), 1);
        compareWithSpectra(colours, spectral, dashes);
        spectral.clearRecords();
        QVERIFY(spectral.appendRecord(spectrum(6500)));
        compareWithSpectra(colours, spectral, dashes);
        // A Duv just below zero reads as zero: NumberText (the export) refuses "-0.0000".
        QCOMPARE(ColourFigures::fixed(-0.00004, 4) + ColourFigures::fixed(-0.00006, 4),
                 QStringLiteral("0.0000-0.0001"));
    }

    // A record's illuminance is its word 0 (a luminance for kind 3, whose column is titled EDL),
    // none where the word is a marker or, in the PPFD mode, part of the spectrum.
    void photometricOfDownload_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("mode");
        QTest::addColumn<quint32>("word0");
        QTest::addColumn<QString>("edi"); // of a flat spectrum of 1.0 (DER 0.9073)
        QTest::addColumn<Text>("title");
        const quint32 lux250 = 0x437A0000; // 250.0f
        QTest::newRow("kind 1") << 1 << 0 << lux250 << QStringLiteral("226.8") << Text::MelanopicEdi;
        QTest::newRow("kind 3") << 3 << 0 << lux250 << QStringLiteral("226.8") << Text::MelanopicEdl;
        QTest::newRow("marker") << 5 << 0 << 0x6E0E2BF2u << QStringLiteral("----") << Text::MelanopicEdi;
        QTest::newRow("PPFD") << 1 << 1 << lux250 << QStringLiteral("----") << Text::MelanopicEdi;
    }

    void photometricOfDownload()
    {
        QFETCH(int, kind);
        QFETCH(int, mode);
        QFETCH(quint32, word0);
        QFETCH(QString, edi);
        QFETCH(Text, title);
        SpectralTableModel spectral(kind);
        ColourTableModel colours(spectral);
        spectral.setUp(QList<int>(MeterFacts::UnitSlotCount, 5), {});
        QByteArray record(MeterFacts::RecordSize, '\0');
        qToLittleEndian(word0, record.data());
        const int offset = mode == 1 ? 0 : 60;
        for (int i = 0; i < 31; ++i)
            qToLittleEndian(0x3F800000u, record.data() + offset + 4 * i); // 1.0f
        if (mode == 1)
            qToLittleEndian(0x3F800000u, record.data()); // the spectrum's first value, not a photometric one
        MeterFlow::Download download;
        download.count = 1;
        download.records = record;
        spectral.appendDownload(download, mode);
        const int column = colours.firstMelanopicColumn() + MelanopicFigures::EquivalentDaylight;
        QCOMPARE(cell(colours, 0, column), edi);
        QCOMPARE(colours.headerData(column, Qt::Horizontal).toString().remove(QLatin1Char('\n')),
                 TextCatalogue::text(title, true));
    }

    // The meter marks a record too dim to measure by the invalid marker in its colour-temperature
    // word: every figure of it reads "----", in the window and the export, with a tooltip saying
    // why; the sample's other records keep their figures. PPFD records have no such word.
    void tooDimRecords_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QList<int>>("dim");
        QTest::newRow("kind 1") << QStringLiteral("kind1.json") << 1 << QList<int>{5};
        QTest::newRow("kind 4, named") << QStringLiteral("kind4.json") << 4 << QList<int>{5};
        QTest::newRow("kind 5") << QStringLiteral("kind5.json") << 5 << QList<int>{};
        QTest::newRow("PPFD") << QStringLiteral("kind1-ppfd.json") << 1 << QList<int>{};
    }

    void tooDimRecords()
    {
        QFETCH(QString, file);
        QFETCH(int, kind);
        QFETCH(QList<int>, dim);
        MeterImage image;
        QString error;
        QVERIFY2(MeterImage::fromFile(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/") + file, image, error),
                 qPrintable(error));
        SpectralTableModel spectral(kind);
        ColourTableModel colours(spectral);
        spectral.setUp(QList<int>(MeterFacts::UnitSlotCount, 5), {});
        MeterFlow::Download download;
        download.count = image.recordCount;
        download.records = image.recordMemory;
        download.names = image.nameMemory;
        spectral.appendDownload(download, image.mode);
        QVERIFY(colours.rowCount() > dim.size() + 1);
        const ExportTable table = colours.exportTable();
        const int first = colours.firstFigureColumn();
        for (const bool chinese : {true, false}) {
            spectral.setChinese(chinese);
            const QString tip = TextCatalogue::text(Text::ColourTooDim, chinese);
            for (int r = 0; r < colours.rowCount(); ++r) {
                int dashes = 0, tips = 0, numbers = 0;
                for (int c = first; c < colours.columnCount(); ++c) {
                    dashes += cell(colours, r, c) == QLatin1String("----") ? 1 : 0;
                    tips += cell(colours, r, c, Qt::ToolTipRole) == tip ? 1 : 0;
                }
                for (int c = first; c < table.columnCount(); ++c)
                    numbers += table.isNumber(r, c) ? 1 : 0;
                const int figures = dim.contains(r) ? colours.columnCount() - first : 0;
                // Other records may lack a figure (no CCT off the locus, no EDI in PPFD), never for this reason.
                QCOMPARE(tips, figures);
                QVERIFY(dashes >= figures);
                QCOMPARE(numbers == 0, dim.contains(r));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestColourTableModel)
#include "tst_colourtablemodel.moc"
