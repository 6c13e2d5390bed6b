// SPDX-License-Identifier: GPL-3.0-or-later
// The archive as the lab's notebook, from the window's side: the records page's and the spectral
// page's edits reach the download's archive entry, the history opens the download as it was left,
// edits it again, exports it as it stands and goes back to what the meter gave; notes are edited
// beside the history's list, which shows and searches them; a change that cannot be saved is told
// once and stays in the window.
#include "DataTableView.h"
#include "HistoryDialog.h"
#include "MeasurementArchive.h"
#include "NotesPane.h"
#include "PageFixture.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"
#include "SpectralTestBench.h"
#include "TableEditSaver.h"
#include "TextCatalogue.h"
#include "WindowArchive.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

namespace {

void emptyArchive()
{
    QSettings().remove(QStringLiteral("archive/location"));
    const QString archive = ArchiveLocation::defaultLocation().path;
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(archive + suffix);
}

// The saver's delay, its write on the pool and the answer on this thread.
void settle()
{
    QTest::qWait(2 * TableEditSaver::SaveDelayMs);
    WindowArchive::waitForArchiving();
    QCoreApplication::sendPostedEvents();
}

QList<RecordEdit> archivedEdits(qint64 id)
{
    MeasurementArchive archive(ArchiveLocation::defaultLocation(), MeasurementArchive::Access::ReadOnly);
    QList<RecordEdit> edits;
    if (!archive.open() || !archive.edits(id, edits))
        qWarning() << "edits unreadable:" << archive.errorString();
    return edits;
}

RecordEdit edit(qint64 record, std::optional<bool> deleted, std::optional<QString> name = {},
                std::optional<bool> ticked = {})
{
    RecordEdit made;
    made.record = record;
    made.deleted = deleted;
    made.name = std::move(name);
    made.ticked = ticked;
    return made;
}

// Another program's write transaction on the archive, held while this lives.
class OtherWriter
{
public:
    OtherWriter()
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        other.setDatabaseName(ArchiveLocation::defaultLocation().path);
        holding = other.open() && QSqlQuery(other).exec(QStringLiteral("BEGIN IMMEDIATE"));
    }
    ~OtherWriter()
    {
        {
            QSqlDatabase other = QSqlDatabase::database(name, false);
            QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
            other.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    bool holding = false;

private:
    const QString name = QStringLiteral("other program");
};

void createArchive()
{
    MeasurementArchive created(ArchiveLocation::defaultLocation(), MeasurementArchive::Access::ReadWrite);
    if (!created.open())
        qWarning() << "archive not created:" << created.errorString();
}

bool startsAsText(const QString &told, Text id)
{
    return told.startsWith(TextCatalogue::text(id, false).section(QLatin1Char('%'), 0, 0));
}

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestArchiveNotebook : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { emptyArchive(); }

    void recordsRoundTrip_data();
    void recordsRoundTrip();
    void spectraRoundTrip();
    void notesInTheDialog();
    void failingSaveToldOnce();
    void editsOutliveTheirWindow_data();
    void editsOutliveTheirWindow();
    void historyWritesFail_data();
    void historyWritesFail();
};

void TestArchiveNotebook::recordsRoundTrip_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("rowsLost");
    QTest::addColumn<QString>("firstName"); // empty: the meter's
    QTest::addColumn<QList<RecordEdit>>("edits");
    QTest::newRow("name typed") << "rename" << 0 << "Lamp A" << QList<RecordEdit>{edit(0, {}, QStringLiteral("Lamp A"))};
    QTest::newRow("rows deleted by key") << "delete" << 2 << QString()
                                         << QList<RecordEdit>{edit(1, true), edit(2, true)};
    QTest::newRow("deletion undone") << "undo" << 0 << QString()
                                     << QList<RecordEdit>{edit(1, false), edit(2, false)};
    // Cleared at once, before the delay is over: the change goes out as the rows go.
    QTest::newRow("table cleared at once") << "clear" << 0 << "Lamp B"
                                           << QList<RecordEdit>{edit(0, {}, QStringLiteral("Lamp B"))};
}

void TestArchiveNotebook::recordsRoundTrip()
{
    QFETCH(QString, action);
    QFETCH(int, rowsLost);
    QFETCH(QString, firstName);
    QFETCH(QList<RecordEdit>, edits);
    QTemporaryDir dir;
    PageFixture f;
    f.page.setLanguageFlag(false);
    QVERIFY(f.identifyAndDownload(PageFixture::sample(QStringLiteral("kind4"))));
    const qint64 id = f.page.downloadId();
    QVERIFY(id > 0);
    const int rows = f.model().rowCount();
    QVERIFY(rows > 3);
    const QString meterName = f.model().record(0).name;
    QAbstractItemModel *table = f.view()->model();
    if (action == QLatin1String("rename") || action == QLatin1String("clear"))
        QVERIFY(table->setData(table->index(0, 0), firstName));
    if (action == QLatin1String("delete") || action == QLatin1String("undo")) {
        f.view()->selectRow(1);
        f.view()->selectionModel()->select(table->index(2, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
        Q_EMIT f.view()->deleteRowsRequested(f.view()->selectedRowsDescending());
    }
    if (action == QLatin1String("undo")) {
        settle(); // the deletion reached the archive before it is undone
        f.page.findChild<QAction *>(QStringLiteral("action_undoDelete"))->trigger();
    }
    if (action == QLatin1String("clear")) {
        f.dialogs.setNextAnswer(true);
        f.page.on_pushButton_clearData_clicked();
        QCOMPARE(f.model().rowCount(), 0);
    }
    settle();
    QCOMPARE(archivedEdits(id), edits);

    // The history opens it as it was left; the records as the meter gave them stay in the archive.
    ScriptedUserDialogs dialogs;
    HistoryDialog history(false, dialogs);
    QCOMPARE(history.listedDownloads().first().recordCount, rows);
    history.selectDownload(0);
    history.openSelected();
    const auto *opened = qobject_cast<const RecordsTableModel *>(history.openedTable());
    QVERIFY(opened);
    QCOMPARE(opened->rowCount(), rows - rowsLost);
    QCOMPARE(opened->record(0).name, firstName.isEmpty() ? meterName : firstName);
    // Exported as it stands.
    const QString exported = dir.filePath(QStringLiteral("history.csv"));
    dialogs.setNextFileName(exported, 2);
    QVERIFY(history.exportSelected());
    // A line a row, after the titles (whose units stand on a line of their own within the cell).
    QCOMPARE(fileText(exported).count(QStringLiteral("\r\n")), 1 + rows - rowsLost);
    QCOMPARE(fileText(exported).contains(firstName.isEmpty() ? meterName : firstName), true);

    // Back to what the meter gave, after a question.
    dialogs.setNextAnswer(true);
    history.restoreOriginal();
    settle();
    QVERIFY(archivedEdits(id).isEmpty());
    opened = qobject_cast<const RecordsTableModel *>(history.openedTable());
    QVERIFY(opened);
    QCOMPARE(opened->rowCount(), rows);
    QCOMPARE(opened->record(0).name, meterName);
    QCOMPARE(dialogs.questionTexts().size(), 1);
}

void TestArchiveNotebook::spectraRoundTrip()
{
    SpectralTestBench bench;
    const QList<QByteArray> names{"one", "two", "three"};
    QVERIFY(bench.connect(SpectralTestBench::image(3, 0, names)));
    qint64 id = 0;
    {
        auto page = bench.page(4, false);
        QMetaObject::invokeMethod(page.get(), "on_pushButton_readRecords_clicked");
        WindowArchive::waitForArchiving();
        QCoreApplication::sendPostedEvents();
        id = page->downloadId();
        QVERIFY(id > 0);
        auto &table = const_cast<SpectralTableModel &>(page->spectralModel());
        table.setCurveVisible(2, false); // record 1 unticked
        QVERIFY(table.setData(table.index(3, table.nameColumn()), QStringLiteral("lamp C")));
        // The dialog closes before the delay is over: its destruction saves.
    }
    settle();
    QCOMPARE(archivedEdits(id), (QList<RecordEdit>{edit(1, {}, {}, false), edit(2, {}, QStringLiteral("lamp C"))}));

    // Edited again in the history: a record deleted there goes to the same entry.
    ScriptedUserDialogs dialogs;
    {
        HistoryDialog history(false, dialogs);
        history.selectDownload(0);
        history.openSelected();
        const auto *spectra = qobject_cast<const SpectralTableModel *>(history.openedTable());
        QVERIFY(spectra);
        QCOMPARE(spectra->recordNames(), (QStringList{"one", "two", "lamp C"}));
        QCOMPARE(spectra->records()[1].curveVisible, false);
        QVERIFY(!spectra->isTitleChecked());
        Q_EMIT history.findChild<DataTableView *>(QStringLiteral("tableView_download"))->deleteRowsRequested({1});
        QCOMPARE(spectra->recordCount(), 2);
    }
    settle();
    QCOMPARE(archivedEdits(id), (QList<RecordEdit>{edit(0, true), edit(1, {}, {}, false),
                                                   edit(2, {}, QStringLiteral("lamp C"))}));
    QVERIFY(dialogs.informationTexts().isEmpty());
}

void TestArchiveNotebook::notesInTheDialog()
{
    PageFixture kind1, kind4;
    QVERIFY(kind1.identifyAndDownload(PageFixture::sample(QStringLiteral("kind1"))));
    QVERIFY(kind4.identifyAndDownload(PageFixture::sample(QStringLiteral("kind4"))));
    ScriptedUserDialogs dialogs;
    {
        HistoryDialog history(false, dialogs);
        const qint64 newest = history.listedDownloads().first().id;
        auto *notes = history.findChild<NotesPane *>();
        QVERIFY(notes);
        QVERIFY(!notes->isEnabled()); // nothing selected
        history.selectDownload(0);
        QCOMPARE(notes->download(), newest);
        const auto line = [&history](const char *name) { return history.findChild<QLineEdit *>(QLatin1String(name)); };
        // Tab walks the notes in order, then on to the opened table.
        history.show();
        QVERIFY(QTest::qWaitForWindowActive(&history));
        line("lineEdit_title")->setFocus();
        QStringList walked;
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, (QStringList{"lineEdit_location", "lineEdit_operator", "plainTextEdit_note", "tableView_download"}));
        line("lineEdit_title")->setText(QStringLiteral("Desk lamp"));
        Q_EMIT line("lineEdit_title")->editingFinished();
        line("lineEdit_location")->setText(QStringLiteral("Lab 3, north bench"));
        history.findChild<QPlainTextEdit *>(QStringLiteral("plainTextEdit_note"))
            ->setPlainText(QStringLiteral("after the ballast change\nsecond reading"));
        // Another download selected: the fields still open go out.
        history.selectDownload(1);
        QVERIFY(line("lineEdit_title")->text().isEmpty());
        settle();
        // The list shows the title and location, and its filter reads every note.
        QCOMPARE(history.listedDownloads().first().notes.location, QStringLiteral("Lab 3, north bench"));
        const struct
        {
            const char *typed;
            int listed;
        } searches[] = {{"NORTH BENCH", 1}, {"ballast", 1}, {"desk", 1}, {"no such note", 0}, {"", 2}};
        for (const auto &search : searches) {
            history.setSerialFilter(QString::fromLatin1(search.typed));
            QVERIFY2(history.listedDownloads().size() == search.listed, search.typed);
        }
    }
    // Kept in the archive: a new dialog lists them.
    HistoryDialog again(false, dialogs);
    const ArchiveNotes kept = again.listedDownloads().first().notes;
    QCOMPARE(kept.title, QStringLiteral("Desk lamp"));
    QCOMPARE(kept.location, QStringLiteral("Lab 3, north bench"));
    QCOMPARE(kept.operatorName, QString());
    QCOMPARE(kept.text, QStringLiteral("after the ballast change\nsecond reading"));
    // The report of the table proposes them; exports carry them on the sheet about the meter.
    QCOMPARE(WindowArchive::notesOf(kind4.page.downloadId()), std::optional<ArchiveNotes>(kept));
    QTemporaryDir dir;
    const QString exported = dir.filePath(QStringLiteral("noted.xls"));
    dialogs.setNextFileName(exported, 0);
    again.selectDownload(0);
    QVERIFY(again.exportSelected());
    QFile workbook(exported);
    QVERIFY(workbook.open(QIODevice::ReadOnly));
    // A text of Latin letters stands in the workbook's strings one byte a character.
    QVERIFY(workbook.readAll().contains("Lab 3, north bench"));
    QCOMPARE(dialogs.informationTexts(), QStringList{QStringLiteral("Exporting data success!")});
}

void TestArchiveNotebook::failingSaveToldOnce()
{
    PageFixture f;
    f.page.setLanguageFlag(false);
    QVERIFY(f.identifyAndDownload(PageFixture::sample(QStringLiteral("kind4"))));
    const qint64 id = f.page.downloadId();
    QVERIFY(id > 0);
    // The archive goes away: a folder where its file should be cannot be opened.
    QTemporaryDir dir;
    QSettings().setValue(QStringLiteral("archive/location"), dir.path());
    QAbstractItemModel *table = f.view()->model();
    for (const QString &name : {QStringLiteral("first"), QStringLiteral("second")}) {
        QVERIFY(table->setData(table->index(0, 0), name));
        settle();
    }
    f.page.slot_deleteRow(1);
    settle();
    const QStringList told = f.dialogs.informationTexts();
    QCOMPARE(told.size(), 1);
    QVERIFY2(told.first().startsWith(TextCatalogue::text(Text::EditsNotSaved, false).section(QLatin1Char('%'), 0, 0)),
             qPrintable(told.first()));
    QCOMPARE(f.model().record(0).name, QStringLiteral("second")); // kept in the window
    // The archive is back: the next change takes every change not saved with it.
    QSettings().remove(QStringLiteral("archive/location"));
    QVERIFY(table->setData(table->index(1, 0), QStringLiteral("third")));
    settle();
    const QList<RecordEdit> saved = archivedEdits(id);
    QCOMPARE(saved.size(), 3);
    QCOMPARE(saved.at(0), edit(0, {}, QStringLiteral("second")));
    QCOMPARE(saved.at(1), edit(1, true));
    QCOMPARE(saved.at(2).name, std::optional<QString>(QStringLiteral("third")));
    QCOMPARE(f.dialogs.informationTexts().size(), 1);
}

void TestArchiveNotebook::editsOutliveTheirWindow_data()
{
    QTest::addColumn<bool>("records"); // the records page, else the spectral dialog
    QTest::addColumn<bool>("busy");    // another program writes: archiving waits until the window went
    QTest::addColumn<bool>("cleared"); // the table cleared before the window went
    QTest::newRow("spectra, archive busy") << false << true << false;
    QTest::newRow("spectra, id on its way") << false << false << false;
    QTest::newRow("spectra cleared, archive busy") << false << true << true;
    QTest::newRow("records cleared, id on its way") << true << false << true;
    QTest::newRow("records, id on its way") << true << false << false;
}

// Edits made before the download's archive id came are saved even when the window holding them
// goes first, whether archiving is still under way or its answer has not been delivered yet.
void TestArchiveNotebook::editsOutliveTheirWindow()
{
    QFETCH(bool, records);
    QFETCH(bool, busy);
    QFETCH(bool, cleared);
    createArchive();
    std::optional<OtherWriter> other;
    if (busy) {
        other.emplace();
        QVERIFY(other->holding);
    }
    if (records) {
        auto f = std::make_unique<PageFixture>();
        QVERIFY(f->plugIn(PageFixture::sample(QStringLiteral("kind4"))));
        f->page.identifyMeter();
        f->page.on_pushButton_readRecords_clicked();
        QCOMPARE(f->page.downloadId(), 0); // the id has not come
        QAbstractItemModel *table = f->view()->model();
        QVERIFY(table->setData(table->index(1, 0), QStringLiteral("lamp D")));
        if (cleared) {
            f->dialogs.setNextAnswer(true);
            f->page.on_pushButton_clearData_clicked();
        }
    } else {
        SpectralTestBench bench;
        QVERIFY(bench.connect(SpectralTestBench::image(3, 0, {"one", "two", "three"})));
        auto page = bench.page(4, false);
        QMetaObject::invokeMethod(page.get(), "on_pushButton_readRecords_clicked");
        QCOMPARE(page->downloadId(), 0);
        auto &table = const_cast<SpectralTableModel &>(page->spectralModel());
        QVERIFY(table.setData(table.index(2, table.nameColumn()), QStringLiteral("lamp D")));
        if (cleared) {
            bench.dialogs.setNextAnswer(true);
            QVERIFY(QMetaObject::invokeMethod(page.get(), "on_pushButton_clearData_clicked"));
            QCOMPARE(page->spectralModel().recordCount(), 0);
        }
        page.reset();
        other.reset(); // archiving goes on only now
    }
    settle();
    MeasurementArchive archive(ArchiveLocation::defaultLocation(), MeasurementArchive::Access::ReadOnly);
    QVERIFY(archive.open());
    QList<ArchiveEntry> entries;
    QVERIFY(archive.list({}, entries));
    QCOMPARE(entries.size(), 1);
    QCOMPARE(archivedEdits(entries.first().id), QList<RecordEdit>{edit(1, {}, QStringLiteral("lamp D"))});
}

void TestArchiveNotebook::historyWritesFail_data()
{
    QTest::addColumn<bool>("restore"); // else the notes
    QTest::addColumn<bool>("gone");    // else another program holds the archive
    QTest::newRow("restore, archive gone") << true << true;
    QTest::newRow("restore, archive locked") << true << false;
    QTest::newRow("notes, archive gone") << false << true;
    QTest::newRow("notes, archive locked") << false << false;
}

// Restore Original and the notes when the archive cannot be written: told once, the table and the
// typed notes kept, and what is changed once it is back takes the rest along.
void TestArchiveNotebook::historyWritesFail()
{
    QFETCH(bool, restore);
    QFETCH(bool, gone);
    PageFixture f;
    QVERIFY(f.identifyAndDownload(PageFixture::sample(QStringLiteral("kind4"))));
    const qint64 id = f.page.downloadId();
    const QString meterName = f.model().record(0).name;
    QVERIFY(f.view()->model()->setData(f.view()->model()->index(0, 0), QStringLiteral("Lamp F")));
    settle();
    ScriptedUserDialogs dialogs;
    HistoryDialog history(false, dialogs);
    history.selectDownload(0);
    history.openSelected();
    const auto opened = [&history] { return qobject_cast<const RecordsTableModel *>(history.openedTable()); };
    QVERIFY(opened());
    QTemporaryDir dir;
    std::optional<OtherWriter> other;
    if (gone) {
        QSettings().setValue(QStringLiteral("archive/location"), dir.path());
    } else {
        other.emplace();
        QVERIFY(other->holding);
    }
    const auto line = [&history](const char *name) { return history.findChild<QLineEdit *>(QLatin1String(name)); };
    const auto type = [&line](const char *name, const QString &text) {
        line(name)->setText(text);
        Q_EMIT line(name)->editingFinished();
        settle();
    };
    if (restore) {
        dialogs.setNextAnswer(true);
        history.restoreOriginal();
        settle();
        QCOMPARE(opened()->record(0).name, QStringLiteral("Lamp F"));
        QVERIFY(history.findChild<QPushButton *>(QStringLiteral("pushButton_restore"))->isEnabled());
    } else {
        type("lineEdit_title", QStringLiteral("Desk lamp"));
        type("lineEdit_location", QStringLiteral("Lab 2"));
        QCOMPARE(line("lineEdit_title")->text(), QStringLiteral("Desk lamp"));
    }
    QCOMPARE(dialogs.informationTexts().size(), 1);
    QVERIFY2(startsAsText(dialogs.informationTexts().first(), restore ? Text::EditsNotSaved : Text::NotesNotSaved),
             qPrintable(dialogs.informationTexts().first()));
    QSettings().remove(QStringLiteral("archive/location"));
    other.reset();
    if (restore) {
        // Still followed: a name typed now is saved, and the restore can be made again.
        auto *table = const_cast<QAbstractItemModel *>(static_cast<const QAbstractItemModel *>(history.openedTable()));
        QVERIFY(table->setData(table->index(1, 0), QStringLiteral("Lamp G")));
        settle();
        QCOMPARE(archivedEdits(id), (QList<RecordEdit>{edit(0, {}, QStringLiteral("Lamp F")),
                                                       edit(1, {}, QStringLiteral("Lamp G"))}));
        dialogs.setNextAnswer(true);
        history.restoreOriginal();
        settle();
        QVERIFY(archivedEdits(id).isEmpty());
        QCOMPARE(opened()->record(0).name, meterName);
    } else {
        type("lineEdit_operator", QStringLiteral("Ann"));
        ArchiveNotes saved;
        MeasurementArchive archive(ArchiveLocation::defaultLocation(), MeasurementArchive::Access::ReadOnly);
        QVERIFY(archive.open() && archive.notes(id, saved));
        QCOMPARE(saved.title, QStringLiteral("Desk lamp"));
        QCOMPARE(saved.location, QStringLiteral("Lab 2"));
        QCOMPARE(saved.operatorName, QStringLiteral("Ann"));
    }
    QCOMPARE(dialogs.informationTexts().size(), 1);
}

QTEST_MAIN(TestArchiveNotebook)
#include "tst_archivenotebook.moc"
