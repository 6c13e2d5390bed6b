// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveRows.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

const QStringList &columnNames()
{
    static const QStringList names{
        QStringLiteral("downloaded_utc"), QStringLiteral("host"),         QStringLiteral("program_version"),
        QStringLiteral("serial"),         QStringLiteral("model_code"),   QStringLiteral("firmware"),
        QStringLiteral("key_marker"),     QStringLiteral("key_extra"),    QStringLiteral("meter_date"),
        QStringLiteral("purpose"),        QStringLiteral("kind"),         QStringLiteral("mode"),
        QStringLiteral("unit_slots"),     QStringLiteral("record_count"), QStringLiteral("catalogs"),
        QStringLiteral("titles"),
    };
    return names;
}

// Unit slots as a JSON array of numbers, "[3,1,2]", readable in the database as it is.
QString slotsText(const QList<int> &unitSlots)
{
    QStringList numbers;
    numbers.reserve(unitSlots.size());
    for (const int slot : unitSlots)
        numbers << QString::number(slot);
    return QLatin1Char('[') + numbers.join(QLatin1Char(',')) + QLatin1Char(']');
}

QList<int> slotsFrom(const QString &text)
{
    QList<int> unitSlots;
    const QString inner = text.mid(1, text.size() - 2);
    if (inner.isEmpty())
        return unitSlots;
    for (const QStringView number : QStringView(inner).split(QLatin1Char(',')))
        unitSlots << number.toInt();
    return unitSlots;
}

} // namespace

QString ArchiveRows::columns()
{
    return columnNames().join(QStringLiteral(", "));
}

QString ArchiveRows::placeholders()
{
    QStringList marks;
    marks.fill(QStringLiteral("?"), columnNames().size());
    return marks.join(QStringLiteral(", "));
}

void ArchiveRows::bind(QSqlQuery &query, const ArchiveEntry &entry)
{
    const KeyInfo &key = entry.keyInfo;
    query.addBindValue(entry.downloadedUtc.toMSecsSinceEpoch());
    query.addBindValue(entry.hostName);
    query.addBindValue(entry.programVersion);
    query.addBindValue(qint32(key.serialNo)); // as the window shows it, and as filters give it
    query.addBindValue(qint64(key.modelCode));
    query.addBindValue(int(key.firmwareVersion));
    query.addBindValue(int(key.marker));
    query.addBindValue(int(key.extraWord));
    query.addBindValue(key.date.isValid() ? key.date.toString(Qt::ISODate) : QString(QLatin1String("")));
    query.addBindValue(int(entry.table));
    query.addBindValue(entry.uiIndex);
    query.addBindValue(entry.mode);
    query.addBindValue(slotsText(entry.unitSlots));
    query.addBindValue(entry.recordCount);
    query.addBindValue(QString::fromUtf8(entry.catalogs));
    query.addBindValue(QString::fromUtf8(entry.titles));
}

ArchiveEntry ArchiveRows::read(const QSqlQuery &query)
{
    ArchiveEntry entry;
    entry.id = query.value(0).toLongLong();
    entry.downloadedUtc = QDateTime::fromMSecsSinceEpoch(query.value(1).toLongLong(), Qt::UTC);
    entry.hostName = query.value(2).toString();
    entry.programVersion = query.value(3).toString();
    entry.keyInfo.serialNo = quint32(query.value(4).toInt());
    entry.keyInfo.modelCode = quint32(query.value(5).toLongLong());
    entry.keyInfo.firmwareVersion = quint16(query.value(6).toInt());
    entry.keyInfo.marker = quint8(query.value(7).toInt());
    entry.keyInfo.extraWord = quint16(query.value(8).toInt());
    entry.keyInfo.date = QDate::fromString(query.value(9).toString(), Qt::ISODate);
    entry.table = ArchivedTable(query.value(10).toInt());
    entry.uiIndex = query.value(11).toInt();
    entry.mode = query.value(12).toInt();
    entry.unitSlots = slotsFrom(query.value(13).toString());
    entry.recordCount = query.value(14).toLongLong();
    entry.catalogs = query.value(15).toString().toUtf8();
    entry.titles = query.value(16).toString().toUtf8();
    return entry;
}

QString ArchiveRows::notesColumns()
{
    QStringList columns;
    for (const NoteField field : {NoteField::Title, NoteField::Location, NoteField::Operator, NoteField::Text})
        columns << QStringLiteral("(SELECT value FROM download_notes WHERE download_notes.download_id = downloads.id "
                                  "AND field = %1)")
                       .arg(int(field));
    columns << QStringLiteral("EXISTS (SELECT 1 FROM record_edits WHERE record_edits.download_id = downloads.id)");
    return columns.join(QStringLiteral(", "));
}

void ArchiveRows::readNotes(const QSqlQuery &query, ArchiveEntry &entry)
{
    const int first = 1 + int(columnNames().size()); // after the id and the row
    entry.notes.title = query.value(first).toString();
    entry.notes.location = query.value(first + 1).toString();
    entry.notes.operatorName = query.value(first + 2).toString();
    entry.notes.text = query.value(first + 3).toString();
    entry.edited = query.value(first + 4).toBool();
}
