// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadTables.h"
#include "RecordField.h"

class JsonWriter;

// A download as one JSON document for scripts (docs/json-format.md describes it): the meter, when
// it was downloaded, the archive id where it was archived, the columns of the table with their
// keys, units, decimals and titles, and one object per record with its number, its name where
// the kind has names, and each column's value as a number, or null with a marker naming why.
// Keys never depend on the language; only the titles do. The records are decoded a batch at a
// time through the same models as the tables, so that a download of any length needs no more
// memory than a batch.
class DownloadDocument
{
public:
    // archiveId: 0 when the download was not archived.
    DownloadDocument(DownloadTables &tables, bool chinese, qint64 archiveId);

    // Writes the document of count records, read through batchOf. False, with the reason, when a
    // batch cannot be had or the writer failed.
    bool write(JsonWriter &json, qint64 count, const DownloadTables::BatchOf &batchOf, QString &reason);

    // The names of the value markers in a document.
    static QString markerName(ValueMarker marker);
    // The local time with its offset from UTC, in ISO 8601 ("2026-03-01T14:05:09+08:00").
    static QString isoTime(const QDateTime &time);
    // What the user wrote about a download, as the object "notes" of a download or a listing:
    // title, location, operator and note, each a text (empty when not written).
    static void writeNotes(JsonWriter &json, const DownloadNotes &notes);

private:
    struct Column
    {
        QString key;
        QString unit;
        int decimals;
        QString title;
    };

    QList<Column> columns() const;
    void writeMeter(JsonWriter &json) const;
    void writeRecords(JsonWriter &json, qint64 first) const;
    void writeSpectra(JsonWriter &json, qint64 first) const;
    void writeColours(JsonWriter &json, qint64 first) const;

    DownloadTables &tables;
    const bool chinese;
    const qint64 archiveId;
};
