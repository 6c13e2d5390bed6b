// SPDX-License-Identifier: GPL-3.0-or-later
// The history dialog over the archive the records page fills: it lists the downloads, narrows
// them by serial number, opens one into its table, exports it as the page exported it and deletes
// it after a question.
#include "HistoryDialog.h"
#include "MeasurementArchive.h"
#include "PageFixture.h"
#include "RecordsTableModel.h"

#include <QDateEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

class TestHistoryDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listOpenExportDelete()
    {
        // A fresh archive of this test's own.
        const QString archive = ArchiveLocation::defaultLocation().path;
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(archive + suffix);
        QTemporaryDir dir;
        PageFixture kind1, kind4;
        kind1.page.setLanguageFlag(false);
        kind4.page.setLanguageFlag(false);
        QVERIFY(kind1.identifyAndDownload(PageFixture::sample(QStringLiteral("kind1"))));
        QVERIFY(kind4.identifyAndDownload(PageFixture::sample(QStringLiteral("kind4"))));
        const QString serial = kind4.lineText("lineEdit_serialNo");
        const int rows = kind4.model().rowCount();
        // The page's own export of the same rows, as CSV (the third filter).
        const QString fromPage = dir.filePath(QStringLiteral("page.csv"));
        kind4.dialogs.setNextFileName(fromPage, 2);
        QVERIFY(kind4.page.on_pushButton_exportExcel_clicked());

        ScriptedUserDialogs dialogs;
        HistoryDialog history(false, dialogs);
        QCOMPARE(history.listedDownloads().size(), 2);
        QCOMPARE(history.listedDownloads().first().recordCount, rows); // newest first
        history.setSerialFilter(serial);
        QCOMPARE(history.listedDownloads().size(), 1);

        history.selectDownload(0);
        history.openSelected();
        QVERIFY(history.openedTable());
        QCOMPARE(history.openedTable()->rowCount(), rows);
        const QString fromHistory = dir.filePath(QStringLiteral("history.csv"));
        dialogs.setNextFileName(fromHistory, 2);
        QVERIFY(history.exportSelected());
        QFile page(fromPage), again(fromHistory);
        QVERIFY(page.open(QIODevice::ReadOnly) && again.open(QIODevice::ReadOnly));
        QCOMPARE(again.readAll(), page.readAll());

        dialogs.setNextAnswer(false);
        history.deleteSelected();
        QCOMPARE(history.listedDownloads().size(), 1);
        dialogs.setNextAnswer(true);
        history.deleteSelected();
        QCOMPARE(history.listedDownloads().size(), 0);
        history.setSerialFilter(QString());
        QCOMPARE(history.listedDownloads().size(), 1);
        QCOMPARE(dialogs.questionTexts().size(), 2);
        QCOMPARE(dialogs.informationTexts(), QStringList{QStringLiteral("Exporting data success!")});
    }

    // A damaged download is neither shown nor exported: the reason is told, as the command line
    // tells it.
    void damagedDownloadIsTold()
    {
        const QString archive = ArchiveLocation::defaultLocation().path;
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(archive + suffix);
        PageFixture kind1;
        kind1.page.setLanguageFlag(false);
        QVERIFY(kind1.identifyAndDownload(PageFixture::sample(QStringLiteral("kind1"))));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("damage"));
            db.setDatabaseName(archive);
            QVERIFY(db.open()
                    && QSqlQuery(db).exec(QStringLiteral("UPDATE downloads SET record_count = 9000000000000")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("damage"));

        ScriptedUserDialogs dialogs;
        HistoryDialog history(false, dialogs);
        history.selectDownload(0);
        history.openSelected();
        QVERIFY(!history.openedTable());
        QVERIFY(!history.exportSelected());
        const QStringList told = dialogs.informationTexts();
        QCOMPARE(told.size(), 2);
        QVERIFY2(told.first().startsWith(QStringLiteral("archived download 1 is damaged: "))
                     && told.first().contains(QStringLiteral("its 9000000000000 records need"))
                     && told.last() == told.first(),
                 qPrintable(told.join('\n')));
    }

    void toDateHoldsItsWholeDayAlone()
    {
        const QString location = ArchiveLocation::defaultLocation().path;
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(location + suffix);
        const QDate day(2026, 3, 14);
        const QDateTime lastMoment(day, QTime(23, 59, 59, 999));
        {
            MeasurementArchive archive(ArchiveLocation::defaultLocation());
            QVERIFY2(archive.open(), qPrintable(archive.errorString()));
            for (const QDateTime &when : {QDateTime(day, QTime(0, 0)), lastMoment, QDateTime(day.addDays(1), QTime(0, 0))}) {
                ArchiveEntry entry;
                entry.downloadedUtc = when.toUTC();
                entry.hostName = entry.programVersion = QStringLiteral("x");
                entry.catalogs = "{}";
                entry.titles = "[]";
                QVERIFY2(archive.store(entry, {}, {}, {}) > 0, qPrintable(archive.errorString()));
            }
        }
        ScriptedUserDialogs dialogs;
        HistoryDialog history(false, dialogs);
        history.findChild<QDateEdit *>(QStringLiteral("dateEdit_from"))->setDate(day);
        history.findChild<QDateEdit *>(QStringLiteral("dateEdit_to"))->setDate(day);
        // The next day's midnight belongs to the next day.
        QCOMPARE(history.listedDownloads().size(), 2);
        QCOMPARE(history.listedDownloads().first().downloadedUtc, lastMoment.toUTC());
    }
};

QTEST_MAIN(TestHistoryDialog)
#include "tst_historydialog.moc"
