// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogLoader.h"
#include "SpectralTestBench.h"
#include "TableRoles.h"
#include "VirtualMeter.h"

#include <QtEndian>
#include <QtTest>

#include <cstring>

using Strings = QStringList;
using Names = QList<QByteArray>;

namespace {

// Request numbers of a download that follows the page's construction: construction reads the
// unit slots (and the mode for kinds 1 and 4), and so does the download before the count.
int firstDownloadRequest(int uiIndex)
{
    const bool readsMode = uiIndex == 1 || uiIndex == 4;
    return readsMode ? 3 : 2;
}

int countRequest(int uiIndex)
{
    return firstDownloadRequest(uiIndex) + (uiIndex == 1 || uiIndex == 4 ? 2 : 1);
}

} // namespace

class TestSpectralDownload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void download_data();
    void download();
    void sampleMeters_data();
    void sampleMeters();
    void unfinishedDownloads_data();
    void unfinishedDownloads();
    void failedTransferAfterRowsLeavesNoRows();
    void closedLinkDoesNothing();
    void saveFirstQuestion_data();
    void saveFirstQuestion();
};

void TestSpectralDownload::download_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("count");
    QTest::addColumn<Names>("names");
    QTest::addColumn<int>("firstWord"); // record word holding the 400 nm value
    QTest::addColumn<Strings>("expectedNames");
    QTest::addColumn<int>("chunks");

    // 2 records: 392 bytes, chunks of 256 and 136 bytes.
    QTest::newRow("kind 1, mode 0") << 1 << 0 << 2 << Names{} << 15 << Strings{} << 2;
    QTest::newRow("kind 1, mode 1") << 1 << 1 << 2 << Names{} << 0 << Strings{} << 2;
    QTest::newRow("kind 1, mode 2") << 1 << 2 << 1 << Names{} << 15 << Strings{} << 1;
    QTest::newRow("kind 2, mode 1 ignored") << 2 << 1 << 3 << Names{} << 15 << Strings{} << 3;
    QTest::newRow("kind 3") << 3 << 1 << 1 << Names{} << 15 << Strings{} << 1;
    QTest::newRow("kind 5") << 5 << 1 << 2 << Names{} << 15 << Strings{} << 2;
    // One kind-4 record: one data chunk of 196 bytes and one name chunk of 16 bytes. A name slot
    // of 16 non-zero bytes gives its first 13.
    QTest::newRow("kind 4, mode 0") << 4 << 0 << 1 << Names{"ABCDEFGHIJKLMNOP"} << 15 << Strings{"ABCDEFGHIJKLM"} << 2;
    QTest::newRow("kind 4, mode 1") << 4 << 1 << 3 << Names{"Lamp", "", "Desk 2"} << 0 << Strings{"Lamp", "", "Desk 2"}
                                    << 4;
    // Names of 2 records that the name memory only partly holds read as zero bytes.
    QTest::newRow("kind 4, short name memory") << 4 << 0 << 2 << Names{"Only"} << 15 << Strings{"Only", ""} << 3;
}

void TestSpectralDownload::download()
{
    QFETCH(int, uiIndex);
    QFETCH(int, mode);
    QFETCH(int, count);
    QFETCH(Names, names);
    QFETCH(int, firstWord);
    QFETCH(Strings, expectedNames);
    QFETCH(int, chunks);

    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(count, quint16(mode), names)));
    auto page = bench.page(uiIndex, false);
    clickButton(*page, "pushButton_readRecords");

    QVERIFY(bench.dialogs.informationTexts().isEmpty());
    QVERIFY(bench.dialogs.questionTexts().isEmpty());
    QCOMPARE(bench.requests(), countRequest(uiIndex) + chunks);

    // Progress: range 0..chunks, value i after chunk i, label and cancel text in the language.
    const auto progress = std::find_if(bench.dialogs.shown().begin(), bench.dialogs.shown().end(),
                                       [](const auto &s) { return s.kind == ScriptedUserDialogs::Shown::Progress; });
    QVERIFY(progress != bench.dialogs.shown().end());
    QCOMPARE(progress->maximum, chunks);
    QCOMPARE(progress->title, QStringLiteral("Reading record, please wait..."));
    QCOMPARE(progress->text, QStringLiteral("Cancel"));
    QCOMPARE(progress->parent, page.get());
    QList<int> values;
    for (int i = 0; i < chunks; ++i)
        values << i;
    QCOMPARE(bench.dialogs.progressLogs().size(), 1);
    QCOMPARE(bench.dialogs.progressLogs().first()->values, values);
    QVERIFY(bench.dialogs.progressLogs().first()->destroyed);

    const int valueColumn = uiIndex == 4 ? 2 : 1;
    const int columns = columnCount(*page);
    QCOMPARE(rowCount(*page), count + 1);
    QCOMPARE(int(page->spectralRecords().size()), count);
    for (int k = 0; k < count; ++k) {
        const SpectralRecord &record = page->spectralRecords().at(size_t(k));
        QVERIFY(record.curveVisible);
        QVERIFY(isCurveTicked(*page, k + 1));
        QVERIFY(cellText(*page, k + 1, columns - 2).isEmpty());
        for (int i = 0; i < 31; ++i) {
            const float expected = SpectralTestBench::wordValue(k, firstWord + i);
            QCOMPARE(record.values[size_t(i)], expected);
            QCOMPARE(cellText(*page, k + 1, valueColumn + i),
                     QString::number(double(expected), 'f', SpectralTestBench::decimalsOfColumn(i)));
        }
        QCOMPARE(cellText(*page, k + 1, 0), QString::number(k + 1));
        if (uiIndex == 4)
            QCOMPARE(cellText(*page, k + 1, 1), expectedNames.at(k));
        QCOMPARE(cellData(*page, k + 1, columns - 3, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignCenter);
        QVERIFY(cellData(*page, k + 1, columns - 1, ButtonRole).toBool());
        QCOMPARE(cellText(*page, k + 1, columns - 1), QStringLiteral("Delete"));
    }
    // Record 0 from byte 0 holds 0.3, 1.3, 2.3, ...; from byte 60 15.3, 16.3, 17.3, ... The first
    // three columns have 0, 1 and 2 decimals.
    const Strings firstCells = firstWord == 0 ? Strings{"0", "1.3", "2.30"} : Strings{"15", "16.3", "17.30"};
    QCOMPARE((Strings{cellText(*page, 1, valueColumn), cellText(*page, 1, valueColumn + 1),
                      cellText(*page, 1, valueColumn + 2)}),
             firstCells);
}

void TestSpectralDownload::sampleMeters_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<int>("offset");

    QTest::newRow("kind 1") << "kind1.json" << 1 << 60;
    QTest::newRow("kind 1 PPFD") << "kind1-ppfd.json" << 1 << 0;
    QTest::newRow("kind 2") << "kind2.json" << 2 << 60;
    QTest::newRow("kind 4") << "kind4.json" << 4 << 60;
    QTest::newRow("kind 4 PPFD") << "kind4-ppfd.json" << 4 << 0;
}

// The shipped sample meters with the shipped unit catalog.
void TestSpectralDownload::sampleMeters()
{
    QFETCH(QString, file);
    QFETCH(int, uiIndex);
    QFETCH(int, offset);

    const MeterImage image = SpectralTestBench::sampleImage(file);
    QVERIFY(image.recordCount > 0);
    UnitCatalog catalog;
    CatalogLoader::loadUnitCatalog(QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files"), catalog);
    QVERIFY(catalog.size() > 45);

    SpectralTestBench bench;
    QVERIFY(bench.connect(image));
    auto page = bench.page(uiIndex, true, catalog);
    clickButton(*page, "pushButton_readRecords");
    QVERIFY(bench.dialogs.informationTexts().isEmpty());
    QCOMPARE(int(page->spectralRecords().size()), int(image.recordCount));
    for (int k = 0; k < int(image.recordCount); ++k) {
        const QByteArray bytes = image.recordMemory.mid(196 * k + offset, 124);
        for (int i = 0; i < 31; ++i) {
            float expected;
            const quint32 word = qFromLittleEndian<quint32>(bytes.constData() + 4 * i);
            std::memcpy(&expected, &word, sizeof expected);
            QCOMPARE(page->spectralRecords().at(size_t(k)).values[size_t(i)], expected);
        }
        if (uiIndex == 4) {
            const QByteArray slot = image.nameMemory.mid(16 * k, 13);
            QCOMPARE(cellText(*page, k + 1, 1), QString::fromLocal8Bit(slot.left(int(qstrnlen(slot.constData(), 13)))));
        }
    }
}

void TestSpectralDownload::unfinishedDownloads_data()
{
    QTest::addColumn<int>("uiIndex");
    QTest::addColumn<int>("count");
    QTest::addColumn<quint32>("reportedCount");
    QTest::addColumn<int>("badRequest"); // relative to the download's first request; -1: none
    QTest::addColumn<bool>("languageFlag");
    QTest::addColumn<QString>("message");     // empty: the download ends without a word
    QTest::addColumn<QList<int>>("progress"); // -1: no progress dialog; values without a message: cancelled

    const QList<int> none{-1};
    QTest::newRow("unit slots") << 1 << 2 << 2u << 0 << true << "读取单位编号失败!" << none;
    QTest::newRow("mode, English") << 4 << 2 << 2u << 1 << false << "Failed to read mode!" << none;
    QTest::newRow("record count, kind without a mode") << 3 << 2 << 2u << 1 << true << "读取记录数量失败!" << none;
    // A count whose record area would not fit below the name area is refused before any read.
    QTest::newRow("impossible count, English")
        << 4 << 1 << 5478275u << -1 << false << "Failed to Read Record Number！" << none;
    QTest::newRow("first data chunk") << 1 << 3 << 3u << 3 << true << "读取记录数据失败!" << QList<int>{};
    QTest::newRow("second data chunk, English")
        << 2 << 3 << 3u << 3 << false << "Failed to Read Record Data！" << QList<int>{0};
    QTest::newRow("name chunk") << 4 << 2 << 2u << 5 << true << "读取记录名称失败!" << QList<int>{0, 1};
    QTest::newRow("no records") << 1 << 0 << 0u << -1 << true << QString() << none;
    QTest::newRow("kind 6 is not read") << 6 << 3 << 3u << -1 << true << QString() << none;
    QTest::newRow("kind 7 is not read") << 7 << 3 << 3u << -1 << true << QString() << none;
    // Cancelled at the last progress value: the download ends once that chunk arrived.
    QTest::newRow("cancelled at the first chunk") << 1 << 3 << 3u << -1 << true << QString() << QList<int>{0};
    QTest::newRow("cancelled before the names") << 4 << 2 << 2u << -1 << false << QString() << QList<int>{0, 1};
}

// Every way a download ends early: the message, if any, and no rows at all.
void TestSpectralDownload::unfinishedDownloads()
{
    QFETCH(int, uiIndex);
    QFETCH(int, count);
    QFETCH(quint32, reportedCount);
    QFETCH(int, badRequest);
    QFETCH(bool, languageFlag);
    QFETCH(QString, message);
    QFETCH(QList<int>, progress);
    const int cancelAt = message.isEmpty() && !progress.isEmpty() && progress != QList<int>{-1} ? progress.last() : -1;

    MeterImage image = SpectralTestBench::image(count, 0, {"n1", "n2", "n3"});
    image.recordCount = reportedCount;
    if (badRequest >= 0)
        image.faults.badCheck = {firstDownloadRequest(uiIndex) + badRequest};
    SpectralTestBench bench;
    QVERIFY(bench.connect(image));
    auto page = bench.page(uiIndex, languageFlag);
    const int columns = columnCount(*page);
    const QString firstTitle = cellText(*page, 0, 0);
    bench.dialogs.cancelProgressAt(cancelAt);
    clickButton(*page, "pushButton_readRecords");

    QCOMPARE(bench.dialogs.informationTexts(), message.isEmpty() ? Strings{} : Strings{message});
    if (!message.isEmpty())
        QCOMPARE(bench.dialogs.shown().last().title, languageFlag ? QStringLiteral("提示") : QStringLiteral("Tip"));
    QCOMPARE(rowCount(*page), 1);
    QCOMPARE(columnCount(*page), columns);
    QCOMPARE(cellText(*page, 0, 0), firstTitle);
    QVERIFY(page->spectralRecords().empty());
    if (progress == QList<int>{-1}) {
        QVERIFY(bench.dialogs.progressLogs().isEmpty());
    } else {
        // A message comes while the progress dialog is up; it is hidden and closed afterwards.
        QCOMPARE(bench.dialogs.progressLogs().size(), 1);
        const auto &log = *bench.dialogs.progressLogs().first();
        QCOMPARE(log.values, progress);
        QCOMPARE(log.hidden, !message.isEmpty());
        QVERIFY(log.destroyed);
        QCOMPARE(bench.dialogs.shown().last().kind,
                 message.isEmpty() ? ScriptedUserDialogs::Shown::Progress : ScriptedUserDialogs::Shown::Information);
    }
    // Without a failing request, memory was read only up to a cancel.
    if (badRequest < 0)
        QCOMPARE(bench.requests(), countRequest(uiIndex) + (cancelAt < 0 ? 0 : cancelAt + 1));
}

void TestSpectralDownload::failedTransferAfterRowsLeavesNoRows()
{
    // Construction: requests 1, 2. First download: 3 unit, 4 mode, 5 count, 6 and 7 data.
    // Second download: 8, 9, 10, then its second data chunk is request 12.
    MeterImage image = SpectralTestBench::image(2);
    image.faults.badCheck = {12};
    SpectralTestBench bench;
    QVERIFY(bench.connect(image));
    auto page = bench.page(1);
    clickButton(*page, "pushButton_readRecords");
    QCOMPARE(rowCount(*page), 3);

    bench.dialogs.setNextAnswer(false); // do not save first
    clickButton(*page, "pushButton_readRecords");
    QCOMPARE(bench.dialogs.informationTexts(), Strings{"读取记录数据失败!"});
    QCOMPARE(rowCount(*page), 1);
    QVERIFY(page->spectralRecords().empty());
}

void TestSpectralDownload::closedLinkDoesNothing()
{
    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(2)));
    auto page = bench.page(1);
    clickButton(*page, "pushButton_readRecords");
    QCOMPARE(rowCount(*page), 3);
    const int requests = bench.requests();
    bench.session.close();
    bench.dialogs.clear();

    clickButton(*page, "pushButton_readRecords");
    QVERIFY(bench.dialogs.shown().isEmpty()); // not even the save question
    QCOMPARE(bench.requests(), requests);
    QCOMPARE(rowCount(*page), 3);
    QCOMPARE(page->spectralRecords().size(), size_t(2));
}

void TestSpectralDownload::saveFirstQuestion_data()
{
    QTest::addColumn<bool>("languageFlag");
    QTest::addColumn<bool>("save");

    QTest::newRow("No, Chinese") << true << false;
    QTest::newRow("No, English") << false << false;
    QTest::newRow("Yes") << true << true;
}

void TestSpectralDownload::saveFirstQuestion()
{
    QFETCH(bool, languageFlag);
    QFETCH(bool, save);

    SpectralTestBench bench;
    QVERIFY(bench.connect(SpectralTestBench::image(2)));
    auto page = bench.page(1, languageFlag);
    clickButton(*page, "pushButton_readRecords");
    QVERIFY(bench.dialogs.questionTexts().isEmpty()); // only the title row: nothing to ask
    clickCurveBox(*page, 1);
    bench.dialogs.clear();

    bench.dialogs.setNextAnswer(save);
    clickButton(*page, "pushButton_readRecords");
    QVERIFY(!bench.dialogs.questionTexts().isEmpty());
    QCOMPARE(bench.dialogs.questionTexts().first(),
             languageFlag ? QStringLiteral("导入数据会先清空列表，是否保存数据？")
                          : QStringLiteral("Importing Data Will First Clear the List. Do You Want to Save the Data?"));
    QCOMPARE(bench.dialogs.shown().first().title, languageFlag ? QStringLiteral("提示") : QStringLiteral("Tip"));
    // No: the download rebuilt the table from its title row, every curve ticked again. Yes with the
    // save dialog cancelled: the records stay as they were and nothing is downloaded over them.
    QCOMPARE(rowCount(*page), 3);
    QCOMPARE(page->spectralRecords().size(), size_t(2));
    QCOMPARE(page->spectralRecords().front().curveVisible, !save);
    QCOMPARE(cellText(*page, 2, 0), QStringLiteral("2"));
}

QTEST_MAIN(TestSpectralDownload)
#include "tst_SpectralDownload.moc"
