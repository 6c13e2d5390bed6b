// SPDX-License-Identifier: GPL-3.0-or-later
#include "BiffRecord.h"
#include "SharedStringTable.h"
#include "WorkbookStreamCheck.h"

#include <QtTest>

// The shared string table's record layout across the 8224-byte record limit: a broken layout
// makes xlrd fail, makes Excel ask to repair, or silently garbles text.
class TestSharedStringTable : public QObject
{
    Q_OBJECT

private:
    struct Written
    {
        QVector<WorkbookStreamCheck::SstString> strings;
        QByteArray extSst;
        QString error;
    };

    // Writes the table after a dummy record (so that offsets are not trivially 0), reads the
    // records back and decodes them independently of the table's own parser.
    static Written writeAndDecode(const SharedStringTable &table)
    {
        QByteArray stream;
        Biff::appendRecord(stream, 0x0042, QByteArray(2, '\1'));
        Written result;
        result.extSst = table.appendRecords(stream, 0);
        QVector<BiffRecord> records;
        if (!Biff::readRecords(stream, 0, stream.size(), &records)) {
            result.error = QStringLiteral("records do not read back (one longer than 8224 bytes?)");
            return result;
        }
        QVector<QByteArray> payloads;
        QVector<qint64> offsets;
        for (int i = 1; i < records.size(); ++i) {
            if (records.at(i).id != (i == 1 ? Biff::Sst : Biff::Continue)) {
                result.error = QStringLiteral("unexpected record in the table");
                return result;
            }
            payloads.append(records.at(i).data);
            offsets.append(records.at(i).offset);
        }
        if (!WorkbookStreamCheck::decodeSst(payloads, offsets, &result.strings, &result.error))
            return result;
        const int bucket = Biff::u16(result.extSst, 0);
        if (bucket != SharedStringTable::bucketSize(quint32(result.strings.size()))
            || (result.extSst.size() - 2) / 8 != (result.strings.size() + bucket - 1) / bucket) {
            result.error = QStringLiteral("EXTSST has the wrong size");
            return result;
        }
        for (int k = 0; k * bucket < result.strings.size(); ++k) {
            const auto &s = result.strings.at(k * bucket);
            if (Biff::u32(result.extSst, 2 + 8 * k) != s.headerOffset
                || Biff::u16(result.extSst, 6 + 8 * k) != s.headerOffset - s.recordOffset)
                result.error = QStringLiteral("EXTSST entry %1 does not point at string %2").arg(k).arg(k * bucket);
        }
        return result;
    }

    static QString repeated(const QString &unit, int count) { return unit.repeated(count); }

private Q_SLOTS:
    void boundary_data()
    {
        QTest::addColumn<int>("freeBytes"); // left in the SST record before the string is added
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("startsNewRecord");

        const QString chinese = QStringLiteral("照度");
        const QString smiley = QString::fromUcs4(U"\U0001F600");
        QTest::newRow("header does not fit") << 2 << QStringLiteral("abc") << true;
        QTest::newRow("8-bit first character does not fit") << 3 << QStringLiteral("abc") << true;
        QTest::newRow("8-bit first character just fits") << 4 << QStringLiteral("abc") << false;
        QTest::newRow("16-bit first character does not fit") << 4 << chinese << true;
        QTest::newRow("16-bit first character just fits") << 5 << chinese << false;
        QTest::newRow("split inside 8-bit text") << 10 << repeated(QStringLiteral("x"), 100) << false;
        QTest::newRow("split inside 16-bit text, odd space left") << 12 << repeated(chinese, 50) << false;
        QTest::newRow("split inside 16-bit text, even space left") << 11 << repeated(chinese, 50) << false;
        QTest::newRow("surrogate pair at the boundary")
            << 3 + 2 * 3 << QStringLiteral("中中") + smiley + repeated(chinese, 10) << false;
        QTest::newRow("surrogate pair first, does not fit") << 3 + 2 << smiley + chinese << true;
        QTest::newRow("surrogate pair first, fits") << 3 + 4 << smiley + chinese << false;
        QTest::newRow("string exactly fills the record") << 3 + 50 << repeated(QStringLiteral("y"), 50) << false;
        QTest::newRow("empty string") << 3 << QString() << false;
        QTest::newRow("Latin-1 stays 8-bit across records") << 20 << repeated(QStringLiteral("é"), 9000) << false;
        QTest::newRow("16-bit text over three records") << 100 << repeated(chinese, 10000) << false;
        QTest::newRow("line breaks") << 6 << QStringLiteral("照度\n(Lux)") << false;
    }

    void boundary()
    {
        QFETCH(int, freeBytes);
        QFETCH(QString, text);
        QFETCH(bool, startsNewRecord);

        SharedStringTable table;
        // The SST payload starts with 8 bytes of counts; a filler of n 8-bit characters takes 3 + n.
        const QString filler = repeated(QStringLiteral("f"), Biff::MaxRecordData - 8 - 3 - freeBytes);
        QCOMPARE(table.indexOf(filler), 0u);
        QCOMPARE(table.chunks().last().size(), Biff::MaxRecordData - freeBytes);
        QCOMPARE(table.indexOf(text), 1u);
        QCOMPARE(table.indexOf(QStringLiteral("after")), 2u);

        const Written written = writeAndDecode(table);
        QVERIFY2(written.error.isEmpty(), qPrintable(written.error));
        QCOMPARE(written.strings.size(), 3);
        QCOMPARE(written.strings.at(0).text, filler);
        QCOMPARE(written.strings.at(1).text, text);
        QCOMPARE(written.strings.at(2).text, QStringLiteral("after"));
        // A string that starts a CONTINUE starts right at its payload, without a flag byte.
        QCOMPARE(written.strings.at(1).headerOffset == written.strings.at(1).recordOffset + 4, startsNewRecord);
    }

    void manyStringsKeepIndexesAndBuckets()
    {
        SharedStringTable table;
        QStringList texts;
        for (int i = 0; i < 5000; ++i)
            texts << (i % 3 ? QStringLiteral("值%1").arg(i) : QStringLiteral("value %1 ").arg(i).repeated(1 + i % 40));
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(table.indexOf(texts.at(i)), quint32(i));
        // Repeated texts are stored once.
        QCOMPARE(table.indexOf(texts.at(1234)), 1234u);
        QCOMPARE(table.uniqueCount(), 5000u);
        QVERIFY(table.chunks().size() > 10);

        const Written written = writeAndDecode(table);
        QVERIFY2(written.error.isEmpty(), qPrintable(written.error));
        QCOMPARE(written.strings.size(), 5000);
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(written.strings.at(i).text, texts.at(i));
    }

    void loadKeepsFormattedStringsAndAppends()
    {
        // A template's table: a plain string, a rich-text string whose formatting runs continue in
        // the next record (without a flag byte), and a string with a phonetic block.
        QByteArray first;
        Biff::append32(first, 7);
        Biff::append32(first, 3);
        Biff::append16(first, 5);
        Biff::append8(first, 0);
        first += "plain";
        const int richAt = int(first.size());
        Biff::append16(first, 4);
        Biff::append8(first, 0x08);
        Biff::append16(first, 2); // two runs of 4 bytes
        first += "rich";
        first += QByteArray(4, '\x11'); // first run; the second is in the CONTINUE
        QByteArray second(4, '\x22');
        Biff::append16(second, 2);
        Biff::append8(second, 0x05); // 16-bit, phonetic block of 6 bytes
        Biff::append32(second, 6);
        Biff::append16(second, 0x7167); // 照
        Biff::append16(second, 0x5EA6); // 度
        second += QByteArray(6, '\x33');

        SharedStringTable table;
        QString error;
        QVERIFY2(table.load({first, second}, &error), qPrintable(error));
        QCOMPARE(table.uniqueCount(), 3u);
        QCOMPARE(table.loadedTotalCount(), 7u);
        QCOMPARE(table.text(1), QStringLiteral("rich"));
        QCOMPARE(table.text(2), QStringLiteral("照度"));
        QVERIFY(table.isFormatted(1));
        QVERIFY(!table.isFormatted(0));
        // Plain texts reuse plain strings only: a formatted string would carry its formatting along.
        QCOMPARE(table.indexOf(QStringLiteral("plain")), 0u);
        QCOMPARE(table.indexOf(QStringLiteral("rich")), 3u);
        QCOMPARE(table.indexOf(QStringLiteral("照度")), 4u);

        const Written written = writeAndDecode(table);
        QVERIFY2(written.error.isEmpty(), qPrintable(written.error));
        QCOMPARE(written.strings.size(), 5);
        QCOMPARE(written.strings.at(1).text, QStringLiteral("rich"));
        QCOMPARE(written.strings.at(3).text, QStringLiteral("rich"));
        QCOMPARE(written.strings.at(4).text, QStringLiteral("照度"));
        // The template's bytes stay as they were; new strings follow them.
        QCOMPARE(table.chunks().at(0).left(richAt + 9).mid(8), first.left(richAt + 9).mid(8));
        QVERIFY(table.chunks().at(1).startsWith(second));
    }

    void loadRefusesBrokenTables_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QByteArray counts;
        Biff::append32(counts, 1);
        Biff::append32(counts, 2); // declares two strings
        QByteArray one = counts;
        Biff::append16(one, 3);
        Biff::append8(one, 0);
        one += "abc";
        QTest::newRow("fewer strings than declared") << one;
        QByteArray extra = one;
        Biff::set32(extra, 4, 1);
        extra += "zz";
        QTest::newRow("data after the declared strings") << extra;
        QByteArray truncated = counts;
        Biff::append16(truncated, 30);
        Biff::append8(truncated, 0);
        truncated += "short";
        QTest::newRow("string runs past the end") << truncated;
        QTest::newRow("no counts") << QByteArray("abc");
    }

    void loadRefusesBrokenTables()
    {
        QFETCH(QByteArray, payload);
        SharedStringTable table;
        QString error;
        QVERIFY(!table.load({payload}, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(table.uniqueCount(), 0u);
    }
};

QTEST_GUILESS_MAIN(TestSharedStringTable)
#include "tst_sharedstringtable.moc"
