// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeasurementArchive.h"
#include "PageFixture.h"

#include "RecordsTableModel.h"
#include "WindowArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

// The expected texts of a sample image, written by golden/make_golden.py from the image itself
// and the shipped catalogs: header labels, then one line per row.
bool readGolden(const QString &image, bool chinese, QStringList &headers, QList<QStringList> &rows)
{
    QFile file(QStringLiteral(LUMIVANE_SOURCE_DIR "/tests/recordspage/golden/") + image
               + (chinese ? QStringLiteral(".zh.tsv") : QStringLiteral(".en.tsv")));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return false;
    headers = lines.first().split(QLatin1Char('\t'));
    rows.clear();
    for (qsizetype i = 1; i < lines.size(); ++i)
        rows << lines.at(i).split(QLatin1Char('\t'));
    return true;
}

} // namespace

class TestRecordDownload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void samples_data();
    void samples();
    void progress_data();
    void progress();
    void saveFirstNo();
    void saveFirstYes_data();
    void saveFirstYes();
    void failures_data();
    void failures();
    void countsThatCannotBeReal_data();
    void countsThatCannotBeReal();
    void unknownKindReadsNothing();
    void unknownProbeShowsZero();
    void archived_data();
    void archived();
};

void TestRecordDownload::samples_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<bool>("chinese");

    for (const char *image : {"kind1", "kind1-ppfd", "kind2", "kind3", "kind4", "kind4-ppfd", "kind5", "kind6"}) {
        QTest::newRow(QByteArray(image) + " zh") << QString::fromLatin1(image) << true;
        QTest::newRow(QByteArray(image) + " en") << QString::fromLatin1(image) << false;
    }
}

void TestRecordDownload::samples()
{
    QFETCH(QString, image);
    QFETCH(bool, chinese);

    QStringList headers;
    QList<QStringList> rows;
    QVERIFY2(readGolden(image, chinese, headers, rows), qPrintable(image));
    QVERIFY(!rows.isEmpty());

    PageFixture f;
    f.page.setLanguageFlag(chinese);
    QVERIFY(f.identifyAndDownload(PageFixture::sample(image)));
    QCOMPARE(f.dialogs.shown().size(), 1); // the progress dialog, nothing else
    QCOMPARE(f.headers(), headers);
    QCOMPARE(f.model().rowCount(), rows.size());
    for (int row = 0; row < rows.size(); ++row)
        QCOMPARE(f.rowTexts(row), rows.at(row));

    // Every data cell is centred.
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < f.model().columnCount() - 1; ++column)
            QCOMPARE(f.model().index(row, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>(),
                     Qt::Alignment(Qt::AlignCenter));
    }
}

void TestRecordDownload::progress_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("cancelAt"); // the progress value at which the user cancels; -1: never
    QTest::addColumn<bool>("late");    // that chunk comes 1.5 s late, Cancel is clicked while it is awaited

    // 196 bytes per record in 256-byte chunks, plus 16 bytes per name for kinds 4 and 6.
    QTest::newRow("kind 1, 3 records: 256+256+76") << "kind1" << 3 << 3 << -1 << false;
    QTest::newRow("kind 4, 3 records: and one name chunk") << "kind4" << 3 << 4 << -1 << false;
    QTest::newRow("kind 1, 6 records") << "kind1" << 6 << 5 << -1 << false;
    QTest::newRow("kind 6, 17 records: two name chunks") << "kind6" << 17 << 16 << -1 << false;
    // A cancel ends the download once the chunk in flight arrived: no rows, no message.
    QTest::newRow("kind 1, cancelled at the first chunk") << "kind1" << 6 << 5 << 0 << false;
    QTest::newRow("kind 4, cancelled at the last data chunk") << "kind4" << 3 << 4 << 2 << false;
    QTest::newRow("kind 6, cancelled at the first name chunk") << "kind6" << 17 << 16 << 14 << false;
    QTest::newRow("kind 1, cancelled while the second chunk is late") << "kind1" << 6 << 5 << 1 << true;
}

void TestRecordDownload::progress()
{
    QFETCH(QString, image);
    QFETCH(int, records);
    QFETCH(int, maximum);
    QFETCH(int, cancelAt);
    QFETCH(bool, late);

    MeterImage meter = PageFixture::sample(image);
    meter.recordCount = quint32(records);
    // Identification and the download's requests before the chunks: 6 with the mode (kinds 1, 4),
    // else 4; then one request per chunk read.
    const int beforeChunks = (meter.modelCode == 1001 || meter.modelCode == 4001) ? 6 : 4;
    const int chunksRead = cancelAt < 0 ? maximum : cancelAt + 1;
    PageFixture f;
    if (late) {
        // The page lets events through while it waits, so the click is taken during the wait.
        meter.faults.lateRequests = {beforeChunks + chunksRead};
        meter.faults.lateDelayMs = 1500;
        QTimer::singleShot(300, &f.page, [&f] { f.dialogs.clickProgressCancel(); });
    } else {
        f.dialogs.cancelProgressAt(cancelAt);
    }
    QVERIFY(f.plugIn(meter));
    f.page.identifyMeter();
    const QStringList headers = f.headers();
    f.page.on_pushButton_readRecords_clicked();

    // A cancel leaves the table as it was.
    QCOMPARE(f.model().rowCount(), cancelAt < 0 ? records : 0);
    QCOMPARE(f.headers(), headers);
    QCOMPARE(f.dialogs.shown().size(), 1); // the progress dialog, no message
    QCOMPARE(f.dialogs.progressLogs().size(), 1);
    const ScriptedUserDialogs::Shown &shown = f.dialogs.shown().last();
    QCOMPARE(shown.kind, ScriptedUserDialogs::Shown::Progress);
    QCOMPARE(shown.title, QStringLiteral("正在读取记录，请等待……"));
    QCOMPARE(shown.text, QStringLiteral("取消"));
    QCOMPARE(shown.maximum, maximum);
    QCOMPARE(shown.parent, &f.page);
    QList<int> values;
    for (int value = 0; value < chunksRead; ++value)
        values << value;
    QCOMPARE(f.dialogs.progressLogs().first()->values, values);
    QVERIFY(f.dialogs.progressLogs().first()->destroyed);
    QCOMPARE(f.requestsReceived(), beforeChunks + chunksRead);
}

void TestRecordDownload::saveFirstNo()
{
    PageFixture f;
    QVERIFY(f.identifyAndDownload(PageFixture::sample(QStringLiteral("kind1"))));
    const QList<QStringList> first = f.allRows();
    QCOMPARE(first.size(), 6);

    // No: the rows go before any command is sent; the second download fills the table again.
    f.dialogs.setNextAnswer(false);
    f.page.setLanguageFlag(false);
    f.page.on_pushButton_readRecords_clicked();
    QCOMPARE(f.dialogs.questionTexts(),
             QStringList{"Importing Data Will First Clear the List. Do You Want to Save the Data?"});
    QCOMPARE(f.dialogs.informationTexts(), QStringList());
    QCOMPARE(f.model().rowCount(), 6);
    QCOMPARE(f.rowTexts(0), first.at(0).mid(0, 13) << QStringLiteral("Delete"));

    // No, then a meter that fails: the table stays empty.
    MeterImage failing = PageFixture::sample(QStringLiteral("kind2"));
    failing.faults.badCheck = {3}; // the download's unit-number request
    f.unplug();
    QVERIFY(f.identifyAndDownload(PageFixture::sample(QStringLiteral("kind2"))));
    QCOMPARE(f.model().rowCount(), 3);
    f.unplug();
    QVERIFY(f.plugIn(failing));
    f.page.identifyMeter();
    f.page.on_pushButton_readRecords_clicked(); // the table is empty after the unplug: no question
    QCOMPARE(f.dialogs.questionTexts().size(), 1);
    QCOMPARE(f.dialogs.informationTexts(), QStringList{"Failed to read unit no!"});
    QCOMPARE(f.model().rowCount(), 0);
}

void TestRecordDownload::saveFirstYes_data()
{
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("fileNames");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<int>("cancelAt"); // the export's progress value at which the user cancels
    QTest::addColumn<int>("rows");

    const QString saveFirst = QStringLiteral("导入数据会先清空列表，是否保存数据？");
    const QString retry = QStringLiteral("导出数据失败，是否重新保存数据？");
    const QString success = QStringLiteral("导出数据成功！");
    // The file name "@" stands for a workbook in the test's temporary directory, "@folder" for a
    // folder there.
    // Six rows come from the download; five (one was deleted) mean the table was kept.
    QTest::newRow("saved") << QList<bool>{true} << QStringList{"@"} << QStringList{saveFirst} << QStringList{success}
                           << true << -1 << 6;
    // A cancelled save dialog is no failure: nothing is asked, the table stays, nothing is downloaded.
    QTest::newRow("save dialog cancelled: table kept, no download")
        << QList<bool>{true} << QStringList{""} << QStringList{saveFirst} << QStringList{} << false << -1 << 5;
    // A file that cannot be written (a folder) is asked about again; No empties the table.
    QTest::newRow("failed, not again") << QList<bool>{true, false} << QStringList{"@folder"}
                                       << QStringList{saveFirst, retry} << QStringList{} << false << -1 << 6;
    QTest::newRow("export cancelled: table kept, no download")
        << QList<bool>{true} << QStringList{"@"} << QStringList{saveFirst}
        << QStringList{QStringLiteral("导出已取消，未写入任何文件。")} << false << 1 << 5;
}

void TestRecordDownload::saveFirstYes()
{
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, fileNames);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, messages);
    QFETCH(bool, saved);
    QFETCH(int, cancelAt);
    QFETCH(int, rows);

    QTemporaryDir dir;
    const QString workbook = dir.filePath(QStringLiteral("records.xls"));
    PageFixture f;
    QVERIFY(f.identifyAndDownload(PageFixture::sample(QStringLiteral("kind4"))));
    f.page.slot_deleteRow(5);
    f.dialogs.clear();
    f.dialogs.cancelProgressAt(cancelAt);
    for (const bool answer : answers)
        f.dialogs.setNextAnswer(answer);
    const QString folder = dir.filePath(QStringLiteral("folder.xls"));
    QVERIFY(QDir().mkpath(folder));
    for (const QString &name : fileNames)
        f.dialogs.setNextFileName(name == QLatin1String("@") ? workbook : name == QLatin1String("@folder") ? folder : name);

    f.page.on_pushButton_readRecords_clicked();
    QCOMPARE(f.dialogs.questionTexts(), questions);
    QCOMPARE(f.dialogs.informationTexts(), messages);
    QCOMPARE(f.dialogs.pendingAnswers(), 0);
    QCOMPARE(f.dialogs.pendingFileNames(), 0);
    QCOMPARE(QFileInfo(workbook).size() > 0, saved);
    // Unless the export was cancelled, the table was emptied before the new records came in.
    QCOMPARE(f.model().rowCount(), rows);
    QCOMPARE(f.rowTexts(0).first(), QStringLiteral("Office desk 1"));
}

void TestRecordDownload::failures_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<int>("firmwareVersion"); // -1: the image's own
    QTest::addColumn<quint32>("modelCode");   // 0: the image's own
    QTest::addColumn<bool>("keyInfoError");
    QTest::addColumn<int>("badRequest");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("fieldsFilled");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("slotCount");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QList<int>>("progressValues");

    // Identification sends key information (request 1), unit numbers (2) and, for kinds 1 and 4,
    // the mode (3); a failure there ends it before the columns are set up, and the read button is
    // not pressed. Otherwise the download sends unit numbers (4), mode (5), record count (6) and
    // the memory chunks (kind 1, 6 records: 7 to 11; kind 4 adds the name chunk 12). Kinds 2 and 6
    // have no mode requests (kind 6, 5 records: chunks 5 to 8, name chunk 9). Version 100 is the
    // shipped catalog's lowest accepted firmware for every model.
    const QList<int> none;
    QTest::newRow("key information zh") << "kind4" << true << -1 << 0u << true << 0 << "读取关键信息失败!" << false << 1
                                        << 0 << 0 << none;
    QTest::newRow("key information en") << "kind4" << false << -1 << 0u << false << 1
                                        << "Failed to read key infomation!" << false << 1 << 0 << 0 << none;
    QTest::newRow("version too low zh") << "kind4" << true << 99 << 0u << false << 0 << "仪器版本过低!" << true << 4
                                        << 0 << 0 << none;
    QTest::newRow("version too low en") << "kind2" << false << 99 << 0u << false << 0
                                        << "The instrument version is too low!" << true << 2 << 0 << 0 << none;
    QTest::newRow("mismatch zh") << "kind4" << true << -1 << 9999u << false << 0 << "仪器与软件不匹配!" << true << 1
                                 << 0 << 0 << none;
    QTest::newRow("mismatch en") << "kind4" << false << -1 << 9999u << false << 0
                                 << "The Instrument and the Software do Not Match!" << true << 1 << 0 << 0 << none;
    QTest::newRow("identification unit numbers zh")
        << "kind4" << true << -1 << 0u << false << 2 << "读取单位编号失败!" << true << 4 << 0 << 0 << none;
    QTest::newRow("identification unit numbers en")
        << "kind5" << false << -1 << 0u << false << 2 << "Failed to read unit no!" << true << 5 << 0 << 0 << none;
    QTest::newRow("identification mode zh")
        << "kind4" << true << -1 << 0u << false << 3 << "读取模式失败!" << true << 4 << 60 << 0 << none;
    QTest::newRow("identification mode en")
        << "kind1" << false << -1 << 0u << false << 3 << "Failed to read mode!" << true << 1 << 60 << 0 << none;
    QTest::newRow("unit numbers zh") << "kind1" << true << -1 << 0u << false << 4 << "读取单位编号失败!" << true << 1
                                     << 0 << 14 << none;
    QTest::newRow("unit numbers en") << "kind2" << false << -1 << 0u << false << 3 << "Failed to read unit no!" << true
                                     << 2 << 0 << 6 << none;
    QTest::newRow("mode zh") << "kind4" << true << -1 << 0u << false << 5 << "读取模式失败!" << true << 4 << 60 << 15
                             << none;
    QTest::newRow("mode en") << "kind1" << false << -1 << 0u << false << 5 << "Failed to read mode!" << true << 1 << 60
                             << 14 << none;
    QTest::newRow("count zh") << "kind1" << true << -1 << 0u << false << 6 << "读取记录数量失败!" << true << 1 << 60
                              << 14 << none;
    QTest::newRow("count en") << "kind2" << false << -1 << 0u << false << 4 << "Failed to Read Record Number！" << true
                              << 2 << 60 << 6 << none;
    QTest::newRow("first chunk zh") << "kind1" << true << -1 << 0u << false << 7 << "读取记录数据失败!" << true << 1
                                    << 60 << 14 << none;
    QTest::newRow("second chunk en") << "kind1" << false << -1 << 0u << false << 8 << "Failed to Read Record Data！"
                                     << true << 1 << 60 << 14 << QList<int>{0};
    QTest::newRow("last data chunk zh") << "kind4" << true << -1 << 0u << false << 11 << "读取记录数据失败!" << true
                                        << 4 << 60 << 15 << QList<int>{0, 1, 2, 3};
    QTest::newRow("name chunk zh") << "kind4" << true << -1 << 0u << false << 12 << "读取记录名称失败!" << true << 4
                                   << 60 << 15 << QList<int>{0, 1, 2, 3, 4};
    QTest::newRow("name chunk en") << "kind6" << false << -1 << 0u << false << 9 << "Failed to Read Record Name！"
                                   << true << 6 << 60 << 10 << QList<int>{0, 1, 2, 3};
}

void TestRecordDownload::failures()
{
    QFETCH(QString, image);
    QFETCH(bool, chinese);
    QFETCH(int, firmwareVersion);
    QFETCH(quint32, modelCode);
    QFETCH(bool, keyInfoError);
    QFETCH(int, badRequest);
    QFETCH(QString, message);
    QFETCH(bool, fieldsFilled);
    QFETCH(int, kind);
    QFETCH(int, slotCount);
    QFETCH(int, columns);
    QFETCH(QList<int>, progressValues);

    MeterImage meter = PageFixture::sample(image);
    if (firmwareVersion >= 0)
        meter.firmwareVersion = quint16(firmwareVersion);
    if (modelCode != 0)
        meter.modelCode = modelCode;
    meter.faults.keyInfoError = keyInfoError;
    if (badRequest > 0)
        meter.faults.badCheck = {badRequest};
    PageFixture f;
    f.page.setLanguageFlag(chinese);
    QVERIFY(f.plugIn(meter));
    f.page.identifyMeter();
    if (f.dialogs.shown().isEmpty())
        f.page.on_pushButton_readRecords_clicked();

    QCOMPARE(f.dialogs.informationTexts(), QStringList{message});
    const auto box = std::find_if(f.dialogs.shown().begin(), f.dialogs.shown().end(), [](const auto &shown) {
        return shown.kind == ScriptedUserDialogs::Shown::Information;
    });
    QCOMPARE(box->title, chinese ? QStringLiteral("提示") : QStringLiteral("Tip"));
    QCOMPARE(box->parent, &f.page);
    QCOMPARE(f.lineText("lineEdit_serialNo").isEmpty(), !fieldsFilled);
    QCOMPARE(f.lineText("lineEdit_firmwareVersion").isEmpty(), !fieldsFilled);
    QCOMPARE(f.page.meterKind(), kind);
    QCOMPARE(f.page.unitSlotList().size(), slotCount);
    QCOMPARE(f.model().rowCount(), 0);
    QCOMPARE(f.model().columnCount(), columns);
    // A failed chunk: the message comes while the progress dialog is up, then it is hidden.
    const bool transfer = message.contains(QStringLiteral("Data")) || message.contains(QStringLiteral("Name"))
                          || message.contains(QStringLiteral("数据")) || message.contains(QStringLiteral("名称"));
    QCOMPARE(f.dialogs.progressLogs().size(), transfer ? 1 : 0);
    if (transfer) {
        QCOMPARE(f.dialogs.shown().at(0).kind, ScriptedUserDialogs::Shown::Progress);
        QCOMPARE(f.dialogs.shown().at(1).kind, ScriptedUserDialogs::Shown::Information);
        QCOMPARE(f.dialogs.progressLogs().first()->values, progressValues);
        QVERIFY(f.dialogs.progressLogs().first()->hidden);
        QVERIFY(f.dialogs.progressLogs().first()->destroyed);
    }
    // Nothing is retried: the meter saw no request after the failing one.
    QCOMPARE(f.requestsReceived(), qMax(badRequest, 1));
    // The link stays open: the user can still start a download.
    QVERIFY(f.session.isLinkOpen());
}

void TestRecordDownload::countsThatCannotBeReal_data()
{
    QTest::addColumn<QString>("image");
    QTest::addColumn<quint32>("count");
    QTest::addColumn<QString>("message");

    // 0x40000000 / 196 = 5478274 records fit below the name area at 0xC0000000.
    QTest::newRow("record area into the name area") << "kind1" << 5478275u << "读取记录数量失败!";
    QTest::newRow("32-bit product overflows") << "kind4" << 10956550u << "读取记录数量失败!";
    QTest::newRow("largest positive count") << "kind6" << 0x7FFFFFFFu << "读取记录数量失败!";
    // The count is unsigned: one with the top bit set is far too large, not negative.
    QTest::newRow("top bit set") << "kind1" << 0xFFFFFFFFu << "读取记录数量失败!";
    QTest::newRow("zero") << "kind2" << 0u << "";
}

void TestRecordDownload::countsThatCannotBeReal()
{
    QFETCH(QString, image);
    QFETCH(quint32, count);
    QFETCH(QString, message);

    MeterImage meter = PageFixture::sample(image);
    meter.recordCount = count;
    PageFixture f;
    QVERIFY(f.plugIn(meter));
    f.page.identifyMeter();
    const int identification = f.requestsReceived();
    const int columns = f.model().columnCount();
    f.page.on_pushButton_readRecords_clicked();

    QCOMPARE(f.dialogs.informationTexts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(f.dialogs.progressLogs().size(), 0);
    QCOMPARE(f.model().rowCount(), 0);
    QCOMPARE(f.model().columnCount(), columns);
    // Unit numbers, mode (kinds 1 and 4) and the count; not one memory chunk.
    const int modeRequest = (meter.modelCode == 1001 || meter.modelCode == 4001) ? 1 : 0;
    QCOMPARE(f.requestsReceived(), identification + 2 + modeRequest);
}

void TestRecordDownload::unknownKindReadsNothing()
{
    QTemporaryDir dir;
    PageFixture f(PageFixture::catalogDirectory(dir, "[Device1]\nMeterNo=1001\nVersion=100\nUIIndex=7\n"));
    QVERIFY(f.plugIn(PageFixture::sample(QStringLiteral("kind1"))));
    f.page.identifyMeter();
    QCOMPARE(f.page.meterKind(), 7);
    f.page.on_pushButton_readRecords_clicked();
    // Unit numbers and count, no mode for an unknown kind, and then nothing.
    QCOMPARE(f.requestsReceived(), 2 + 2);
    QCOMPARE(f.dialogs.shown().size(), 0);
    QCOMPARE(f.model().columnCount(), 0);
    QCOMPARE(f.model().rowCount(), 0);
}

void TestRecordDownload::unknownProbeShowsZero()
{
    // A probe catalog that knows only the first sample probe; units with 2 decimals in slot 0.
    QTemporaryDir dir;
    PageFixture f(PageFixture::catalogDirectory(dir, "[Device1]\nMeterNo=6001\nVersion=100\nUIIndex=6\n",
                                                "[Probe1]\nProbeNo=A000000F\nProbeName=探头一\n"));
    MeterImage meter = PageFixture::sample(QStringLiteral("kind6"));
    meter.unitSlots[0] = 2; // a unit row with 2 decimals
    QVERIFY(f.identifyAndDownload(meter));
    QCOMPARE(f.model().rowCount(), 5);
    QCOMPARE(f.model().cellText(0, 1), QStringLiteral("探头一"));
    for (int row = 1; row < 5; ++row)
        QCOMPARE(f.model().cellText(row, 1), QStringLiteral("0.00"));
    // The lookups did not add the unknown numbers to the catalog.
    QCOMPARE(f.page.probes().size(), 1);
}

void TestRecordDownload::archived_data()
{
    QTest::addColumn<QString>("setting"); // "off", "broken" or empty: the default archive
    QTest::addColumn<QString>("enabled"); // the text of archive/enabled, if any
    QTest::addColumn<bool>("kept");
    QTest::newRow("the default archive keeps it") << QString() << QString() << true;
    QTest::newRow("archive turned off") << "off" << QString() << false;
    QTest::newRow("an archive that is no database") << "broken" << QString() << false;
    QTest::newRow("a server that accepts and stalls") << "stalled" << QString() << false;
    // The spellings people write into the settings file.
    for (const char *no : {"false", "no", "off", "0", "OFF", " No "})
        QTest::addRow("enabled=%s", no) << QString() << QString::fromLatin1(no) << false;
    for (const char *yes : {"true", "yes", "on", "1", "Yes"})
        QTest::addRow("enabled=%s", yes) << QString() << QString::fromLatin1(yes) << true;
    // A value that is neither keeps the archive on; the window says so once when it starts.
    QTest::newRow("enabled=maybe") << QString() << "maybe" << true;
}

void TestRecordDownload::archived()
{
    QFETCH(QString, setting);
    QFETCH(QString, enabled);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    QSettings settings;
    settings.clear();
    if (setting == QLatin1String("off"))
        settings.setValue(QStringLiteral("archive/enabled"), false);
    if (!enabled.isNull())
        settings.setValue(QStringLiteral("archive/enabled"), enabled);
    if (setting == QLatin1String("broken")) {
        const QString notADatabase = dir.filePath(QStringLiteral("archive.sqlite"));
        QFile file(notADatabase);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(4096, 'x')) == 4096);
        settings.setValue(QStringLiteral("archive/location"), notADatabase);
    }
    // A server that takes the connection and never answers, until it hangs up.
    QTcpServer stalling;
    QVERIFY(stalling.listen(QHostAddress::LocalHost));
    if (setting == QLatin1String("stalled"))
        settings.setValue(QStringLiteral("archive/location"),
                          QStringLiteral("postgresql://lumivane@127.0.0.1:%1/lumivane").arg(stalling.serverPort()));
    settings.sync();
    const bool understood = enabled != QLatin1String("maybe");
    if (!understood)
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral(
                                             "settings: archive/enabled=%1 is not understood; the archive stays on")
                                                        .arg(enabled)));
    const std::optional<QString> problem = WindowArchive::settingProblem(false);
    QCOMPARE(problem.has_value(), !understood);
    MeasurementArchive archive(ArchiveLocation::defaultLocation());
    QVERIFY2(archive.open(), qPrintable(archive.errorString()));
    QList<ArchiveEntry> before, after;
    QVERIFY(archive.list({}, before));

    PageFixture f;
    f.page.setLanguageFlag(false);
    QVERIFY(f.plugIn(PageFixture::sample(QStringLiteral("kind4"))));
    f.page.identifyMeter();
    f.page.on_pushButton_readRecords_clicked();
    if (setting == QLatin1String("stalled")) {
        // The rows are there and the window free while the server keeps the archive waiting.
        QVERIFY(f.model().rowCount() > 0);
        QTRY_VERIFY(stalling.hasPendingConnections());
        QTest::qWait(200);
        QCOMPARE(f.dialogs.informationTexts(), QStringList());
        delete stalling.nextPendingConnection();
        stalling.close();
    }
    PageFixture::waitForArchiving();
    const QStringList told = f.dialogs.informationTexts();
    QVERIFY(archive.list({}, after));
    settings.clear();
    // The rows show whatever became of the archive.
    QVERIFY(f.model().rowCount() > 0);
    if (setting == QLatin1String("broken") || setting == QLatin1String("stalled")) {
        QCOMPARE(told.size(), 1);
        QVERIFY2(told.first().startsWith(QStringLiteral("This download was not archived: ")), qPrintable(told.first()));
        QCOMPARE(after.size(), before.size());
        return;
    }
    QCOMPARE(told, QStringList());
    QCOMPARE(after.size(), before.size() + (kept ? 1 : 0));
    if (kept) {
        QCOMPARE(after.first().recordCount, f.model().rowCount());
        QCOMPARE(MeterFlow::serialText(after.first().keyInfo), f.lineText("lineEdit_serialNo"));
        QCOMPARE(after.first().table, ArchivedTable::Records);
    }
}

QTEST_MAIN(TestRecordDownload)
#include "tst_recorddownload.moc"
