// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <vector>

// The workbook's shared string table (SST): every text cell refers to one of its strings by index.
//
// The table is kept as the payloads of the SST record and its CONTINUE records ("chunks"), exactly
// as they will be written. Strings loaded from a template keep their bytes (rich-text runs and
// phonetic blocks included); new strings are appended after them, so every existing index stays
// valid. A string's header and first character never straddle a record boundary, a continued
// string repeats its 8/16-bit flag at the start of the next record, and 16-bit text never breaks
// a surrogate pair across records (readers decode each piece on its own).
class SharedStringTable
{
public:
    SharedStringTable();

    // Takes the payloads of an SST record and the CONTINUE records that follow it. Fails on a table
    // whose strings do not fit its records or whose string count does not match its content.
    bool load(const QVector<QByteArray> &chunks, QString *error);

    // Index of a plain string with this text, appending it when the table does not hold one yet.
    quint32 indexOf(const QString &text) { return indexOf(text, hashOf(text)); }
    // The same for several texts at once: their lookups overlap in memory, which matters for the
    // million mostly unique texts of a full sheet.
    void indexesOf(const QString *const *texts, int count, quint32 *indexes);
    // Makes room for this many more strings, so that a large table is not rehashed while it grows.
    void reserve(qsizetype moreStrings);

    quint32 uniqueCount() const { return quint32(texts.size()); }
    // Number of LABELSST cells that referred to the table when it was loaded; only informative.
    quint32 loadedTotalCount() const { return total; }

    QString text(quint32 index) const { return texts.at(index); }
    // Whether string `index` carries rich-text runs or phonetic data.
    bool isFormatted(quint32 index) const { return formatted.at(index); }
    const QVector<QByteArray> &chunks() const { return recordData; }

    // Appends the SST and CONTINUE records to the workbook stream `out`, declaring `totalCount`
    // LABELSST cells, and returns the payload of the matching EXTSST record.
    QByteArray appendRecords(QByteArray &out, quint32 totalCount) const;

    // Strings per EXTSST bucket for a table of `unique` strings.
    static int bucketSize(quint32 unique) { return qMax<int>(int(unique / 128 + 1), 8); }

private:
    static quint32 packPosition(int chunk, int offset) { return (quint32(chunk) << 14) | quint32(offset); }
    void startChunk(bool withFlag, bool highByte);
    void appendString(const QString &text);
    // Open-addressing index of the plain strings: each slot holds a text's 32-bit hash and its
    // index + 1 (0 = free), so a lookup touches one slot and compares texts only on a hash match.
    static quint32 hashOf(const QString &text);
    quint32 indexOf(const QString &text, quint32 hash);
    qint64 findPlain(const QString &text, quint32 hash) const;
    void insertPlain(quint32 hash, quint32 index);
    void growIndex(size_t minimumSlots);

    QVector<QByteArray> recordData;
    QVector<QString> texts;
    std::vector<bool> formatted;
    // Where each string's header starts: chunk index << 14 | offset in the chunk's payload.
    std::vector<quint32> positions;
    std::vector<quint64> indexSlots;
    size_t plainCount = 0;
    quint32 total = 0;
};
