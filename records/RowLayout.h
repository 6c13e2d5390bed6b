#pragma once

#include <QList>

// Where the shown values of a 196-byte record lie, per meter kind and measuring mode, and how a
// row of the records table is laid out for them. Record words are 32-bit, word k at byte 4·k.
struct RowLayout
{
    enum Id {
        Kind1Standard,
        Kind1Ppfd,
        Kind2,
        Kind3,
        Kind4Standard,
        Kind4Ppfd,
        Kind5,
        Kind6
    };

    // A word index of ProbeWord means the probe field (word 0 as an unsigned probe number).
    static constexpr int ProbeWord = -1;

    Id id;
    const char *name; // "1A", "1B", "2", ... as the layouts are known in the team
    int uiIndex;      // the kind whose decimals list formats the fields
    bool nameColumn;  // column 0 holds the record name
    bool markerCheck; // words are compared with the value markers before use
    QList<int> words; // record words in column order

    int fieldCount() const { return int(words.size()); }
    // The decimals list of uiIndex must hold at least this many entries for a row to be added.
    int leastDecimals() const { return fieldCount(); }
    int firstMeasurementColumn() const { return nameColumn ? 1 : 0; }
    int deleteButtonColumn() const { return firstMeasurementColumn() + fieldCount(); }

    // The layout of a kind and mode; nullptr for a kind outside 1 to 6. Only mode 1 (PPFD) is
    // distinguished, and only for kinds 1 and 4.
    static const RowLayout *forKind(int uiIndex, int mode);
};
