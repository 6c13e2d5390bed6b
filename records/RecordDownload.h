#pragma once

#include "RecordMessages.h"

#include <QByteArray>
#include <QList>
#include <functional>
#include <optional>

class MeterProtocol;

// The meter side of a record download, shared by the records page, the spectral page and the
// command line: unit slots, mode, record count, then the record memory (and, for kinds 4 and 6,
// the name memory) in 256-byte chunks. Nothing is decoded here; a caller decodes only after
// run() returned Downloaded, so a failed transfer never yields partial records.
class RecordDownload
{
public:
    // Which kinds a download serves: the records table takes kinds 1 to 6, the spectral table
    // kinds 1 to 5.
    enum Purpose {
        Records,
        Spectra
    };

    enum Result {
        Downloaded,
        UnitNumbersFailed,
        ModeFailed,
        RecordCountFailed, // also a count that cannot be real (its areas would not fit)
        NoRecords,         // count 0 or less: nothing read, nothing to say
        UnsupportedKind,   // kind outside the purpose's range: nothing read, nothing to say
        RecordDataFailed,
        RecordNameFailed
    };

    struct Callbacks
    {
        // After the unit slots and the mode were read, before the record count: the caller
        // rebuilds its columns.
        std::function<void()> slotsRead;
        // Before the first chunk, with the number of chunks of both areas.
        std::function<void(int chunks)> transferStarting;
        // After each successful chunk, with the running chunk counter (0 for the first chunk).
        std::function<void(int chunkCounter)> chunkRead;
    };

    RecordDownload(MeterProtocol &protocol, Purpose purpose);

    // Runs the download for the meter kind; the unit slots are emptied and read again, and the
    // mode is read for kinds 1 and 4.
    Result run(int uiIndex, int &mode, QList<int> &unitSlots, const Callbacks &callbacks);

    static bool readsNames(int uiIndex) { return uiIndex == 4 || uiIndex == 6; }
    static quint8 readCommand(int uiIndex);

    // The record count the meter reported (0 before it was read).
    qint64 recordCount() const { return count; }
    const QByteArray &recordMemory() const { return records; }
    const QByteArray &nameMemory() const { return names; }

    // The message shown for a result; nullopt where the download ends silently.
    static std::optional<RecordMessages::Message> message(Result result);

private:
    MeterProtocol &protocol;
    Purpose purpose;
    qint64 count = 0;
    QByteArray records;
    QByteArray names;
};
