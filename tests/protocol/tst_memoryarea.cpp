// SPDX-License-Identifier: GPL-3.0-or-later
// Area plans for a reported record count, the chunked area reader, and the session's open.

#include "../virtualmeter/TestMeters.h"

#include "MemoryAreaReader.h"
#include "MeterProtocol.h"
#include "RecordAreaPlan.h"

#include <QtTest>

using namespace TestMeters;

namespace {

// A kind-4 image with n records of distinct bytes and n names.
MeterImage manyRecords(int n, const QByteArray &faults = "{}")
{
    MeterImage image = withFaults(QStringLiteral("kind4.json"), faults);
    image.recordMemory.resize(qsizetype(n) * 196);
    for (int i = 0; i < image.recordMemory.size(); ++i)
        image.recordMemory[i] = char((i * 7 + i / 251) & 0xFF);
    image.nameMemory.resize(qsizetype(n) * 16);
    for (int i = 0; i < image.nameMemory.size(); ++i)
        image.nameMemory[i] = char('A' + i % 26);
    image.recordCount = quint32(n);
    return image;
}

} // namespace

class TestMemoryArea : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void plan_data();
    void plan();
    void readsChunks_data();
    void readsChunks();
    void failedChunkStops();
    void unplugMidTransfer();
    void sessionOpen();
    void sessionOpenDenied();
};

void TestMemoryArea::plan_data()
{
    QTest::addColumn<qint64>("count");
    QTest::addColumn<bool>("withNames");
    QTest::addColumn<int>("status");
    QTest::addColumn<quint32>("recordBytes");
    QTest::addColumn<int>("recordChunks");
    QTest::addColumn<quint32>("nameBytes");
    QTest::addColumn<int>("nameChunks");

    const int valid = RecordAreaPlan::Valid;
    const int none = RecordAreaPlan::NoRecords;
    const int tooLarge = RecordAreaPlan::TooLarge;
    QTest::newRow("no records") << qint64(0) << true << none << 0u << 0 << 0u << 0;
    QTest::newRow("negative count") << qint64(-3) << false << none << 0u << 0 << 0u << 0;
    QTest::newRow("one record") << qint64(1) << true << valid << 196u << 1 << 16u << 1;
    QTest::newRow("three records, kind 1") << qint64(3) << false << valid << 588u << 3 << 0u << 0;
    QTest::newRow("three records, kind 4") << qint64(3) << true << valid << 588u << 3 << 48u << 1;
    QTest::newRow("exactly 256 bytes of names") << qint64(16) << true << valid << 3136u << 13 << 256u << 1;
    QTest::newRow("2000 records") << qint64(2000) << false << valid << 392000u << 1532 << 0u << 0;
    QTest::newRow("largest count") << RecordAreaPlan::MaxRecordCount << true << valid << 1073741704u << 4194304
                                   << 87652384u << 342393;
    QTest::newRow("one more reaches the names")
        << RecordAreaPlan::MaxRecordCount + 1 << true << tooLarge << 0u << 0 << 0u << 0;
    QTest::newRow("32-bit product overflows") << qint64(10956550) << false << tooLarge << 0u << 0 << 0u << 0;
    QTest::newRow("count read as unsigned") << qint64(0xFFFFFFFFLL) << true << tooLarge << 0u << 0 << 0u << 0;
}

void TestMemoryArea::plan()
{
    QFETCH(qint64, count);
    QFETCH(bool, withNames);
    QFETCH(int, status);
    QFETCH(quint32, recordBytes);
    QFETCH(int, recordChunks);
    QFETCH(quint32, nameBytes);
    QFETCH(int, nameChunks);

    RecordAreaPlan plan;
    QCOMPARE(int(RecordAreaPlan::make(count, withNames, plan)), status);
    QCOMPARE(plan.recordAreaBytes, recordBytes);
    QCOMPARE(plan.recordChunks, recordChunks);
    QCOMPARE(plan.nameAreaBytes, nameBytes);
    QCOMPARE(plan.nameChunks, nameChunks);
    QCOMPARE(plan.totalChunks(), recordChunks + nameChunks);
    if (status == RecordAreaPlan::Valid)
        QVERIFY(quint64(RecordAreaPlan::RecordAreaStart) + plan.recordAreaBytes <= RecordAreaPlan::NameAreaStart);
}

void TestMemoryArea::readsChunks_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("progress");
    QTest::addColumn<QList<int>>("lengths");

    QTest::newRow("three records with names") << 3 << QList<int>{0, 1, 2, 3} << QList<int>{256, 256, 76, 48};
    QTest::newRow("one record") << 1 << QList<int>{0, 1} << QList<int>{196, 16};
    QTest::newRow("seventeen records") << 17 << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}
                                       << QList<int>{256, 256, 256, 256, 256, 256, 256, 256,
                                                     256, 256, 256, 256, 256, 4,   256, 16};
}

void TestMemoryArea::readsChunks()
{
    QFETCH(int, count);
    QFETCH(QList<int>, progress);
    QFETCH(QList<int>, lengths);

    const MeterImage image = manyRecords(count);
    MeterSession session;
    auto meter = open(session, image);
    RecordAreaPlan plan;
    QCOMPARE(int(RecordAreaPlan::make(count, true, plan)), int(RecordAreaPlan::Valid));

    MemoryAreaReader reader(session.protocol());
    QList<int> seen;
    const auto onProgress = [&](int value) { seen.append(value); };
    int counter = 0;
    QByteArray records;
    QByteArray names;
    QCOMPARE(reader.read(RecordAreaPlan::RecordAreaStart, plan.recordAreaBytes, 0x41, records, counter, onProgress), 1);
    QCOMPARE(reader.read(RecordAreaPlan::NameAreaStart, plan.nameAreaBytes, 0x41, names, counter, onProgress), 1);
    QCOMPARE(seen, progress);
    QCOMPARE(counter, plan.totalChunks());
    QCOMPARE(records, image.recordMemory);
    QCOMPARE(names, image.nameMemory);
    QCOMPARE(meter->requestsReceived(), int(lengths.size()));
    // Each reply carried its chunk plus 10 framing bytes, in reports of up to 62 bytes.
    int reports = 0;
    for (int length : lengths)
        reports += (length + 10 + 61) / 62;
    QCOMPARE(meter->inputReportsDelivered(), reports);
}

void TestMemoryArea::failedChunkStops()
{
    // The second chunk comes back with a wrong check value.
    const MeterImage image = manyRecords(3, R"({"badCheck": [2]})");
    MeterSession session;
    auto meter = open(session, image);
    MemoryAreaReader reader(session.protocol());
    QList<int> seen;
    int counter = 0;
    QByteArray records("prefix");
    QCOMPARE(reader.read(RecordAreaPlan::RecordAreaStart, 588, 0x40, records, counter,
                         [&](int value) { seen.append(value); }),
             -2);
    QCOMPARE(seen, QList<int>{0});
    QCOMPARE(counter, 1);
    QCOMPARE(records, QByteArray("prefix"));
    QCOMPARE(meter->requestsReceived(), 2); // nothing retried, nothing read after the failure
}

void TestMemoryArea::unplugMidTransfer()
{
    // 2000 records; the meter goes away after 23 input reports (4 full chunks and part of the 5th).
    const MeterImage image = manyRecords(2000, R"({"unplugAfterReports": 23})");
    MeterSession session;
    auto meter = open(session, image);
    MemoryAreaReader reader(session.protocol());
    int counter = 0;
    QByteArray records;
    QElapsedTimer clock;
    clock.start();
    const int result = reader.read(RecordAreaPlan::RecordAreaStart, 392000, 0x40, records, counter);
    QCOMPARE(result, -2);
    QCOMPARE(counter, 4);
    QVERIFY(records.isEmpty());
    QVERIFY(clock.elapsed() < 3000);
    QVERIFY(session.isDeviceGone());
    // The link stays open until the removal is handled; further commands fail at the write.
    QVERIFY(session.isLinkOpen());
    quint32 count = 0;
    QCOMPARE(session.protocol().readRecordCount(count), -1);
    session.close();
    QVERIFY(!session.hasLink());
    // A replugged meter is not there: opening fails and keeps nothing.
    QVERIFY(!session.openUsb(std::make_unique<VirtualMeterTransport>(meter)));
    QVERIFY(!session.hasLink());
}

void TestMemoryArea::sessionOpen()
{
    MeterSession session;
    QVERIFY(!session.isLinkOpen());
    QVERIFY(session.isDeviceGone());
    auto meter = std::make_shared<VirtualMeter>(sample(QStringLiteral("kind2.json")));
    QVERIFY(session.openUsb(std::make_unique<VirtualMeterTransport>(meter)));
    QVERIFY(session.isLinkOpen());
    QVERIFY(!session.isDeviceGone());
    QVERIFY(!session.lastOpenAccessDenied());
    // A second open keeps the link in use.
    QVERIFY(!session.openUsb(std::make_unique<VirtualMeterTransport>(meter)));
    QVERIFY(session.isLinkOpen());
    quint32 count = 0;
    QCOMPARE(session.protocol().readRecordCount(count), 1);
    QCOMPARE(count, 3u);
}

void TestMemoryArea::sessionOpenDenied()
{
    MeterSession session;
    auto transport = std::make_unique<VirtualMeterTransport>(sample(QStringLiteral("kind2.json")));
    transport->setOpenResult(HidOpenResult::AccessDenied);
    const QString path = transport->path();
    QVERIFY(!session.openUsb(std::move(transport)));
    QVERIFY(!session.hasLink());
    QVERIFY(!session.isLinkOpen());
    QVERIFY(session.lastOpenAccessDenied());
    QCOMPARE(session.lastOpenDeniedPath(), path);

    // A later successful open clears the note.
    QVERIFY(session.openUsb(std::make_unique<VirtualMeterTransport>(sample(QStringLiteral("kind2.json")))));
    QVERIFY(!session.lastOpenAccessDenied());
}

QTEST_GUILESS_MAIN(TestMemoryArea)
#include "tst_memoryarea.moc"
