// SPDX-License-Identifier: GPL-3.0-or-later
#include "BuiltInUnitTable.h"
#include "CatalogLoader.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

class TestCatalogLoader : public QObject
{
    Q_OBJECT

private:
    // Writes `content` (UTF-8 bytes) as <dir>/<name>.
    static void writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &content)
    {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }

    // Loads one catalog file into a fresh catalog and returns its row count.
    static int loadCount(const QString &directory, const QString &fileName)
    {
        if (fileName == QLatin1String("meterno")) {
            MeterCatalog catalog;
            CatalogLoader::loadMeterCatalog(directory, catalog);
            return int(catalog.size());
        }
        if (fileName == QLatin1String("unitno")) {
            UnitCatalog catalog;
            CatalogLoader::loadUnitCatalog(directory, catalog);
            return int(catalog.size());
        }
        ProbeNames names;
        CatalogLoader::loadProbeCatalog(directory, names);
        return int(names.size());
    }

private Q_SLOTS:
    void enumeration_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("expectedRows");

        const QByteArray units = "[Unit1]\nUnitNo=0\nDecimalNumber=0\nUnitName=\n"
                                 "[Unit2]\nUnitNo=1\nDecimalNumber=1\nUnitName=Lux\n";
        QTest::newRow("unit gap ends the catalog")
            << "unitno" << units + "[Unit4]\nUnitNo=3\nDecimalNumber=3\nUnitName=FC\n"
            << 2;
        QTest::newRow("unit empty first key ends the catalog")
            << "unitno" << units + "[Unit3]\nUnitNo=\nUnitName=FC\n[Unit4]\nUnitNo=3\n"
            << 2;
        QTest::newRow("unit group without its first key ends the catalog")
            << "unitno" << units + "[Unit3]\nDecimalNumber=2\nUnitName=FC\n[Unit4]\nUnitNo=3\n"
            << 2;
        QTest::newRow("unit empty first key in the first group")
            << "unitno" << QByteArray("[Unit1]\nUnitNo=\n[Unit2]\nUnitNo=1\n") << 0;
        QTest::newRow("unit numbering not starting at 1")
            << "unitno" << QByteArray("[Unit2]\nUnitNo=1\n[Unit3]\nUnitNo=2\n") << 0;

        QByteArray many;
        for (int n = 1; n <= 150; ++n)
            many += QStringLiteral("[Device%1]\nMeterNo=%2\nVersion=100\nUIIndex=1\n").arg(n).arg(1000 + n).toLatin1();
        QTest::newRow("meter catalog has no upper bound") << "meterno" << many << 150;
        QTest::newRow("meter gap") << "meterno" << QByteArray("[Device1]\nMeterNo=1001\n[Device3]\nMeterNo=3001\n")
                                   << 1;
        QTest::newRow("meter empty first key")
            << "meterno" << QByteArray("[Device1]\nMeterNo=\nVersion=100\nUIIndex=1\n") << 0;
        QTest::newRow("probe gap") << "probeno"
                                   << QByteArray("[Probe1]\nProbeNo=A1\nProbeName=x\n"
                                                 "[Probe2]\nProbeNo=A2\nProbeName=y\n"
                                                 "[Probe5]\nProbeNo=A5\nProbeName=z\n")
                                   << 2;
        QTest::newRow("probe empty first key") << "probeno"
                                               << QByteArray("[Probe1]\nProbeNo=\nProbeName=x\n"
                                                             "[Probe2]\nProbeNo=A2\nProbeName=y\n")
                                               << 0;
        QTest::newRow("empty file") << "probeno" << QByteArray() << 0;
    }

    void enumeration()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(int, expectedRows);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        writeFile(dir, fileName.toLatin1().constData(), content);
        QCOMPARE(loadCount(dir.path(), fileName), expectedRows);
    }

    void missingFilesLeaveCatalogsAsTheyWere()
    {
        QTemporaryDir dir;
        MeterCatalog meters{{1001, 1, 100}};
        UnitCatalog units{{0, QString(), 0}};
        ProbeNames probes{{QStringLiteral("A000000F"), QStringLiteral("UV-A")}};
        CatalogLoader::loadMeterCatalog(dir.path(), meters);
        CatalogLoader::loadUnitCatalog(dir.path(), units);
        CatalogLoader::loadProbeCatalog(dir.path(), probes);
        QCOMPARE(meters.size(), 1);
        QCOMPARE(units.size(), 1);
        QCOMPARE(probes.value(QStringLiteral("A000000F")), QStringLiteral("UV-A"));
    }

    // Rows keep the reading order of their fields, not the order of the keys in the file.
    void rowsHoldTheirFieldsInCatalogOrder()
    {
        QTemporaryDir dir;
        writeFile(dir, "meterno", "[Device1]\nMeterNo=4001\nVersion=105\nUIIndex=4\n");
        writeFile(dir, "unitno", "[Unit1]\nUnitNo=7\nDecimalNumber=2\nUnitName=FC\n");
        MeterCatalog meters{{9999, 9, 999}};
        UnitCatalog units;
        CatalogLoader::loadMeterCatalog(dir.path(), meters);
        CatalogLoader::loadUnitCatalog(dir.path(), units);

        QCOMPARE(meters.size(), 2); // appended after the row that was there
        QCOMPARE(meters.at(1).size(), 3);
        QCOMPARE(meters.at(1).at(0).toInt(), 4001);
        QCOMPARE(meters.at(1).at(1).toInt(), 4);
        QCOMPARE(meters.at(1).at(2).toInt(), 105);
        QCOMPARE(units.size(), 1);
        QCOMPARE(units.at(0).at(0).toInt(), 7);
        QCOMPARE(units.at(0).at(1).toString(), QStringLiteral("FC"));
        QCOMPARE(units.at(0).at(2).toInt(), 2);
    }

    void utf8TextsSurvive()
    {
        const QString microwatts = QString::fromUtf8("μW/c㎡");
        QTemporaryDir dir;
        writeFile(dir, "unitno", "[Unit1]\nUnitNo=9\nDecimalNumber=0\nUnitName=" + microwatts.toUtf8() + "\n");
        writeFile(dir, "probeno",
                  "[Probe1]\nProbeNo=A000000F\nProbeName=" + QString::fromUtf8("紫外探头").toUtf8() + "\n");
        // meterno is only meant to hold digits: other bytes still make a row, and convert to 0.
        writeFile(dir, "meterno", "[Device1]\nMeterNo=" + microwatts.toUtf8() + "\nVersion=100\nUIIndex=2\n");

        UnitCatalog units;
        CatalogLoader::loadUnitCatalog(dir.path(), units);
        QCOMPARE(units.size(), 1);
        QCOMPARE(units.at(0).at(1).toString(), microwatts);

        ProbeNames probes;
        CatalogLoader::loadProbeCatalog(dir.path(), probes);
        QCOMPARE(probes.value(QStringLiteral("A000000F")), QString::fromUtf8("紫外探头"));

        MeterCatalog meters;
        CatalogLoader::loadMeterCatalog(dir.path(), meters);
        QCOMPARE(meters.size(), 1);
        bool ok = true;
        QCOMPARE(meters.at(0).at(0).toInt(&ok), 0);
        QVERIFY(!ok);
        QCOMPARE(meters.at(0).at(1).toInt(), 2);
    }

    void duplicateProbeKeysKeepTheLaterName()
    {
        QTemporaryDir dir;
        writeFile(dir, "probeno",
                  "[Probe1]\nProbeNo=A0000010\nProbeName=first\n"
                  "[Probe2]\nProbeNo=A0000011\nProbeName=other\n"
                  "[Probe3]\nProbeNo=A0000010\nProbeName=second\n");
        ProbeNames probes{{QStringLiteral("B0000001"), QStringLiteral("from an earlier read")}};
        CatalogLoader::loadProbeCatalog(dir.path(), probes);
        QCOMPARE(probes.size(), 3);
        QCOMPARE(probes.value(QStringLiteral("A0000010")), QStringLiteral("second"));
        QCOMPARE(probes.value(QStringLiteral("A0000011")), QStringLiteral("other"));
        QCOMPARE(probes.value(QStringLiteral("B0000001")), QStringLiteral("from an earlier read"));
        QVERIFY(!probes.contains(QStringLiteral("a0000010"))); // keys compare case-sensitively
    }

    // The build puts the example catalogs beside the executables, which is where the default
    // directory points first.
    void defaultDirectoryIsBesideTheExecutable()
    {
        QCOMPARE(CatalogLoader::defaultDirectory(), QCoreApplication::applicationDirPath());
    }

    void shippedUnitCatalogEqualsTheBuiltInTable()
    {
        UnitCatalog shipped;
        CatalogLoader::loadUnitCatalog(CatalogLoader::defaultDirectory(), shipped);
        const UnitCatalog builtIn = BuiltInUnitTable::rows();
        QCOMPARE(shipped.size(), builtIn.size());
        for (int i = 0; i < builtIn.size(); ++i) {
            QCOMPARE(shipped.at(i).size(), 3);
            QCOMPARE(shipped.at(i).at(0).toInt(), i);
            QCOMPARE(shipped.at(i).at(1).toString(), builtIn.at(i).at(1).toString());
            QCOMPARE(shipped.at(i).at(2).toInt(), builtIn.at(i).at(2).toInt());
        }
    }

    void shippedMeterAndProbeCatalogs()
    {
        MeterCatalog meters;
        CatalogLoader::loadMeterCatalog(CatalogLoader::defaultDirectory(), meters);
        QCOMPARE(meters.size(), 6);
        for (int kind = 1; kind <= 6; ++kind) {
            const CatalogRow &row = meters.at(kind - 1);
            QCOMPARE(row.at(0).toInt(), kind * 1000 + 1);
            QCOMPARE(row.at(1).toInt(), kind);
            QCOMPARE(row.at(2).toInt(), 100);
        }

        ProbeNames probes;
        CatalogLoader::loadProbeCatalog(CatalogLoader::defaultDirectory(), probes);
        QVERIFY(probes.size() >= 4);
        const QRegularExpression probeNumber(QStringLiteral("^[0-9A-F]{8}$"));
        for (auto it = probes.cbegin(); it != probes.cend(); ++it) {
            QVERIFY2(probeNumber.match(it.key()).hasMatch(), qPrintable(it.key()));
            QVERIFY(!it.value().isEmpty());
        }
        for (const char *key : {"A000000F", "A0000010", "A0000011", "B0000001"})
            QVERIFY2(probes.contains(QLatin1String(key)), key);
    }
};

QTEST_GUILESS_MAIN(TestCatalogLoader)
#include "tst_catalogloader.moc"
