// SPDX-License-Identifier: GPL-3.0-or-later
// What the window saves of a table: the difference between the table as the archive holds it and
// as the user left it, record by record and field by field.
#include "TableEdits.h"

#include <QtTest>

using TableEdits::RecordState;
using TableEdits::TableState;

namespace {

RecordEdit edit(qint64 record, std::optional<bool> deleted, std::optional<QString> name = {},
                std::optional<bool> ticked = {})
{
    RecordEdit made;
    made.record = record;
    made.deleted = deleted;
    made.name = std::move(name);
    made.ticked = ticked;
    return made;
}

const TableState saved{{0, {false, QStringLiteral("a"), true}},
                       {1, {false, QStringLiteral("b"), true}},
                       {2, {false, QStringLiteral("c"), false}}};

} // namespace

class TestTableEdits : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changes_data()
    {
        QTest::addColumn<TableState>("saved");
        QTest::addColumn<TableState>("shown"); // as the table reads now
        QTest::addColumn<QList<RecordEdit>>("edits");
        QTest::newRow("nothing changed") << saved << saved << QList<RecordEdit>{};
        TableState renamed = saved;
        renamed[1].name = QStringLiteral("lamp");
        QTest::newRow("one name") << saved << renamed << QList<RecordEdit>{edit(1, {}, QStringLiteral("lamp"))};
        TableState without = saved;
        without.remove(0);
        without.remove(2);
        QTest::newRow("rows gone are deleted") << saved << without << QList<RecordEdit>{edit(0, true), edit(2, true)};
        // A record deleted and saved comes back (an undo): only that it is back goes out.
        TableState deleted = saved;
        deleted[1].deleted = true;
        QTest::newRow("brought back") << deleted << saved << QList<RecordEdit>{edit(1, false)};
        TableState ticked = saved;
        ticked[2].ticked = true;
        ticked[0].ticked = false;
        QTest::newRow("ticks") << saved << ticked << QList<RecordEdit>{edit(0, {}, {}, false), edit(2, {}, {}, true)};
        // Rows of another download (appended after) are no concern of this one's.
        TableState more = saved;
        more.insert(7, {false, QStringLiteral("x"), true});
        QTest::newRow("records unknown to the entry") << saved << more << QList<RecordEdit>{};
        TableState both = without;
        both[1].name = QString();
        QTest::newRow("deleted and renamed")
            << saved << both << QList<RecordEdit>{edit(0, true), edit(1, {}, QString()), edit(2, true)};
    }

    void changes()
    {
        QFETCH(TableState, saved);
        QFETCH(TableState, shown);
        QFETCH(QList<RecordEdit>, edits);
        const TableState now = TableEdits::follow(saved, shown);
        QCOMPARE(TableEdits::changes(saved, now), edits);
        // Once saved, the same table has nothing more to save.
        QCOMPARE(TableEdits::changes(now, TableEdits::follow(now, shown)), QList<RecordEdit>{});
    }
};

QTEST_GUILESS_MAIN(TestTableEdits)
#include "tst_tableedits.moc"
