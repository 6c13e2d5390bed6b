// SPDX-License-Identifier: GPL-3.0-or-later
// The hidapi transport's own decisions that run without a meter attached.

#include "HidapiTransport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

class TestHidapiTransport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openErrors_data();
    void openErrors();
    void missingNode();
    void nothingOpen();
};

void TestHidapiTransport::openErrors_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("result");

    QTest::newRow("EACCES: missing udev rule") << EACCES << int(HidOpenResult::AccessDenied);
    QTest::newRow("EPERM") << EPERM << int(HidOpenResult::AccessDenied);
    QTest::newRow("EBUSY") << EBUSY << int(HidOpenResult::Busy);
    QTest::newRow("ENOENT: unplugged") << ENOENT << int(HidOpenResult::Failed);
    QTest::newRow("ENODEV") << ENODEV << int(HidOpenResult::Failed);
}

void TestHidapiTransport::openErrors()
{
    QFETCH(int, error);
    QFETCH(int, result);
    QCOMPARE(int(HidapiTransport::openResultFromErrno(error)), result);
}

void TestHidapiTransport::missingNode()
{
    QTemporaryDir dir;
    HidapiTransport transport;
    QCOMPARE(transport.open(dir.filePath(QStringLiteral("hidraw99"))), HidOpenResult::Failed);
    QVERIFY(!transport.isOpen());
}

void TestHidapiTransport::nothingOpen()
{
    HidapiTransport transport;
    quint8 report[64] = {0x3F, 1, 0xAB};
    QCOMPARE(transport.writeReport(report, 64, 50), -1);
    QCOMPARE(transport.readReport(report, 64, 0), -1);
    QVERIFY(transport.isDeviceGone());
    transport.close(); // closing twice is harmless
    QVERIFY(!transport.isOpen());
}

QTEST_GUILESS_MAIN(TestHidapiTransport)
#include "tst_hidapitransport.moc"
