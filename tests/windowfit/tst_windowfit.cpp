// SPDX-License-Identifier: GPL-3.0-or-later
// Each window and dialog, in both languages, on a 1280×720 screen: its minimum size fits, every
// control lies inside it and no button, label or title is narrower than its text needs.
#include "ArchiveListModel.h"
#include "ColourTableModel.h"
#include "FirstPage.h"
#include "HistoryDialog.h"
#include "LumivaneResources.h"
#include "MainWindow.h"
#include "MeterPage.h"
#include "SpectralTableModel.h"
#include "SpectralTestBench.h"
#include "SpectrumChartView.h"
#include "StartUp.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {

const QSize smallScreen(1280, 720);

// What is wrong with the window's fit, empty when nothing.
// A dialog smaller than the screen is checked at the size it opens with (`size`); the item view
// named `wholeColumns` must show its columns without a sideways scroll bar.
QStringList misfits(QWidget &window, QSize size = smallScreen, const QString &wholeColumns = {})
{
    QStringList found;
    const QSize minimum = window.minimumSizeHint().expandedTo(window.minimumSize());
    if (minimum.width() > smallScreen.width() || minimum.height() > smallScreen.height())
        found << QStringLiteral("minimum size %1×%2").arg(minimum.width()).arg(minimum.height());
    size = size.boundedTo(smallScreen);
    window.resize(size);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return {QStringLiteral("not shown")};
    QCoreApplication::processEvents();
    if (window.size() != size)
        found << QStringLiteral("grew to %1×%2").arg(window.width()).arg(window.height());
    const QList<QWidget *> children = window.findChildren<QWidget *>();
    for (QWidget *child : children) {
        if (!child->isVisibleTo(&window) || qobject_cast<QAbstractItemView *>(child->parentWidget())
            || child->inherits("QAbstractItemViewPrivate") || qobject_cast<QHeaderView *>(child))
            continue;
        // Controls and their titles only: the insides of item views scroll.
        const bool control = qobject_cast<QAbstractButton *>(child) || qobject_cast<QLabel *>(child)
                             || qobject_cast<QLineEdit *>(child) || qobject_cast<QGroupBox *>(child)
                             || qobject_cast<QAbstractItemView *>(child);
        if (!control)
            continue;
        const QRect placed(child->mapTo(&window, QPoint(0, 0)), child->size());
        const QString name = child->objectName().isEmpty() ? QString::fromLatin1(child->metaObject()->className())
                                                           : child->objectName();
        if (!window.rect().contains(placed))
            found << QStringLiteral("%1 beyond the window at %2,%3 %4×%5")
                         .arg(name)
                         .arg(placed.x())
                         .arg(placed.y())
                         .arg(placed.width())
                         .arg(placed.height());
        const auto *label = qobject_cast<QLabel *>(child);
        const bool clips = (qobject_cast<QAbstractButton *>(child) || (label && !label->wordWrap()
                                                                       && label->pixmap().isNull()
                                                                       && !label->text().isEmpty()))
                           && child->width() < child->minimumSizeHint().width();
        if (clips)
            found << QStringLiteral("%1 clipped: %2 of %3 px").arg(name).arg(child->width()).arg(child->minimumSizeHint().width());
        if (const auto *group = qobject_cast<QGroupBox *>(child);
            group && group->width() < group->fontMetrics().horizontalAdvance(group->title()) + 20)
            found << QStringLiteral("%1 title clipped").arg(name);
    }
    if (const auto *view = window.findChild<QAbstractItemView *>(wholeColumns); view && !wholeColumns.isEmpty()
        && view->horizontalScrollBar()->maximum() > 0)
        found << QStringLiteral("%1 scrolls sideways by %2 px").arg(wholeColumns).arg(view->horizontalScrollBar()->maximum());
    window.hide();
    return found;
}

} // namespace

class TestWindowFit : public QObject
{
    Q_OBJECT

    QTemporaryDir work;

private Q_SLOTS:
    // The window's own look: its style sheet's paddings and its font decide what fits.
    void initTestCase()
    {
        QVERIFY(StartUp::applyStyleSheet(QLatin1String(LumivaneResources::styleSheet)));
        StartUp::applyFont();
        // The history lists, newest first: kind-2 spectra, kind-4 spectra, kind-1 records.
        const char *const downloads[][2] = {{"kind1", "records"}, {"kind4", "spectra"}, {"kind2", "spectra"}};
        for (const auto &[image, command] : downloads) {
            QProcess cli;
            cli.start(QStringLiteral(LUMIVANE_CLI_PATH),
                      {QStringLiteral("--virtual-meter"), QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/%1.json").arg(QLatin1String(image)),
                       QStringLiteral("-q"), QLatin1String(command), QStringLiteral("-o"), work.filePath(QStringLiteral("d.csv"))});
            QVERIFY(cli.waitForFinished(120000) && cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == 0);
        }
    }
    void cleanupTestCase() { MainWindow::destroyInstance(); }

    void windowsFit_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("chinese");
        // The history first, while its archive holds only the downloads made for it.
        for (const char *window : {"history", "comparison", "main", "spectral", "report"}) {
            QTest::addRow("%s Chinese", window) << QString::fromLatin1(window) << true;
            QTest::addRow("%s English", window) << QString::fromLatin1(window) << false;
        }
    }

    void windowsFit()
    {
        QFETCH(QString, window);
        QFETCH(bool, chinese);
        QStringList found;
        if (window == QLatin1String("main")) {
            MainWindow *main = MainWindow::instance();
            main->findChild<QPushButton *>(chinese ? QStringLiteral("btnLanguageZh") : QStringLiteral("btnLanguageEn"))
                ->click();
            QCOMPARE(main->recordsPage()->isChinese(), chinese);
            found = misfits(*main);
        } else if (window == QLatin1String("spectral")) {
            // Kind 4 has the longest names; a few records fill the colour table.
            SpectralTestBench bench;
            QVERIFY(bench.connect(SpectralTestBench::sampleImage(QStringLiteral("kind4.json"))));
            const std::unique_ptr<MeterPage> page = bench.page(4, chinese);
            clickButton(*page, "pushButton_readRecords");
            QVERIFY(rowCount(*page) > 1);
            found = misfits(*page);
        } else if (window == QLatin1String("report")) {
            // The report's questions, as the spectral dialog asks them.
            SpectralTestBench bench;
            QVERIFY(bench.connect(SpectralTestBench::sampleImage(QStringLiteral("kind4.json"))));
            const std::unique_ptr<MeterPage> page = bench.page(4, chinese);
            clickButton(*page, "pushButton_readRecords");
            bool asked = false;
            QTimer::singleShot(0, this, [&] {
                if (QWidget *report = QApplication::activeModalWidget()) {
                    asked = true;
                    found = misfits(*report, report->size()); // hiding it ends it
                }
            });
            clickButton(*page, "pushButton_report");
            QVERIFY(asked);
        } else {
            // The list with the notes of a spectral download beside it and its preview below.
            ScriptedUserDialogs dialogs;
            HistoryDialog history(chinese, dialogs);
            QVERIFY(dialogs.informationTexts().isEmpty());
            auto *list = history.findChild<QTableView *>(QStringLiteral("tableView_downloads"));
            QVERIFY(list && list->model()->rowCount() >= 3);
            history.selectDownload(1);
            if (window == QLatin1String("history")) {
                history.openSelected();
                QVERIFY(history.findChild<SpectrumChartView *>());
                found = misfits(history, smallScreen, QStringLiteral("tableView_downloads"));
                // The notes beside the list leave its kind column (what tells downloads apart)
                // most of its width: their labels go above their fields rather than take it.
                history.show();
                QVERIFY(QTest::qWaitForWindowExposed(&history));
                QCoreApplication::processEvents();
                const int kind = list->columnWidth(ArchiveListModel::Kind);
                const int natural = qMax(list->horizontalHeader()->sectionSizeHint(ArchiveListModel::Kind),
                                         static_cast<const QAbstractItemView *>(list)->sizeHintForColumn(ArchiveListModel::Kind));
                if (4 * kind < 3 * natural)
                    found << QStringLiteral("kind column %1 of %2 px").arg(kind).arg(natural);
            } else {
                list->selectionModel()->select(list->model()->index(0, 0),
                                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
                history.findChild<QPushButton *>(QStringLiteral("pushButton_compare"))->click();
                auto *comparison = history.findChild<MeterPage *>();
                QVERIFY(comparison && comparison->spectralModel().recordCount() > 6);
                found = misfits(*comparison);
            }
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
    }

    // The colour table beside the charts shows every column whole, without a sideways scroll
    // bar, on a laptop's screen and on a large one, in both languages, for every spectral kind.
    void colourTableFits_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QSize>("screen");
        for (const int kind : {1, 2, 3, 4, 5}) {
            for (const QSize screen : {QSize(1280, 720), QSize(1366, 768), QSize(1920, 1080)}) {
                for (const bool chinese : {true, false})
                    QTest::addRow("kind %d %s %d×%d", kind, chinese ? "Chinese" : "English", screen.width(),
                                  screen.height())
                        << kind << chinese << screen;
            }
        }
    }

    void colourTableFits()
    {
        QFETCH(int, kind);
        QFETCH(bool, chinese);
        QFETCH(QSize, screen);
        SpectralTestBench bench;
        QVERIFY(bench.connect(SpectralTestBench::sampleImage(QStringLiteral("kind%1.json").arg(kind))));
        const std::unique_ptr<MeterPage> page = bench.page(kind, chinese);
        clickButton(*page, "pushButton_readRecords");
        QVERIFY(rowCount(*page) > 1);
        // The dialog as it opens on that screen: the screen less the title bar and the panel.
        page->resize(screen.width(), screen.height() - 100);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        QCoreApplication::processEvents();
        auto *table = page->findChild<QTableView *>(QStringLiteral("tableView_colour"));
        QVERIFY(table);
        const QHeaderView *titles = table->horizontalHeader();
        const int names = page->colourModel().nameColumn();
        QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
        for (int c = 0; c < titles->count(); ++c) {
            const QString title = table->model()->headerData(c, Qt::Horizontal).toString();
            // Titles whole; figures whole (a long name alone is cut, and shown whole as its tooltip).
            QVERIFY2(titles->sectionSize(c) >= titles->sectionSizeHint(c), qPrintable(title));
            for (int r = 0; r < table->model()->rowCount() && c != names; ++r)
                QVERIFY2(titles->sectionSize(c) >= table->sizeHintForIndex(table->model()->index(r, c)).width(),
                         qPrintable(title));
        }
    }
};

QTEST_MAIN(TestWindowFit)
#include "tst_windowfit.moc"
