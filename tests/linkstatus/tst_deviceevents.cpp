// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibudevDeviceEvents.h"
#include "VirtualMeterOption.h"

#include <QTemporaryDir>
#include <QtTest>

class TestDeviceEvents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void udevActions_data();
    void udevActions();
    void monitorStartsOrSaysWhy();
    void option_data();
    void option();
    void demoMeterIsPluggedIn();
    void badImageIsRefused_data();
    void badImageIsRefused();
};

void TestDeviceEvents::udevActions_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<int>("event");

    QTest::newRow("add") << QByteArray("add") << int(DeviceEvents::Arrival);
    QTest::newRow("remove") << QByteArray("remove") << int(DeviceEvents::RemoveComplete);
    QTest::newRow("change") << QByteArray("change") << int(DeviceEvents::TypeSpecific);
    QTest::newRow("bind") << QByteArray("bind") << int(DeviceEvents::Other);
    QTest::newRow("unbind") << QByteArray("unbind") << int(DeviceEvents::Other);
    QTest::newRow("prefix of add") << QByteArray("ad") << int(DeviceEvents::Other);
    QTest::newRow("none") << QByteArray() << int(DeviceEvents::Other);
}

void TestDeviceEvents::udevActions()
{
    QFETCH(QByteArray, action);
    QFETCH(int, event);
    QCOMPARE(int(LibudevDeviceEvents::eventForAction(action.isNull() ? nullptr : action.constData())), event);
}

void TestDeviceEvents::monitorStartsOrSaysWhy()
{
    // In a container the netlink socket may be refused; either way the answer is a count of
    // classes that could not be registered, and starting twice does not leak the first monitor.
    LibudevDeviceEvents events;
    const int failed = events.start();
    QVERIFY(failed == 0 || failed == DeviceEvents::classCount);
    QCOMPARE(events.start(), failed);
    const QByteArray source = LibudevDeviceEvents::netlinkSource();
    QVERIFY(source == "udev" || source == "kernel");
}

void TestDeviceEvents::option_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("requested");
    QTest::addColumn<QString>("image");

    const QString defaultImage = VirtualMeterOption::defaultImage();
    QTest::newRow("plain program") << QStringList{"lumivane"} << false << "";
    QTest::newRow("default image") << QStringList{"lumivane", "--virtual-meter"} << true << defaultImage;
    QTest::newRow("given image") << QStringList{"lumivane", "--virtual-meter=/tmp/m.json"} << true << "/tmp/m.json";
    QTest::newRow("other options around")
        << QStringList{"lumivane", "-style", "fusion", "--virtual-meter=a b.json"} << true << "a b.json";
    QTest::newRow("near miss") << QStringList{"lumivane", "--virtual-meters"} << false << "";
}

void TestDeviceEvents::option()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, requested);
    QFETCH(QString, image);

    QString path;
    QCOMPARE(VirtualMeterOption::requested(arguments, path), requested);
    QCOMPARE(path, image);
}

void TestDeviceEvents::demoMeterIsPluggedIn()
{
    // The build places the samples beside the program, so the default kind-1 meter is found.
    const QString image = VirtualMeterOption::defaultImage();
    QVERIFY(image.endsWith(QStringLiteral("/meters/kind1.json")));
    TransportFactory factory;
    QString error;
    QVERIFY2(VirtualMeterOption::makeFactory(image, factory, error), qPrintable(error));
    auto first = factory();
    auto second = factory();
    QVERIFY(first && second);
    const QList<HidInterfaceInfo> found = first->enumerate(0x2047, 0x0301);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().serial, QStringLiteral("10010001"));
    QCOMPARE(second->enumerate(0x2047, 0x0301).first().path, found.first().path);
    QCOMPARE(first->open(found.first().path), HidOpenResult::Opened);
}

void TestDeviceEvents::badImageIsRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("missing file") << QByteArray() << "missing.json";
    QTest::newRow("unknown key") << QByteArray(R"({"modelCode": 1, "unitSlots": [], "colour": 1})") << "colour";
}

void TestDeviceEvents::badImageIsRefused()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, errorPart);

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("missing.json"));
    if (!content.isNull()) {
        path = dir.filePath(QStringLiteral("bad.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    TransportFactory factory;
    QString error;
    QVERIFY(!VirtualMeterOption::makeFactory(path, factory, error));
    QVERIFY2(error.contains(errorPart), qPrintable(error));
    QVERIFY(!factory);
    QVERIFY(!VirtualMeterOption::makeFactory(QString(), factory, error));
    QVERIFY(error.contains(QStringLiteral("--virtual-meter=IMAGE")));
}

QTEST_MAIN(TestDeviceEvents)
#include "tst_deviceevents.moc"
