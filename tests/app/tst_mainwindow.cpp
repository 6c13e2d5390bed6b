// SPDX-License-Identifier: GPL-3.0-or-later
#include "FirstPage.h"
#include "LumivaneResources.h"
#include "MainWindow.h"
#include "StartUp.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    template <typename T>
    static T *child(const char *name)
    {
        return MainWindow::instance()->findChild<T *>(QLatin1String(name));
    }

private Q_SLOTS:
    void cleanupTestCase() { MainWindow::destroyInstance(); }

    void styleSheetSetsThePaletteFromItsFirstRule()
    {
        QVERIFY(StartUp::applyStyleSheet(QLatin1String(LumivaneResources::styleSheet)));
        QVERIFY(qApp->styleSheet().startsWith(QLatin1String("QPalette{background:#FFFFFF;}")));
        QCOMPARE(QApplication::palette().color(QPalette::Button), QColor(0xFF, 0xFF, 0xFF));
    }

    void unreadableStyleSheetChangesNothing()
    {
        const QString before = qApp->styleSheet();
        const QPalette palette = QApplication::palette();
        QVERIFY(!StartUp::applyStyleSheet(QStringLiteral(":/qss/missing.css")));
        QCOMPARE(qApp->styleSheet(), before);
        QCOMPARE(QApplication::palette(), palette);

        // A style sheet without a colour at offset 20 is set, but the palette stays.
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("plain.css")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("QWidget{color:#102030;}");
        file.close();
        QVERIFY(StartUp::applyStyleSheet(file.fileName()));
        QCOMPARE(qApp->styleSheet(), QStringLiteral("QWidget{color:#102030;}"));
        QCOMPARE(QApplication::palette(), palette);
        qApp->setStyleSheet(before);
    }

    void fontHasACjkFallback()
    {
        StartUp::applyFont();
        const QFont font = QApplication::font();
        QCOMPARE(font.families(), QStringList({QStringLiteral("Microsoft Yahei"), QStringLiteral("Noto Sans CJK SC")}));
        QCOMPARE(font.pointSize(), 12);
        QVERIFY(!font.italic());
        QCOMPARE(font.weight(), QFont::Normal);
    }

    void singleWindow()
    {
        MainWindow *window = MainWindow::instance();
        QVERIFY(window);
        QCOMPARE(MainWindow::instance(), window);
        QCOMPARE(window->parent(), nullptr);
        QCOMPARE(window->objectName(), QStringLiteral("MainWindow"));
    }

    void form()
    {
        MainWindow *window = MainWindow::instance();
        QCOMPARE(window->size(), QSize(1333, 712));
        QVERIFY(window->isSizeGripEnabled());

        auto *grid = child<QGridLayout>("gridLayout");
        QVERIFY(grid);
        QCOMPARE(window->layout(), grid);
        auto *lamp = child<QLabel>("LinkStatusLabel");
        auto *english = child<QPushButton>("btnLanguageEn");
        auto *chinese = child<QPushButton>("btnLanguageZh");
        auto *stack = child<QStackedWidget>("stackedWidget");
        auto *access = child<QLabel>("accessStatusLabel");
        QVERIFY(lamp && english && chinese && stack && access);

        const auto position = [grid](QWidget *w) {
            int row, column, rowSpan, columnSpan;
            grid->getItemPosition(grid->indexOf(w), &row, &column, &rowSpan, &columnSpan);
            return QList<int>{row, column, rowSpan, columnSpan};
        };
        QCOMPARE(position(lamp), QList<int>({0, 0, 1, 1}));
        QCOMPARE(position(english), QList<int>({0, 2, 1, 1}));
        QCOMPARE(position(chinese), QList<int>({0, 3, 1, 1}));
        QCOMPARE(position(access), QList<int>({1, 0, 1, 4}));
        QCOMPARE(position(stack), QList<int>({2, 0, 1, 4}));
        QSpacerItem *spacer = grid->itemAtPosition(0, 1)->spacerItem();
        QVERIFY(spacer);
        QCOMPARE(spacer->sizeHint(), QSize(598, 20));
        QCOMPARE(spacer->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(spacer->sizePolicy().verticalPolicy(), QSizePolicy::Minimum);

        QCOMPARE(grid->rowStretch(0), 1);
        QCOMPARE(grid->rowStretch(1), 0);
        QCOMPARE(grid->rowStretch(2), 30);
        QCOMPARE(QList<int>(
                     {grid->columnStretch(0), grid->columnStretch(1), grid->columnStretch(2), grid->columnStretch(3)}),
                 QList<int>({1, 30, 4, 4}));

        QCOMPARE(lamp->maximumHeight(), 30);
        QCOMPARE(lamp->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(lamp->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
        for (QPushButton *button : {english, chinese}) {
            QCOMPARE(button->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
            QCOMPARE(button->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
            QCOMPARE(button->focusPolicy(), Qt::StrongFocus);
            QCOMPARE(button->cursor().shape(), Qt::ArrowCursor);
        }
        QCOMPARE(english->text(), QStringLiteral("English"));
        QCOMPARE(chinese->text(), QString::fromUtf8("中文"));
        QCOMPARE(stack->baseSize(), QSize(33, 24));
        // The access status line is empty and hidden until a present meter cannot be opened; it
        // never widens the window, and its text can be selected and copied.
        QVERIFY(access->isHidden());
        QCOMPARE(access->text(), QString());
        QCOMPARE(access->sizePolicy().horizontalPolicy(), QSizePolicy::Ignored);
        QCOMPARE(access->textFormat(), Qt::PlainText);
        QVERIFY(access->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
        // The records page is the stack's one page and the current one.
        QVERIFY(window->recordsPage());
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->currentWidget(), static_cast<QWidget *>(window->recordsPage()));
    }

    void windowFlagsAndStyle()
    {
        MainWindow *window = MainWindow::instance();
        QVERIFY(window->isWindow());
        const Qt::WindowFlags flags = window->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));
        QCOMPARE(window->styleSheet(), MainWindow::windowStyle());
        QCOMPARE(
            MainWindow::windowStyle(),
            QStringLiteral(
                "QComboBox::drop-down,QDateEdit::drop-down,QTimeEdit::drop-down,QDateTimeEdit::drop-down{width:20px;}"
                "QComboBox::down-arrow,QDateEdit[calendarPopup=\"true\"]::down-arrow,QTimeEdit[calendarPopup="
                "\"true\"]::down-arrow,QDateTimeEdit[calendarPopup=\"true\"]::down-arrow{width:10px;height:10px;"
                "right:2px;}"
                "QRadioButton::indicator{width:15px;height:15px;}"
                "QCheckBox::indicator,QGroupBox::indicator,QTreeWidget::indicator,QListWidget::indicator{width:13px;"
                "height:13px;}"
                "QScrollBar:horizontal{min-height:12px;border-radius:6px;}QScrollBar::handle:horizontal{border-"
                "radius:6px;}QScrollBar:vertical{min-width:12px;border-radius:6px;}QScrollBar::handle:vertical{"
                "border-radius:6px;}"
                "QWidget#widget_top>QToolButton:pressed,QWidget#widget_top>QToolButton:hover,QWidget#widget_top>"
                "QToolButton:checked,QWidget#widget_top>QLabel:hover{border-width:0px 0px 3px 0px;}"
                "QWidget#widgetleft>QPushButton:checked,QWidget#widgetleft>QToolButton:checked,QWidget#widgetleft>"
                "QPushButton:pressed,QWidget#widgetleft>QToolButton:pressed{border-width:0px 0px 0px 3px;}"));
    }

    void lampIsOffAfterStartUp()
    {
        auto *lamp = child<QLabel>("LinkStatusLabel");
        QTRY_VERIFY(!lamp->pixmap().isNull());
        QCOMPARE(lamp->pixmap().toImage(), QPixmap(QLatin1String(LumivaneResources::lampOffImage)).toImage());
        QVERIFY(lamp->pixmap().toImage() != QPixmap(QLatin1String(LumivaneResources::lampOnImage)).toImage());
        QCOMPARE(lamp->alignment(), Qt::AlignCenter);
    }

    void languageButtons()
    {
        QSignalSpy changed(MainWindow::instance(), &MainWindow::languageChanged);
        QTest::mouseClick(child<QPushButton>("btnLanguageEn"), Qt::LeftButton);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toBool(), false);
        QCOMPARE(QCoreApplication::translate("FirstPage", "读取测量记录"), QStringLiteral("Read Records"));
        // Qt's own buttons (message boxes, file and progress dialogs) follow the language.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));

        QTest::mouseClick(child<QPushButton>("btnLanguageZh"), Qt::LeftButton);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toBool(), true);
        QCOMPARE(QCoreApplication::translate("FirstPage", "读取测量记录"), QString::fromUtf8("读取测量记录"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString::fromUtf8("是(&Y)"));
        QCOMPARE(child<QPushButton>("btnLanguageZh")->text(), QString::fromUtf8("中文"));
    }

    void escapeDoesNotCloseTheWindow()
    {
        MainWindow *window = MainWindow::instance();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTest::keyClick(window, Qt::Key_Escape);
        QVERIFY(window->isVisible());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
