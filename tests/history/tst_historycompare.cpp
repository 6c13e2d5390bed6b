// SPDX-License-Identifier: GPL-3.0-or-later
// The History dialog compares the spectral downloads selected in its list: the button follows the
// selection and says why it is off; the spectral dialog opens over the records of all of them,
// numbered with their download, each in its own meter's unit, and exports them with a meter
// sheet listing every download.
#include "ColourTableModel.h"
#include "DataTableView.h"
#include "HistoryDialog.h"
#include "MeasurementArchive.h"
#include "MeterPage.h"
#include "ScriptedUserDialogs.h"
#include "SpectralTableModel.h"
#include "TextCatalogue.h"

#include <QItemSelectionModel>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

class TestHistoryCompare : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir work;

    // Downloads the sample into the user's archive, as the command line does beside the window.
    static bool download(const QString &image, const QString &command, const QString &output)
    {
        QProcess cli;
        cli.start(QStringLiteral(LUMIVANE_CLI_PATH),
                  {QStringLiteral("--virtual-meter"), image, QStringLiteral("-q"), command, QStringLiteral("-o"), output});
        return cli.waitForFinished(120000) && cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0;
    }
    static QString sample(const QString &name)
    {
        return QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/%1.json").arg(name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(work.isValid());
        const QString out = work.filePath(QStringLiteral("d.csv"));
        // Listed newest first: kind4 spectra, kind1 records, kind2 colours, kind1 spectra.
        const char *const downloads[][2] = {
            {"kind1", "spectra"}, {"kind2", "colour"}, {"kind1", "records"}, {"kind4", "spectra"}};
        for (const auto &[image, command] : downloads)
            QVERIFY(download(sample(QLatin1String(image)), QLatin1String(command), out));
    }

    void buttonFollowsTheSelection_data()
    {
        QTest::addColumn<QList<int>>("rows"); // of the list, newest first
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("tip"); // Text
        QTest::newRow("nothing") << QList<int>{} << false << int(Text::CompareNeedsTwo);
        QTest::newRow("one spectral") << QList<int>{0} << false << int(Text::CompareNeedsTwo);
        QTest::newRow("spectral and records") << QList<int>{0, 1} << false << int(Text::CompareOnlySpectra);
        QTest::newRow("two meters") << QList<int>{0, 2} << true << int(Text::CompareTip);
        QTest::newRow("three, colours among them") << QList<int>{0, 2, 3} << true << int(Text::CompareTip);
    }

    void buttonFollowsTheSelection()
    {
        QFETCH(QList<int>, rows);
        QFETCH(bool, enabled);
        QFETCH(int, tip);
        ScriptedUserDialogs dialogs;
        HistoryDialog history(true, dialogs);
        auto *list = history.findChild<QTableView *>(QStringLiteral("tableView_downloads"));
        auto *compare = history.findChild<QPushButton *>(QStringLiteral("pushButton_compare"));
        QVERIFY(list && compare);
        for (const int row : rows)
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(compare->isEnabled(), enabled);
        QCOMPARE(compare->toolTip(), TextCatalogue::text(Text(tip), true));
    }

    // Oldest first, each record numbered with its download and shown in its own meter's unit; the
    // colour table and the export follow; closing asks nothing, the archive keeps all.
    void comparisonOpensAndExports()
    {
        ScriptedUserDialogs dialogs;
        HistoryDialog history(false, dialogs);
        const QList<ArchiveEntry> listed = history.listedDownloads();
        auto *list = history.findChild<QTableView *>(QStringLiteral("tableView_downloads"));
        auto *compare = history.findChild<QPushButton *>(QStringLiteral("pushButton_compare"));
        for (const int row : {0, 2})
            list->selectionModel()->select(list->model()->index(row, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::mouseClick(compare, Qt::LeftButton);
        auto *page = history.findChild<MeterPage *>();
        QVERIFY(page);
        QCOMPARE(page->windowTitle(), QStringLiteral("Spectral Comparison"));
        const SpectralTableModel &spectra = page->spectralModel();
        const qint64 kind2 = listed.at(2).id, kind4 = listed.at(0).id;
        QCOMPARE(spectra.recordCount(), int(listed.at(0).recordCount + listed.at(2).recordCount));
        QCOMPARE(spectra.nameColumn(), 1); // kind4 names its records
        QCOMPARE(spectra.data(spectra.index(1, 0)).toString(), QStringLiteral("#%1-1").arg(kind2));
        const int firstKind4 = int(listed.at(2).recordCount) + 1;
        QCOMPARE(spectra.data(spectra.index(firstKind4, 0)).toString(), QStringLiteral("#%1-1").arg(kind4));
        // A value's cell names its meter's unit (the command line's test varies the units).
        QCOMPARE(spectra.data(spectra.index(firstKind4, 2), Qt::ToolTipRole).toString(),
                 spectra.data(spectra.index(firstKind4, 2)).toString() + QStringLiteral(" μW/c㎡/nm"));
        QCOMPARE(page->colourModel().data(page->colourModel().index(firstKind4 - 1, 0)).toString(),
                 QStringLiteral("#%1-1").arg(kind4));

        const QString csv = work.filePath(QStringLiteral("compare.csv"));
        dialogs.setNextFileName(csv, 2);
        QVERIFY(QMetaObject::invokeMethod(page, "on_pushButton_exportExcel_clicked"));
        QFile written(csv);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = written.readAll().split('\n');
        QVERIFY(lines.value(firstKind4).startsWith(QStringLiteral("#%1-1,Office desk 1,").arg(kind4).toUtf8()));
        page->reject();
        QVERIFY(dialogs.questionTexts().isEmpty());
    }

    // A colour table opened from the list is edited as its spectral table would be: a name typed
    // in it and a row deleted reach the download's entry, and it opens again as it was left.
    void colourTableEdited()
    {
        QVERIFY(download(sample(QStringLiteral("kind4")), QStringLiteral("colour"), work.filePath(QStringLiteral("c.csv"))));
        ScriptedUserDialogs dialogs;
        qint64 id = 0;
        int records = 0;
        QString third;
        {
            HistoryDialog history(false, dialogs);
            history.selectDownload(0);
            history.openSelected();
            id = history.openedDownload();
            QVERIFY(id > 0);
            const auto *colours = qobject_cast<const ColourTableModel *>(history.openedTable());
            QVERIFY(colours);
            records = colours->rowCount();
            QVERIFY(records > 3);
            third = colours->data(colours->index(2, colours->nameColumn())).toString();
            auto *view = history.findChild<DataTableView *>(QStringLiteral("tableView_download"));
            QAbstractItemModel *shown = view->model();
            QVERIFY(shown->flags(shown->index(0, colours->nameColumn())) & Qt::ItemIsEditable);
            QVERIFY(!(shown->flags(shown->index(0, colours->firstFigureColumn())) & Qt::ItemIsEditable));
            QVERIFY(shown->setData(shown->index(0, colours->nameColumn()), QStringLiteral("Lamp E")));
            QCOMPARE(colours->data(colours->index(0, colours->nameColumn())).toString(), QStringLiteral("Lamp E"));
            Q_EMIT view->deleteRowsRequested({1});
            QCOMPARE(colours->rowCount(), records - 1);
            history.accept(); // closing hands the changes on
        }
        QTest::qWait(400);
        QThreadPool::globalInstance()->waitForDone();
        MeasurementArchive archive(ArchiveLocation::defaultLocation(), MeasurementArchive::Access::ReadOnly);
        QVERIFY(archive.open());
        QList<RecordEdit> edits;
        QVERIFY(archive.edits(id, edits));
        QCOMPARE(edits.size(), 2);
        QCOMPARE(edits.at(0).name, std::optional<QString>(QStringLiteral("Lamp E")));
        QCOMPARE(edits.at(1).record, 1);
        QCOMPARE(edits.at(1).deleted, std::optional<bool>(true));

        HistoryDialog again(false, dialogs);
        again.selectDownload(0);
        again.openSelected();
        const auto *colours = qobject_cast<const ColourTableModel *>(again.openedTable());
        QVERIFY(colours);
        QCOMPARE(colours->rowCount(), records - 1);
        QCOMPARE(colours->data(colours->index(0, colours->nameColumn())).toString(), QStringLiteral("Lamp E"));
        QCOMPARE(colours->data(colours->index(1, colours->nameColumn())).toString(), third);
        QVERIFY(dialogs.informationTexts().isEmpty());
    }
};

QTEST_MAIN(TestHistoryCompare)
#include "tst_historycompare.moc"
