// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveLocation.h"
#include "HistoryDialog.h"
#include "MeasurementArchive.h"
#include "PageFixture.h"
#include "RecordsTableModel.h"
#include "ReportTexts.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// Clicks the button of the report dialog once it is shown (it runs its own event loop).
void clickInReportDialog(const QString &buttonText)
{
    QTimer::singleShot(0, [buttonText] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
            if (button->text() == buttonText) {
                button->click();
                return;
            }
        }
        QFAIL("the report dialog has no such button");
    });
}

// Reads the report dialog's title, location, operator and note once it is shown, then cancels it.
void readReportDialog(QStringList &fields)
{
    QTimer::singleShot(0, [&fields] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        for (const char *name : {"lineEdit_reportTitle", "lineEdit_reportLocation", "lineEdit_reportOperator"}) {
            const auto *line = dialog->findChild<QLineEdit *>(QLatin1String(name));
            fields << (line ? line->text() : QStringLiteral("<no %1>").arg(QLatin1String(name)));
        }
        const auto *note = dialog->findChild<QPlainTextEdit *>(QStringLiteral("plainTextEdit_reportNote"));
        fields << (note ? note->toPlainText() : QStringLiteral("<no note>"));
        for (QPushButton *button : dialog->findChildren<QPushButton *>()) {
            if (button->text() == ReportTexts::text(ReportText::Cancel, false))
                button->click();
        }
    });
}

void emptyArchive()
{
    const QString archive = ArchiveLocation::defaultLocation().path;
    for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(archive + suffix);
}

QString pdfText(const QString &file)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {file, QStringLiteral("-")});
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestWindowReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportShowsTheTableAsItIs_data()
    {
        QTest::addColumn<bool>("chinese");
        QTest::newRow("Chinese") << true;
        QTest::newRow("English") << false;
    }

    // The records page's report: the rows as the table holds them (a deleted row gone, a name as
    // typed), saved where the save dialog says; a cancelled one keeps the file that was there.
    void reportShowsTheTableAsItIs()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils is not installed (scripts/install-deps.sh installs it)");
        QFETCH(bool, chinese);
        PageFixture fixture;
        fixture.page.setLanguageFlag(chinese);
        QVERIFY(fixture.identifyAndDownload(PageFixture::sample(QStringLiteral("kind4"))));
        fixture.page.slot_deleteRow(1); // "Corridor"
        auto &model = const_cast<RecordsTableModel &>(fixture.model());
        QVERIFY(model.setData(model.index(0, 0), QStringLiteral("Renamed hall")));
        fixture.dialogs.clear();

        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("report.pdf"));
        fixture.dialogs.setNextFileName(file);
        clickInReportDialog(ReportTexts::text(ReportText::SavePdf, chinese));
        fixture.button("pushButton_report")->click();
        QCOMPARE(fixture.dialogs.informationTexts(),
                 QStringList{ReportTexts::text(ReportText::Saved, chinese).arg(file)});
        const QString text = pdfText(file);
        QVERIFY(text.contains(QStringLiteral("Renamed hall")));
        QVERIFY(text.contains(QStringLiteral("Stairs B2")));
        QVERIFY(!text.contains(QStringLiteral("Corridor")));

        // Cancelled after the first page: the report saved before stays.
        const QByteArray before = [&file] {
            QFile saved(file);
            return saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray();
        }();
        fixture.dialogs.clear();
        fixture.dialogs.setNextFileName(file);
        fixture.dialogs.cancelProgressAt(1);
        model.removeRecord(0);
        clickInReportDialog(ReportTexts::text(ReportText::SavePdf, chinese));
        fixture.button("pushButton_report")->click();
        QCOMPARE(fixture.dialogs.informationTexts().size(), 1);
        QVERIFY(fixture.dialogs.informationTexts().first().startsWith(
            ReportTexts::text(ReportText::Failed, chinese).section(QLatin1Char('%'), 0, 0)));
        QFile kept(file);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("report.pdf")});
    }

    // "Print…" goes through the print dialog of the dialogs seam, and the printer gets the very
    // report the save button writes (here a printer writing a PDF file, read back as text).
    void printedReportIsTheSavedOne()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils is not installed (scripts/install-deps.sh installs it)");
        PageFixture fixture;
        fixture.page.setLanguageFlag(false);
        QVERIFY(fixture.identifyAndDownload(PageFixture::sample(QStringLiteral("kind4"))));
        QTemporaryDir dir;
        const QString saved = dir.filePath(QStringLiteral("saved.pdf"));
        const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
        fixture.dialogs.clear();
        fixture.dialogs.setNextFileName(saved);
        clickInReportDialog(ReportTexts::text(ReportText::SavePdf, false));
        fixture.button("pushButton_report")->click();
        fixture.dialogs.clear();
        fixture.dialogs.setNextPrintFile(printed);
        clickInReportDialog(ReportTexts::text(ReportText::Print, false));
        fixture.button("pushButton_report")->click();

        QCOMPARE(fixture.dialogs.shown().size(), 2); // the print dialog, then the progress
        QCOMPARE(fixture.dialogs.shown().first().kind, ScriptedUserDialogs::Shown::Print);
        QCOMPARE(fixture.dialogs.shown().first().title, ReportTexts::text(ReportText::DefaultTitle, false));
        QVERIFY(fixture.dialogs.informationTexts().isEmpty());
        const QString text = pdfText(printed);
        QVERIFY(text.contains(QStringLiteral("Stairs B2")));
        QCOMPARE(text, pdfText(saved));

        // A cancelled print dialog prints nothing and tells nothing.
        fixture.dialogs.clear();
        QFile::remove(printed);
        clickInReportDialog(ReportTexts::text(ReportText::Print, false));
        fixture.button("pushButton_report")->click();
        QCOMPARE(fixture.dialogs.shown().size(), 1);
        QVERIFY(!QFile::exists(printed));
    }

    void reportProposesTheNotes_data()
    {
        QTest::addColumn<bool>("history");       // else the records page
        QTest::addColumn<QStringList>("notes");  // title, location, operator, text as archived
        QTest::addColumn<QString>("typed");      // a title typed in the history's pane, not yet left
        QTest::addColumn<QStringList>("fields"); // title, location, operator, note as proposed
        const QStringList all{"Desk lamp", "Lab 2", "Ann", "after the ballast change\nsecond reading"};
        QTest::newRow("records page, every note") << false << all << QString() << all;
        QTest::newRow("history, every note") << true << all << QString() << all;
        // A field without a note proposes what it would without notes: the location and operator
        // last entered, the default title; a note of blanks is no note.
        const QStringList remembered{"Measurement Report", "Remembered lab", "Remembered operator", ""};
        QTest::newRow("records page, no notes") << false << QStringList{"", "", "", ""} << QString() << remembered;
        QTest::newRow("history, blanks") << true << QStringList{" ", "", "  ", " \n "} << QString() << remembered;
        QTest::newRow("history, title only")
            << true << QStringList{"Desk lamp", "", "", ""} << QString()
            << QStringList{"Desk lamp", "Remembered lab", "Remembered operator", ""};
        QTest::newRow("history, title typed")
            << true << QStringList{"Desk lamp", "Lab 2", "", ""} << "Typed lamp"
            << QStringList{"Typed lamp", "Lab 2", "Remembered operator", ""};
    }

    // The report dialog proposes the download's notes for its fields, from the records page (the
    // table's download) and from the history (the selected one, as its pane shows the notes).
    void reportProposesTheNotes()
    {
        QFETCH(bool, history);
        QFETCH(QStringList, notes);
        QFETCH(QString, typed);
        QFETCH(QStringList, fields);
        emptyArchive();
        QSettings().setValue(QStringLiteral("report/location"), QStringLiteral("Remembered lab"));
        QSettings().setValue(QStringLiteral("report/operator"), QStringLiteral("Remembered operator"));
        PageFixture fixture;
        fixture.page.setLanguageFlag(false);
        QVERIFY(fixture.identifyAndDownload(PageFixture::sample(QStringLiteral("kind4"))));
        {
            MeasurementArchive archive(ArchiveLocation::defaultLocation(), MeasurementArchive::Access::ReadWrite);
            QVERIFY(archive.open());
            const ArchiveNotes archived{notes.at(0), notes.at(1), notes.at(2), notes.at(3)};
            QVERIFY(archive.setNotes(fixture.page.downloadId(), archived,
                                     {NoteField::Title, NoteField::Location, NoteField::Operator, NoteField::Text}));
        }
        QStringList proposed;
        readReportDialog(proposed);
        if (history) {
            ScriptedUserDialogs dialogs;
            HistoryDialog dialog(false, dialogs);
            dialog.selectDownload(0);
            if (!typed.isEmpty())
                dialog.findChild<QLineEdit *>(QStringLiteral("lineEdit_title"))->setText(typed);
            QVERIFY(dialog.reportSelected());
        } else {
            fixture.button("pushButton_report")->click();
        }
        QCOMPARE(proposed, fields);
    }

    // A report from the history describes the archived download: its own download time, not the
    // time the report is made.
    void historyReportHasTheDownloadTime()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("poppler-utils is not installed (scripts/install-deps.sh installs it)");
        emptyArchive();
        PageFixture fixture;
        fixture.page.setLanguageFlag(false);
        QVERIFY(fixture.identifyAndDownload(PageFixture::sample(QStringLiteral("kind1"))));
        QTest::qWait(1100); // the report is made in a later second than the download

        ScriptedUserDialogs dialogs;
        HistoryDialog history(false, dialogs);
        QCOMPARE(history.listedDownloads().size(), 1);
        const QString downloaded =
            history.listedDownloads().first().downloadedUtc.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        history.selectDownload(0);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("history.pdf"));
        dialogs.setNextFileName(file);
        clickInReportDialog(ReportTexts::text(ReportText::SavePdf, false));
        const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        QVERIFY(history.reportSelected());
        QCOMPARE(dialogs.informationTexts(), QStringList{ReportTexts::text(ReportText::Saved, false).arg(file)});
        const QString text = pdfText(file);
        QVERIFY(text.contains(downloaded));
        QVERIFY(!text.contains(now));
        QVERIFY(text.contains(fixture.lineText("lineEdit_serialNo")));
    }
};

QTEST_MAIN(TestWindowReport)
#include "tst_windowreport.moc"
