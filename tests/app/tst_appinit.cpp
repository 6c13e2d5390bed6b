// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppInit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

namespace {

// Counts the mouse events that reach it.
class MouseRecorder : public QWidget
{
public:
    int presses = 0;
    int releases = 0;
    int moves = 0;

protected:
    void mousePressEvent(QMouseEvent *) override { ++presses; }
    void mouseReleaseEvent(QMouseEvent *) override { ++releases; }
    void mouseMoveEvent(QMouseEvent *) override { ++moves; }
};

// Sends a mouse event through the application, as the window system would deliver it.
bool send(QWidget &widget, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(widget.mapFromGlobal(global)), QPointF(global), button, buttons, Qt::NoModifier);
    return QApplication::sendEvent(&widget, &event);
}

} // namespace

class TestAppInit : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MouseRecorder> widget;

private Q_SLOTS:
    void initTestCase()
    {
        QCOMPARE(AppInit::instance(), AppInit::instance());
        qApp->installEventFilter(AppInit::instance());
    }

    void init()
    {
        widget = std::make_unique<MouseRecorder>();
        widget->setGeometry(100, 100, 200, 100);
        widget->setMouseTracking(true); // so that moves without a button reach it
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
        // Leave no drag in progress from an earlier case.
        widget->setProperty("canMove", true);
        send(*widget, QEvent::MouseButtonRelease, QPoint(0, 0), Qt::LeftButton, Qt::NoButton);
    }

    void cleanup() { widget.reset(); }

    void leftDragMovesAMarkedWidget()
    {
        const QPoint start = widget->pos();
        QVERIFY(send(*widget, QEvent::MouseButtonPress, start + QPoint(30, 20), Qt::LeftButton, Qt::LeftButton));
        QVERIFY(send(*widget, QEvent::MouseMove, start + QPoint(80, 60), Qt::NoButton, Qt::LeftButton));
        QCOMPARE(widget->pos(), start + QPoint(50, 40));
        QVERIFY(send(*widget, QEvent::MouseButtonRelease, start + QPoint(80, 60), Qt::LeftButton, Qt::NoButton));
        QCOMPARE(widget->presses + widget->moves + widget->releases, 0);

        // After the release, moving no longer drags.
        send(*widget, QEvent::MouseMove, start + QPoint(200, 200), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(widget->moves, 1);
        QCOMPARE(widget->pos(), start + QPoint(50, 40));
    }

    void releaseWithoutPressIsConsumed()
    {
        const QPoint start = widget->pos();
        QVERIFY(send(*widget, QEvent::MouseButtonRelease, start + QPoint(5, 5), Qt::RightButton, Qt::NoButton));
        QCOMPARE(widget->releases, 0);
        send(*widget, QEvent::MouseMove, start + QPoint(60, 60), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(widget->pos(), start);
    }

    void rightPressIsNotConsumedAndStartsNoDrag()
    {
        const QPoint start = widget->pos();
        send(*widget, QEvent::MouseButtonPress, start + QPoint(5, 5), Qt::RightButton, Qt::RightButton);
        QCOMPARE(widget->presses, 1);
        send(*widget, QEvent::MouseMove, start + QPoint(60, 60), Qt::NoButton, Qt::RightButton);
        QCOMPARE(widget->moves, 1);
        QCOMPARE(widget->pos(), start);
    }

    void moveWithoutButtonsPassesOn()
    {
        const QPoint start = widget->pos();
        send(*widget, QEvent::MouseButtonPress, start + QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
        send(*widget, QEvent::MouseMove, start + QPoint(60, 60), Qt::NoButton, Qt::NoButton);
        QCOMPARE(widget->moves, 1);
        QCOMPARE(widget->pos(), start);
    }

    void unmarkedWidgetsAreUnchanged_data()
    {
        QTest::addColumn<QVariant>("canMove");
        QTest::newRow("no property") << QVariant();
        QTest::newRow("false") << QVariant(false);
    }

    void unmarkedWidgetsAreUnchanged()
    {
        QFETCH(QVariant, canMove);
        widget->setProperty("canMove", canMove);
        const QPoint start = widget->pos();
        send(*widget, QEvent::MouseButtonPress, start + QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
        send(*widget, QEvent::MouseMove, start + QPoint(60, 60), Qt::NoButton, Qt::LeftButton);
        send(*widget, QEvent::MouseButtonRelease, start + QPoint(60, 60), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(widget->presses, 1);
        QCOMPARE(widget->moves, 1);
        QCOMPARE(widget->releases, 1);
        QCOMPARE(widget->pos(), start);
    }

    // The drag state is one for the process: a press on one marked widget and a move on another
    // drags the other by the first one's offset.
    void dragStateIsShared()
    {
        MouseRecorder other;
        other.setGeometry(400, 300, 100, 100);
        other.setProperty("canMove", true);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        const QPoint start = widget->pos();
        send(*widget, QEvent::MouseButtonPress, start + QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
        send(other, QEvent::MouseMove, QPoint(700, 500), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(other.pos(), QPoint(690, 490));
        QCOMPARE(widget->pos(), start);
    }
};

QTEST_MAIN(TestAppInit)
#include "tst_appinit.moc"
