// SPDX-License-Identifier: GPL-3.0-or-later
// The JSON document of a download built from stored words the sample meters do not hold: markers,
// words that are no finite number, exact floats, and records numbered on across batches; the colour
// document's α-opic keys and markers for illuminance and luminance meters.
#include "ColourFigures.h"
#include "DownloadDocument.h"
#include "JsonWriter.h"
#include "MeterFacts.h"
#include "MeterKind.h"
#include "TableFile.h"
#include "ValueMarkers.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <QtTest>

#include <cstring>
#include <limits>

namespace {

void setWord(QByteArray &records, int record, int word, quint32 bits)
{
    qToLittleEndian(bits, records.data() + qsizetype(record) * MeterFacts::RecordSize + 4 * word);
}

quint32 bitsOf(float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The English document of download, nothing with the reason where it cannot be written.
QByteArray documentBytes(DownloadTables &tables, const MeterFlow::Download &download, QString &reason)
{
    DownloadDocument document(tables, false, 0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    JsonWriter json(buffer);
    const DownloadTables::BatchOf batchOf = [&download](qint64 first, int records, MeterFlow::Download &batch,
                                                        QString &) {
        return DownloadTables::slice(download, first, records, batch);
    };
    return document.write(json, download.count, batchOf, reason) ? bytes : QByteArray();
}

} // namespace

class TestDownloadDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void document_data();
    void document();
    void colourOpics_data();
    void colourOpics();
};

void TestDownloadDocument::document_data()
{
    QTest::addColumn<int>("purpose");
    QTest::addColumn<int>("contents");
    QTest::addColumn<QString>("key"); // of the value that word 0 (records) or 60 (spectra) holds

    QTest::newRow("records") << int(MeterFlow::Records) << int(DownloadTables::PurposeTable) << "illuminance";
    QTest::newRow("spectra") << int(MeterFlow::Spectra) << int(DownloadTables::PurposeTable) << "spectral_400";
}

void TestDownloadDocument::document()
{
    QFETCH(int, purpose);
    QFETCH(int, contents);
    QFETCH(QString, key);

    // Kind 1 in its standard mode, a batch and three records more.
    const int count = TableFile::BatchRows + 3;
    const int word = purpose == MeterFlow::Records ? 0 : 15;
    MeterFlow::Download download;
    download.count = count;
    download.records = QByteArray(qsizetype(count) * MeterFacts::RecordSize, '\0');
    setWord(download.records, 0, word, bitsOf(0.1f));
    setWord(download.records, 1, word, bitsOf(std::numeric_limits<float>::quiet_NaN()));
    setWord(download.records, 2, word, bitsOf(-std::numeric_limits<float>::infinity()));
    setWord(download.records, 3, 6, ValueMarkers::noFlickerMarker);
    setWord(download.records, 3, 5, ValueMarkers::invalidMarker2);
    setWord(download.records, count - 1, word, bitsOf(123.456f));

    DownloadOrigin origin;
    origin.purpose = MeterFlow::Purpose(purpose);
    origin.state.unitSlots = QList<int>(MeterFacts::UnitSlotCount, 0);
    origin.downloaded = QDateTime(QDate(2026, 3, 1), QTime(14, 5, 9), Qt::OffsetFromUTC, 8 * 3600);
    DownloadTables tables(origin, false, DownloadTables::Contents(contents));
    QString reason;
    const QByteArray bytes = documentBytes(tables, download, reason);
    QVERIFY2(!bytes.isEmpty(), qPrintable(reason));

    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(bytes, &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QVERIFY(!root.contains(QStringLiteral("archiveId")));
    QCOMPARE(root.value(QStringLiteral("language")).toString(), QStringLiteral("en"));
    const QJsonArray records = root.value(QStringLiteral("records")).toArray();
    QCOMPARE(records.size(), count);
    const auto values = [&](int k) { return records.at(k).toObject().value(QStringLiteral("values")).toObject(); };
    const auto markers = [&](int k) { return records.at(k).toObject().value(QStringLiteral("markers")).toObject(); };

    QCOMPARE(values(0).value(key).toDouble(), 0.1); // the float's shortest text, read as a double
    QVERIFY(markers(0).isEmpty());
    for (const int k : {1, 2}) {
        QVERIFY(values(k).value(key).isNull());
        QCOMPARE(markers(k).value(key).toString(), QStringLiteral("not_finite"));
    }
    if (purpose == MeterFlow::Records) {
        QCOMPARE(markers(3).value(QStringLiteral("flicker_frequency")).toString(), QStringLiteral("no_flicker"));
        QCOMPARE(markers(3).value(QStringLiteral("uv_index")).toString(), QStringLiteral("invalid"));
        QVERIFY(values(3).value(QStringLiteral("uv_index")).isNull());
    }
    // Numbered on across the batches.
    QCOMPARE(records.last().toObject().value(QStringLiteral("number")).toInt(), count);
    QCOMPARE(values(count - 1).value(key).toDouble(), 123.456);
    QCOMPARE(root.value(QStringLiteral("columns")).toArray().first().toObject().value(QStringLiteral("key")).toString(),
             key);
}

void TestDownloadDocument::colourOpics_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("daylightKey");
    QTest::addColumn<QString>("daylightUnit");

    QTest::newRow("illuminance meter") << 1 << "melanopic_edi" << "lx";
    QTest::newRow("luminance meter") << 3 << "melanopic_edl" << QStringLiteral("cd/m²");
}

void TestDownloadDocument::colourOpics()
{
    QFETCH(int, kind);
    QFETCH(QString, daylightKey);
    QFETCH(QString, daylightUnit);

    // Record 1 has no spectrum, record 2 a flat one and a marker for its photometric value.
    MeterFlow::Download download;
    download.count = 2;
    download.records = QByteArray(2 * MeterFacts::RecordSize, '\0');
    for (int i = 0; i < MeterFacts::SpectralValueCount; ++i)
        setWord(download.records, 1, MeterKind::find(kind)->spectralOffset(0) / 4 + i, bitsOf(1.0f));
    setWord(download.records, 1, 0, ValueMarkers::invalidMarker2);
    DownloadOrigin origin;
    origin.purpose = MeterFlow::Spectra;
    origin.state.uiIndex = kind;
    origin.state.unitSlots = QList<int>(MeterFacts::UnitSlotCount, 0);
    DownloadTables tables(origin, false, DownloadTables::ColourTable);
    QString reason;
    const QJsonObject root = QJsonDocument::fromJson(documentBytes(tables, download, reason)).object();
    const QJsonArray columns = root.value(QStringLiteral("columns")).toArray();
    const QJsonArray records = root.value(QStringLiteral("records")).toArray();
    const auto member = [&](int k, const char *part, const QString &key) {
        return records.at(k).toObject().value(QLatin1String(part)).toObject().value(key);
    };

    // After purity, the α-opic figures the export writes; without a photometric value only the
    // equivalent daylight one is missing.
    QStringList keys;
    for (int c = ColourFigures::Count; c < columns.size(); ++c) {
        const QJsonObject column = columns.at(c).toObject();
        const QString key = column.value(QStringLiteral("key")).toString();
        keys << key + QLatin1Char('/') + column.value(QStringLiteral("unit")).toString();
        QCOMPARE(member(0, "markers", key).toString() + member(1, "markers", key).toString(),
                 key == daylightKey ? "invalidinvalid" : "invalid");
        QVERIFY2(member(0, "values", key).isNull() && member(1, "values", key).isNull() == (key == daylightKey),
                 qPrintable(key));
    }
    QCOMPARE(keys, QStringList({"melanopic_elr/mW/lm", "melanopic_der/", daylightKey + '/' + daylightUnit,
                                "s_cone_der/", "m_cone_der/", "l_cone_der/", "rhodopic_der/"}));
}

QTEST_GUILESS_MAIN(TestDownloadDocument)
#include "tst_downloaddocument.moc"
