// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TextCatalogue.h"

#include <QList>

// One measurement column of the records table: the record word it shows, the unit slot whose
// unit titles and formats it, its title, and the key that names it in documents for scripts
// (lower-case English, the same in every language, never changed once published).
struct MeterColumn
{
    // A word of ProbeWord is the probe field: word 0 read as an unsigned probe number.
    static constexpr int ProbeWord = -1;

    int word;
    int slot;
    Text title;
    const char *key;
};

// Everything that tells one meter kind (uiIndex 1..6) from another: which requests its download
// makes, which columns its records table shows and where its spectrum lies in a record. Every
// code path that depends on the kind reads it from here.
struct MeterKind
{
    int uiIndex;
    bool hasMode;      // a mode request exists; mode 1 selects the PPFD columns and spectrum
    bool readsNames;   // the download reads the name memory (with the alternative read command)
    bool nameColumn;   // the records table starts with the record's name
    bool hasSpectra;   // the spectral page serves this kind
    bool markerCheck;  // record words are checked for the value markers
    bool spectralName; // the spectral table shows the record's name after the row number
    // The mode request of kinds with a mode: the read command byte and the address of the mode word.
    quint8 modeCommand;
    quint32 modeAddress;
    QList<MeterColumn> standardColumns;
    QList<MeterColumn> ppfdColumns; // empty for kinds without a mode

    bool isPpfd(int mode) const { return hasMode && mode == 1; }
    // The measurement columns in the given mode (only mode 1 of kinds with a mode is told apart).
    const QList<MeterColumn> &columns(int mode) const { return isPpfd(mode) ? ppfdColumns : standardColumns; }
    // Byte offset of the 31 spectral values in a record.
    int spectralOffset(int mode) const { return isPpfd(mode) ? 0 : 60; }

    // The kind with this uiIndex; nullptr outside 1..6.
    static const MeterKind *find(int uiIndex);
    // The lowest and highest uiIndex.
    static constexpr int First = 1;
    static constexpr int Last = 6;
};
