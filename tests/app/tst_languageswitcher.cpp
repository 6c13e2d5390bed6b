// SPDX-License-Identifier: GPL-3.0-or-later
#include "LanguageSwitcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

// The translation files are looked up in the working directory, then beside the executable, then
// among the built-in resources. The build puts the real files beside the test executable; a test
// translation of "仪器信息" with a text of its own stands for a file in the working directory.
class TestLanguageSwitcher : public QObject
{
    Q_OBJECT

private:
    static QString instrumentInfo() { return QCoreApplication::translate("FirstPage", "仪器信息"); }

    QString startDirectory;

private Q_SLOTS:
    void initTestCase() { startDirectory = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startDirectory); }

    void searchOrder()
    {
        const QStringList dirs = LanguageSwitcher::defaultDirectories();
        QCOMPARE(dirs, QStringList({QString(), QCoreApplication::applicationDirPath(), QStringLiteral(":/i18n")}));
    }

    void missingFileChangesNothing()
    {
        QTemporaryDir empty;
        LanguageSwitcher switcher({empty.path()});
        QVERIFY(!switcher.switchTo(QStringLiteral("Lumivane_en")));
        QVERIFY(switcher.currentFile().isEmpty());
        QCOMPARE(instrumentInfo(), QString::fromUtf8("仪器信息"));
    }

    // After a switch to English, a switch whose file is missing keeps English in force.
    void failedSwitchKeepsTheCurrentLanguage()
    {
        QTemporaryDir empty;
        LanguageSwitcher switcher({empty.path(), QCoreApplication::applicationDirPath()});
        QVERIFY(switcher.switchTo(QStringLiteral("Lumivane_en")));
        QCOMPARE(instrumentInfo(), QStringLiteral("Instrument Info"));
        QVERIFY(!switcher.switchTo(QStringLiteral("Lumivane_fr")));
        QCOMPARE(instrumentInfo(), QStringLiteral("Instrument Info"));
        QVERIFY(switcher.switchTo(QStringLiteral("Lumivane_zh")));
        QCOMPARE(instrumentInfo(), QString::fromUtf8("仪器信息"));
    }

    void workingDirectoryComesFirst()
    {
        QDir::setCurrent(QStringLiteral(TEST_TRANSLATIONS_DIR));
        LanguageSwitcher switcher;
        QVERIFY(switcher.switchTo(QStringLiteral("Lumivane_en")));
        QCOMPARE(instrumentInfo(), QStringLiteral("From the working directory"));

        QTemporaryDir elsewhere;
        QDir::setCurrent(elsewhere.path());
        QVERIFY(switcher.switchTo(QStringLiteral("Lumivane_en")));
        QCOMPARE(instrumentInfo(), QStringLiteral("Instrument Info"));
        QCOMPARE(QFileInfo(switcher.currentFile()).absolutePath(), QCoreApplication::applicationDirPath());
    }

    void builtInCopiesAreTheLastResort_data()
    {
        QTest::addColumn<QString>("baseName");
        QTest::addColumn<QString>("expected");
        QTest::newRow("en") << "Lumivane_en"
                            << "Instrument Info";
        QTest::newRow("zh") << "Lumivane_zh" << QString::fromUtf8("仪器信息");
    }

    void builtInCopiesAreTheLastResort()
    {
        QFETCH(QString, baseName);
        QFETCH(QString, expected);
        QTemporaryDir empty;
        LanguageSwitcher switcher({empty.path(), QStringLiteral(":/i18n")});
        QVERIFY(switcher.switchTo(baseName));
        QVERIFY(switcher.currentFile().startsWith(QStringLiteral(":/i18n/")));
        QCOMPARE(instrumentInfo(), expected);
    }

    void englishFormTexts_data()
    {
        QTest::addColumn<QByteArray>("context");
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<QString>("english");
        const auto row = [](const char *context, const char *source, const char *english) {
            QTest::addRow("%s %s", context, source)
                << QByteArray(context) << QByteArray(source) << QString::fromUtf8(english);
        };
        row("MainWindow", "English", "English");
        row("MainWindow", "中文", "中文");
        row("FirstPage", "仪器信息", "Instrument Info");
        row("FirstPage", "SN号：", "SN:");
        row("FirstPage", "版本号：", "Version:");
        row("FirstPage", "读取测量记录", "Read Records");
        row("FirstPage", "清除数据", "Clear Data");
        row("FirstPage", "导出Excel", "Export Excel");
        row("FirstPage", "光谱数据", "Spectral Data");
        row("MeterPage", "光谱数据", "Spectral Data");
        row("MeterPage", "读取测量记录", "Read Records");
        row("MeterPage", "清除数据", "Clear Data");
        row("MeterPage", "导出Excel", "Export Excel");
    }

    void englishFormTexts()
    {
        QFETCH(QByteArray, context);
        QFETCH(QByteArray, source);
        QFETCH(QString, english);
        LanguageSwitcher switcher({QStringLiteral(":/i18n")});
        QVERIFY(switcher.switchTo(QStringLiteral("Lumivane_en")));
        QCOMPARE(QCoreApplication::translate(context.constData(), source.constData()), english);
        QVERIFY(switcher.switchTo(QStringLiteral("Lumivane_zh")));
        QCOMPARE(QCoreApplication::translate(context.constData(), source.constData()), QString::fromUtf8(source));
    }
};

QTEST_GUILESS_MAIN(TestLanguageSwitcher)
#include "tst_languageswitcher.moc"
