// SPDX-License-Identifier: GPL-3.0-or-later
#include "PageFixture.h"
#include "RecordsTableModel.h"
#include "ReportTexts.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
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
};

QTEST_MAIN(TestWindowReport)
#include "tst_windowreport.moc"
