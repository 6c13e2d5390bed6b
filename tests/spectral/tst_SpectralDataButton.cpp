// SPDX-License-Identifier: GPL-3.0-or-later
#include "FirstPage.h"
#include "SpectralTestBench.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

// The records page's spectral-data button opens the spectral dialog for one exec().
class TestSpectralDataButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensTheDialogForTheIdentifiedMeter_data();
    void opensTheDialogForTheIdentifiedMeter();

private:
    struct Seen
    {
        bool opened = false;
        int columns = -1;
        int rowsAtStart = -1;
        QString firstTitle;
        int recordsAfterDownload = -1;
        QString firstName;
    };
    // Presses the button; while the dialog runs, looks at it, downloads and closes it.
    static Seen pressSpectralButton(FirstPage &page, ScriptedUserDialogs &dialogs);
};

TestSpectralDataButton::Seen TestSpectralDataButton::pressSpectralButton(FirstPage &page, ScriptedUserDialogs &dialogs)
{
    Seen seen;
    QTimer::singleShot(0, &page, [&seen, &dialogs] {
        auto *dialog = qobject_cast<MeterPage *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        seen.opened = true;
        seen.columns = columnCount(*dialog);
        seen.rowsAtStart = rowCount(*dialog);
        seen.firstTitle = cellText(*dialog, 0, 0);
        clickButton(*dialog, "pushButton_readRecords");
        seen.recordsAfterDownload = int(dialog->spectralRecords().size());
        seen.firstName = cellText(*dialog, 1, 1);
        dialogs.setNextAnswer(true); // Yes to the close question: the table holds records
        dialog->reject();
    });
    page.findChild<QPushButton *>(QStringLiteral("pushButton_spectralData"))->click();
    return seen;
}

void TestSpectralDataButton::opensTheDialogForTheIdentifiedMeter_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<bool>("languageFlag");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QString>("firstTitle");

    QTest::newRow("kind 4, English") << "kind4.json" << false << 35 << "NO";
    QTest::newRow("kind 1, Chinese") << "kind1.json" << true << 34 << "序号";
}

void TestSpectralDataButton::opensTheDialogForTheIdentifiedMeter()
{
    QFETCH(QString, sample);
    QFETCH(bool, languageFlag);
    QFETCH(int, columns);
    QFETCH(QString, firstTitle);

    SpectralTestBench bench;
    const MeterImage image = SpectralTestBench::sampleImage(sample);
    QVERIFY(bench.connect(image));
    FirstPage page(bench.session, bench.dialogs, QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files"));
    page.identifyMeter();
    QVERIFY(bench.dialogs.informationTexts().isEmpty());
    page.setLanguageFlag(languageFlag);

    for (int round = 0; round < 2; ++round) {
        const Seen seen = pressSpectralButton(page, bench.dialogs);
        QVERIFY(seen.opened);
        QCOMPARE(seen.columns, columns);
        // Every opening starts from the title row alone: nothing survives the last dialog.
        QCOMPARE(seen.rowsAtStart, 1);
        QCOMPARE(seen.firstTitle, firstTitle);
        QCOMPARE(seen.recordsAfterDownload, int(image.recordCount));
        if (columns == 35)
            QVERIFY(!seen.firstName.isEmpty());
        // The dialog is gone once exec() has returned.
        QVERIFY(!QApplication::activeModalWidget());
        for (QWidget *widget : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<MeterPage *>(widget));
    }
    QVERIFY(bench.dialogs.informationTexts().isEmpty());
}

QTEST_MAIN(TestSpectralDataButton)
#include "tst_SpectralDataButton.moc"
