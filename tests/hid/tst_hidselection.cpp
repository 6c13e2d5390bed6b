// SPDX-License-Identifier: GPL-3.0-or-later
// Selection rules of the HID layer on plain enumeration lists.

#include "HidSelection.h"

#include <QtTest>

namespace {

// Interfaces written as "serial/interface/outcome", outcome O(pened), B(usy), D(enied) or F(ailed).
QList<HidProbe> probes(const QStringList &described)
{
    QList<HidProbe> list;
    int index = 0;
    for (const QString &item : described) {
        const QStringList parts = item.split(QLatin1Char('/'));
        HidProbe probe;
        probe.info.path = QStringLiteral("/dev/hidraw%1").arg(index++);
        probe.info.serial = parts.value(0);
        probe.info.interfaceNumber = parts.value(1).toInt();
        const QString outcome = parts.value(2, QStringLiteral("O"));
        probe.result = outcome == QLatin1String("O")   ? HidOpenResult::Opened
                       : outcome == QLatin1String("B") ? HidOpenResult::Busy
                       : outcome == QLatin1String("D") ? HidOpenResult::AccessDenied
                                                       : HidOpenResult::Failed;
        list.append(probe);
    }
    return list;
}

QList<HidInterfaceInfo> interfaces(const QList<HidProbe> &list)
{
    QList<HidInterfaceInfo> result;
    for (const HidProbe &probe : list)
        result.append(probe.info);
    return result;
}

} // namespace

class TestHidSelection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void listAndChoose_data();
    void listAndChoose();
    void memberIndexLimit();
    void countDevices_data();
    void countDevices();
    void walk_data();
    void walk();
    void withSerial_data();
    void withSerial();
};

void TestHidSelection::listAndChoose_data()
{
    QTest::addColumn<QStringList>("enumeration");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("chosen");

    QTest::newRow("no meter") << QStringList{} << 0 << QString();
    QTest::newRow("one meter") << QStringList{"12345/0/O"} << 1 << "12345";
    QTest::newRow("held elsewhere: serial not readable") << QStringList{"12345/0/B"} << 0 << QString();
    QTest::newRow("no access rights") << QStringList{"12345/0/D"} << 0 << QString();
    QTest::newRow("two meters: the last is chosen") << QStringList{"A1/0/O", "B2/0/O"} << 2 << "B2";
    QTest::newRow("unopenable one skipped") << QStringList{"A1/0/F", "B2/0/O"} << 1 << "B2";
    QTest::newRow("same serial twice counts once") << QStringList{"A1/0/O", "A1/1/O"} << 1 << "A1";
    QTest::newRow("seven meters fill six entries")
        << QStringList{"S1/0/O", "S2/0/O", "S3/0/O", "S4/0/O", "S5/0/O", "S6/0/O", "S7/0/O"} << 6 << "S6";
    QTest::newRow("no serial string") << QStringList{"/0/O"} << 1 << "SerNum 0";
    QTest::newRow("no serial, two interfaces of one composite meter") << QStringList{"/0/O", "/1/O"} << 1 << "SerNum 0";
    QTest::newRow("no serial, three interfaces") << QStringList{"/0/O", "/1/O", "/2/O"} << 1 << "SerNum 0";
    QTest::newRow("two meters without serial, two interfaces each")
        << QStringList{"/0/O", "/1/O", "/0/O", "/1/O"} << 2 << "SerNum 1";
}

void TestHidSelection::listAndChoose()
{
    QFETCH(QStringList, enumeration);
    QFETCH(int, count);
    QFETCH(QString, chosen);

    const SerialListing listing = HidSelection::listSerials(probes(enumeration));
    QCOMPARE(listing.count, count);
    QCOMPARE(listing.table.size(), SerialListing::TableSize);
    if (count > 0)
        QCOMPARE(HidSelection::chooseSerial(listing), chosen);
}

void TestHidSelection::memberIndexLimit()
{
    // Only the first 128 interfaces take part; a meter listed after them is never seen.
    QStringList enumeration;
    for (int i = 0; i < 128; ++i)
        enumeration << QStringLiteral("other%1/0/F").arg(i);
    enumeration << QStringLiteral("12345/0/O");
    const QList<HidProbe> list = probes(enumeration);
    QCOMPARE(HidSelection::listSerials(list).count, 0);
    QCOMPARE(HidSelection::countDevices(list, 1), 0);

    int opened = 0;
    const auto result = HidSelection::walk(
        interfaces(list), QStringLiteral("12345"), 1,
        [&](int) {
            ++opened;
            return HidOpenResult::Failed;
        },
        [](int) {});
    QCOMPARE(result.status, HidStatus::NotFound);
    QCOMPARE(opened, 128);
}

void TestHidSelection::countDevices_data()
{
    QTest::addColumn<QStringList>("enumeration");
    QTest::addColumn<int>("serialCount");
    QTest::addColumn<int>("expected");

    QTest::newRow("one openable") << QStringList{"A/0/O"} << 1 << 1;
    QTest::newRow("busy counts too") << QStringList{"A/0/O", "B/0/B"} << 1 << 2;
    QTest::newRow("denied and failed do not count") << QStringList{"A/0/D", "B/0/F", "C/0/O"} << 1 << 1;
    QTest::newRow("two interfaces per meter") << QStringList{"/0/O", "/1/O", "/0/O", "/1/O"} << 2 << 2;
    QTest::newRow("none found") << QStringList{"A/0/F"} << 1 << 0;
    QTest::newRow("no serial listed") << QStringList{"A/0/O"} << 0 << 0;
}

void TestHidSelection::countDevices()
{
    QFETCH(QStringList, enumeration);
    QFETCH(int, serialCount);
    QFETCH(int, expected);
    QCOMPARE(HidSelection::countDevices(probes(enumeration), serialCount), expected);
}

void TestHidSelection::walk_data()
{
    QTest::addColumn<QStringList>("enumeration");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<int>("wanted");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<int>>("released");

    const int ok = int(HidStatus::Ok);
    const int busy = int(HidStatus::Busy);
    const int notFound = int(HidStatus::NotFound);
    QTest::newRow("single meter") << QStringList{"A/0/O"} << "A" << 1 << ok << 0 << QList<int>{};
    QTest::newRow("other serial released") << QStringList{"B/0/O", "A/0/O"} << "A" << 1 << ok << 1 << QList<int>{0};
    QTest::newRow("second match wanted") << QStringList{"A/0/O", "A/1/O"} << "A" << 2 << ok << 1 << QList<int>{0};
    QTest::newRow("busy at the wanted position") << QStringList{"A/0/B"} << "A" << 1 << busy << -1 << QList<int>{};
    QTest::newRow("busy earlier advances the position")
        << QStringList{"X/0/B", "A/0/O"} << "A" << 2 << ok << 1 << QList<int>{};
    QTest::newRow("no match") << QStringList{"B/0/O"} << "A" << 1 << notFound << -1 << QList<int>{0};
    QTest::newRow("denied is passed over") << QStringList{"A/0/D", "A/0/O"} << "A" << 1 << ok << 1 << QList<int>{};
    QTest::newRow("empty serial never matches its listed name")
        << QStringList{"/0/O"} << "SerNum 0" << 1 << notFound << -1 << QList<int>{0};
    QTest::newRow("one digit: index among meters without serial")
        << QStringList{"/0/O", "/0/O"} << "1" << 1 << ok << 1 << QList<int>{0};
    QTest::newRow("one digit: equal serial string") << QStringList{"7/0/O"} << "7" << 1 << ok << 0 << QList<int>{};
}

void TestHidSelection::walk()
{
    QFETCH(QStringList, enumeration);
    QFETCH(QString, chosen);
    QFETCH(int, wanted);
    QFETCH(int, status);
    QFETCH(int, index);
    QFETCH(QList<int>, released);

    const QList<HidProbe> list = probes(enumeration);
    QList<int> closed;
    int openNow = -1;
    const auto result = HidSelection::walk(
        interfaces(list), chosen, wanted,
        [&](int i) {
            // Only one interface is open at a time.
            if (openNow >= 0)
                qFatal("interface %d still open when %d is opened", openNow, i);
            if (list.at(i).result == HidOpenResult::Opened)
                openNow = i;
            return list.at(i).result;
        },
        [&](int i) {
            QCOMPARE(i, openNow);
            closed.append(i);
            openNow = -1;
        });
    QCOMPARE(int(result.status), status);
    QCOMPARE(result.index, index);
    QCOMPARE(closed, released);
    QCOMPARE(openNow, index);
}

void TestHidSelection::withSerial_data()
{
    QTest::addColumn<QStringList>("enumeration");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QList<int>>("kept"); // member indexes

    QTest::newRow("two meters: the second named") << QStringList{"A1/0/O", "B2/0/O", "A1/1/O"} << "B2" << QList<int>{1};
    QTest::newRow("no serial string is listed as -") << QStringList{"A1/0/O", "/0/O"} << "-" << QList<int>{1};
}

void TestHidSelection::withSerial()
{
    QFETCH(QStringList, enumeration);
    QFETCH(QString, serial);
    QFETCH(QList<int>, kept);

    QList<int> found;
    for (const HidInterfaceInfo &info : HidSelection::withSerial(interfaces(probes(enumeration)), serial))
        found.append(info.path.mid(QStringLiteral("/dev/hidraw").size()).toInt());
    QCOMPARE(found, kept);
}

QTEST_GUILESS_MAIN(TestHidSelection)
#include "tst_hidselection.moc"
