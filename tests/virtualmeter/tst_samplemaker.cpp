// SPDX-License-Identifier: GPL-3.0-or-later
// The sample maker writes exactly the sample meter images kept in samples/meters, and rounds as
// those images were rounded.

#include "SampleImages.h"
#include "SampleMaths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestSampleMaker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundsTheExactValue();
    void writesTheKeptSamples();
};

void TestSampleMaker::roundsTheExactValue()
{
    // 2.675 is stored just below itself and 0.125 is an exact tie, which goes to the even digit.
    QCOMPARE(SampleMaths::roundDecimal(2.675, 2), 2.67);
    QCOMPARE(SampleMaths::roundDecimal(0.125, 2), 0.12);
    QCOMPARE(SampleMaths::roundDecimal(0.375, 2), 0.38);
    QCOMPARE(SampleMaths::roundDecimal(512.0 * 1.04, 1), 532.5);
}

void TestSampleMaker::writesTheKeptSamples()
{
    QTemporaryDir made;
    QVERIFY(made.isValid());
    QString error;
    QVERIFY2(SampleImages::writeAll(made.path(), error), qPrintable(error));

    const QDir kept(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters"));
    const QStringList keptFiles = kept.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
    QVERIFY(!keptFiles.isEmpty());
    QCOMPARE(QDir(made.path()).entryList(QDir::Files, QDir::Name), keptFiles);
    for (const QString &name : keptFiles) {
        QFile madeFile(made.filePath(name));
        QFile keptFile(kept.filePath(name));
        QVERIFY(madeFile.open(QIODevice::ReadOnly) && keptFile.open(QIODevice::ReadOnly));
        const QList<QByteArray> madeLines = madeFile.readAll().split('\n');
        const QList<QByteArray> keptLines = keptFile.readAll().split('\n');
        for (qsizetype i = 0; i < qMax(madeLines.size(), keptLines.size()); ++i) {
            if (madeLines.value(i) != keptLines.value(i))
                QFAIL(
                    qPrintable(QStringLiteral("%1 line %2: made \"%3\", kept \"%4\"")
                                   .arg(name)
                                   .arg(i + 1)
                                   .arg(QString::fromUtf8(madeLines.value(i)), QString::fromUtf8(keptLines.value(i)))));
        }
    }
}

QTEST_GUILESS_MAIN(TestSampleMaker)
#include "tst_samplemaker.moc"
