// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DownloadNotes.h"
#include "DownloadPurpose.h"
#include "KeyInfo.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// Which table a command wrote from a download, as the archive keeps it (its purpose column): a
// records download fills the records table, a spectral download the spectral table or the colour
// table of its spectra. An archive damaged by hand may hold any other number.
enum class ArchivedTable : int {
    Records = 0,
    Spectra = 1,
    Colours = 2
};

// The download that fills the table (nullopt for a number that names no table).
inline std::optional<DownloadPurpose::Purpose> purposeOf(ArchivedTable table)
{
    switch (table) {
    case ArchivedTable::Records:
        return DownloadPurpose::Records;
    case ArchivedTable::Spectra:
    case ArchivedTable::Colours:
        return DownloadPurpose::Spectra;
    }
    return std::nullopt;
}

// What the user wrote about a download. Each field is kept on its own, so that two stations
// editing different fields of the same download both keep their change.
using ArchiveNotes = DownloadNotes;

// The fields of the notes, as setNotes() names the ones it changes. The numbers are kept in the
// archive: never change them, only add.
enum class NoteField : int {
    Title = 0,
    Location = 1,
    Operator = 2,
    Text = 3
};

// The user's change to one record of a download, by the record's index in the download (0-based,
// as the meter gave it). A field left nullopt is not changed by saving the edit.
struct RecordEdit
{
    qint64 record = 0;
    std::optional<bool> deleted;
    std::optional<QString> name; // the name typed in the window, in place of the meter's name
    std::optional<bool> ticked;  // the record's curve shown (spectral tables)

    bool operator==(const RecordEdit &other) const
    {
        return record == other.record && deleted == other.deleted && name == other.name && ticked == other.ticked;
    }
    bool operator!=(const RecordEdit &other) const { return !(*this == other); }
};

// One download as the archive keeps it, without its memory and decoded records (which can be
// large and go in and out in parts).
struct ArchiveEntry
{
    qint64 id = 0;           // given by the archive when the download is stored
    QDateTime downloadedUtc; // invalid: the time begin() is called
    QString hostName;
    QString programVersion;
    KeyInfo keyInfo;
    ArchivedTable table = ArchivedTable::Records;
    int uiIndex = 1;
    int mode = 0;
    QList<int> unitSlots;
    qint64 recordCount = 0;
    // The catalog rows the download was decoded with (JSON), so that it can be decoded again
    // exactly as it was, whatever the catalog files say later.
    QByteArray catalogs;
    // The titles of the decoded values (JSON array of texts), one per value of a decoded record.
    QByteArray titles;
    // What the user wrote about it, and whether any of its records was edited (a name typed, a
    // row deleted, a curve ticked or not): the records themselves stay as the meter gave them.
    ArchiveNotes notes{};
    bool edited = false;
};

// The two memory areas a download reads.
enum class ArchiveArea {
    Records = 0,
    Names = 1
};

// How much of a memory area the archive holds for a download: its bytes, and whether its chunks
// are all there (numbered from 0 without a gap, each but the last a whole chunk).
struct ArchivedMemory
{
    qint64 bytes = 0;
    bool whole = true;
};

// Which downloads a listing shows: all by default; a serial number (as the window shows it, a
// signed 32-bit number), a time range (UTC, both ends included, either end open) and a text
// narrow it. The text matches any part of the title, location, operator or note text, in any case.
struct ArchiveFilter
{
    std::optional<qint32> serial;
    QDateTime sinceUtc; // invalid: no lower bound
    QDateTime untilUtc; // invalid: no upper bound
    QString text;       // empty: any notes
};
