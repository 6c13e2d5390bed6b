// SPDX-License-Identifier: GPL-3.0-or-later
// Each window and dialog, in both languages, on a 1280×720 screen: its minimum size fits, every
// control lies inside it and no button, label or title is narrower than its text needs.
#include "ColourTableModel.h"
#include "FirstPage.h"
#include "HistoryDialog.h"
#include "MainWindow.h"
#include "MeterPage.h"
#include "SpectralTestBench.h"
#include "LumivaneResources.h"
#include "StartUp.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

namespace {

const QSize smallScreen(1280, 720);

// What is wrong with the window's fit, empty when nothing.
QStringList misfits(QWidget &window)
{
    QStringList found;
    const QSize minimum = window.minimumSizeHint().expandedTo(window.minimumSize());
    if (minimum.width() > smallScreen.width() || minimum.height() > smallScreen.height())
        found << QStringLiteral("minimum size %1×%2").arg(minimum.width()).arg(minimum.height());
    window.resize(smallScreen);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return {QStringLiteral("not shown")};
    QCoreApplication::processEvents();
    if (window.size() != smallScreen)
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
    window.hide();
    return found;
}

} // namespace

class TestWindowFit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The window's own look: its style sheet's paddings and its font decide what fits.
    void initTestCase()
    {
        QVERIFY(StartUp::applyStyleSheet(QLatin1String(LumivaneResources::styleSheet)));
        StartUp::applyFont();
    }
    void cleanupTestCase() { MainWindow::destroyInstance(); }

    void windowsFit_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("chinese");
        for (const char *window : {"main", "spectral", "history"}) {
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
        } else {
            ScriptedUserDialogs dialogs;
            HistoryDialog history(chinese, dialogs);
            QVERIFY(dialogs.informationTexts().isEmpty());
            found = misfits(history);
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
    }

    // The colour table beside the charts shows every column whole, without a sideways scroll
    // bar, on a laptop's screen and on a large one, in both languages, for every spectral kind.
    void colourTableFits_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("chinese");
        QTest::addColumn<QSize>("screen");
        for (const int kind : {1, 2, 3, 4, 5}) {
            for (const QSize screen : {QSize(1280, 720), QSize(1366, 768), QSize(1920, 1080)}) {
                for (const bool chinese : {true, false})
                    QTest::addRow("kind %d %s %d×%d", kind, chinese ? "Chinese" : "English", screen.width(),
                                  screen.height())
                        << QStringLiteral("kind%1.json").arg(kind) << kind << chinese << screen;
            }
        }
    }

    void colourTableFits()
    {
        QFETCH(QString, image);
        QFETCH(int, kind);
        QFETCH(bool, chinese);
        QFETCH(QSize, screen);
        SpectralTestBench bench;
        QVERIFY(bench.connect(SpectralTestBench::sampleImage(image)));
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
