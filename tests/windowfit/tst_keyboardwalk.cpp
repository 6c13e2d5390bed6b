// SPDX-License-Identifier: GPL-3.0-or-later
// The main window by keyboard alone, with a downloaded table: Tab reaches every control and leaves
// the table, Enter starts nothing, Delete and Ctrl+Z delete and bring back rows.
#include "DataTableView.h"
#include "FirstPage.h"
#include "MainWindow.h"
#include "RecordsTableModel.h"
#include "ScriptedUserDialogs.h"
#include "VirtualMeter.h"
#include "VirtualMeterTransport.h"

#include <QPushButton>
#include <QtTest>

namespace {

class QuietDeviceEvents final : public DeviceEvents
{
public:
    int start() override { return 0; }
};

} // namespace

class TestKeyboardWalk : public QObject
{
    Q_OBJECT

private:
    MainWindow *window = nullptr;
    ScriptedUserDialogs dialogs;
    std::shared_ptr<VirtualMeter> meter;

    QString focusName() const
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus ? focus->objectName() : QString();
    }
    DataTableView *table() const { return window->findChild<DataTableView *>(QStringLiteral("tableWidget_data")); }
    int rows() const { return window->recordsPage()->recordsModel().rowCount(); }
    // A row's first cells: name, illuminance and maximum tell the sample's records apart.
    QString firstCell(int row) const
    {
        const RecordsTableModel &model = window->recordsPage()->recordsModel();
        return model.cellText(row, 0) + QLatin1Char('|') + model.cellText(row, 1) + QLatin1Char('|')
               + model.cellText(row, 2);
    }

private Q_SLOTS:
    void initTestCase()
    {
        MeterImage image;
        QString error;
        QVERIFY2(MeterImage::fromFile(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/kind4.json"), image, error),
                 qPrintable(error));
        meter = std::make_shared<VirtualMeter>(image);
        window = MainWindow::instance();
        window->setTransportFactory([this] { return std::make_unique<VirtualMeterTransport>(meter); });
        window->setDeviceEvents(std::make_unique<QuietDeviceEvents>());
        window->setUserDialogs(dialogs);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTRY_VERIFY(window->isLinkOpen());
        window->findChild<QPushButton *>(QStringLiteral("pushButton_readRecords"))->click();
        QVERIFY2(dialogs.informationTexts().isEmpty(), qPrintable(dialogs.informationTexts().join(QLatin1Char('\n'))));
        QVERIFY(rows() > 3);
    }

    void cleanupTestCase() { MainWindow::destroyInstance(); }

    void tabReachesEveryControlAndLeavesTheTable()
    {
        table()->setFocus();
        QTRY_COMPARE(focusName(), QStringLiteral("tableWidget_data"));
        QStringList visited;
        for (int i = 0; i < 12; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << focusName();
        }
        for (const char *control : {"btnLanguageEn", "btnLanguageZh", "pushButton_readRecords", "pushButton_clearData",
                                    "pushButton_exportExcel", "pushButton_spectralData", "pushButton_history",
                                    "tableWidget_data"})
            QVERIFY2(visited.contains(QLatin1String(control)), qPrintable(visited.join(QLatin1Char(' '))));
        // Shift+Tab leaves the table backwards too.
        table()->setFocus();
        QTest::keyClick(table(), Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(focusName() != QLatin1String("tableWidget_data"));
    }

    void enterStartsNothing()
    {
        const int before = meter->requestsReceived();
        for (const char *control : {"pushButton_clearData", "tableWidget_data", "btnLanguageEn"}) {
            QWidget *widget = window->findChild<QWidget *>(QLatin1String(control));
            widget->setFocus();
            QTest::keyClick(widget, Qt::Key_Return);
            QTest::keyClick(widget, Qt::Key_Enter);
        }
        QCOMPARE(meter->requestsReceived(), before);
        QVERIFY(dialogs.questionTexts().isEmpty());
    }

    void deleteAndUndo_data()
    {
        QTest::addColumn<QList<int>>("selected");
        QTest::newRow("one row") << QList<int>{1};
        QTest::newRow("rows apart") << QList<int>{0, 2};
        QTest::newRow("last rows") << QList<int>{rows() - 2, rows() - 1};
    }

    void deleteAndUndo()
    {
        QFETCH(QList<int>, selected);
        QStringList before;
        for (int row = 0; row < rows(); ++row)
            before << firstCell(row);
        table()->setFocus();
        table()->clearSelection();
        for (const int row : selected)
            table()->selectionModel()->select(table()->model()->index(row, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QTest::keyClick(table(), Qt::Key_Delete);
        QStringList kept = before;
        for (auto row = selected.crbegin(); row != selected.crend(); ++row)
            kept.removeAt(*row);
        QStringList left;
        for (int row = 0; row < rows(); ++row)
            left << firstCell(row);
        QCOMPARE(left, kept);
        QTest::keyClick(table(), Qt::Key_Z, Qt::ControlModifier);
        QStringList after;
        for (int row = 0; row < rows(); ++row)
            after << firstCell(row);
        QCOMPARE(after, before);
        // Nothing more to undo: a second Ctrl+Z changes nothing.
        QTest::keyClick(table(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rows(), before.size());
    }

    void clearingForgetsDeletions()
    {
        table()->setFocus();
        table()->selectRow(0);
        QTest::keyClick(table(), Qt::Key_Delete);
        dialogs.setNextAnswer(true);
        window->findChild<QPushButton *>(QStringLiteral("pushButton_clearData"))->click();
        QCOMPARE(rows(), 0);
        QTest::keyClick(table(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rows(), 0);
        QVERIFY(!window->findChild<QPushButton *>(QStringLiteral("pushButton_exportExcel"))->isEnabled());
    }
};

QTEST_MAIN(TestKeyboardWalk)
#include "tst_keyboardwalk.moc"
