// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"
#include "DownloadPurpose.h"
#include "KeyInfo.h"
#include "MeterState.h"
#include "TextCatalogue.h"

#include <QByteArray>
#include <functional>
#include <optional>

class DownloadProgress;
class MeterProtocol;
class QIODevice;

// The conversations with a meter that the records page, the spectral page and the command line
// hold: identification, reading the unit slots and the mode, and the download of the record
// memory (and, for kinds that have names, the name memory) in 256-byte chunks. Each stops at the
// first failure and returns a result that maps to the message the user sees. Nothing is decoded
// here; a caller decodes only after a download returned Done, so a failed transfer never yields
// partial records.
class MeterFlow
{
public:
    enum Result {
        Done,
        KeyInfoFailed,
        VersionTooLow,
        MeterMismatch,
        UnitNumbersFailed,
        ModeFailed,
        RecordCountFailed, // also a count that cannot be real (its areas would not fit)
        NoRecords,         // count 0: nothing read, nothing to say
        UnsupportedKind,   // kind outside the purpose's range: nothing read, nothing to say
        RecordDataFailed,
        RecordNameFailed,
        Cancelled,    // the user cancelled in the progress: nothing more read, nothing to say
        CountRefused, // the caller's count check refused the count: nothing read, the caller says why
        SinkFailed    // a sink took less than a chunk: nothing more read, its errorString() says why
    };

    using Purpose = DownloadPurpose::Purpose;
    static constexpr Purpose Records = DownloadPurpose::Records;
    static constexpr Purpose Spectra = DownloadPurpose::Spectra;

    // The memory a download read, as the meter sent it.
    struct Download
    {
        qint64 count = 0; // the record count the meter reported
        QByteArray records;
        QByteArray names;
    };

    // What identification makes of a meter catalog that cannot identify a meter (missing, empty,
    // or without a row of three whole numbers, CatalogLoader::meterCatalogUsable).
    enum UnusableCatalog {
        EmptyCatalogChecksNothing, // the window: an empty catalog checks nothing, keeps the current kind
        UnusableCatalogMismatches  // the command line: the meter is not found in it (MeterMismatch)
    };

    MeterFlow(MeterProtocol &protocol, MeterState &state);

    // Key information, the meter catalog's kind and lowest firmware version for the model code,
    // then the unit slots and the mode. What was learnt before a failure stays: keyInfo as soon as
    // it was read (any result but KeyInfoFailed), the kind once a catalog row matched, the slots
    // emptied before they are read. An unusable catalog is handled as unusableCatalog says.
    Result identify(const MeterCatalog &meterCatalog, KeyInfo &keyInfo,
                    UnusableCatalog unusableCatalog = EmptyCatalogChecksNothing);

    // The unit slots (emptied, then read), then the mode for kinds that have one.
    Result readSlotsAndMode();

    // The unit slots and the mode, then slotsRead (the caller rebuilds its columns), the record
    // count and both memory areas. out is filled only when the result is Done. A cancel that the
    // progress reports ends the download once the chunk in flight arrived, with Cancelled.
    Result download(Purpose purpose, Download &out, DownloadProgress *progress,
                    const std::function<void()> &slotsRead = {});

    // Asked with the record count once it is known to be real, before any memory is read; false
    // ends the download there with CountRefused.
    using CountCheck = std::function<bool(qint64 count)>;

    // The same download, writing the record area to records and the name area to names (kinds
    // that have names) chunk by chunk as they arrive, so that the memory is never held whole.
    // count is set when the result is Done; what reached the sinks before any other result is no
    // download.
    Result download(Purpose purpose, QIODevice &records, QIODevice &names, qint64 &count, DownloadProgress *progress,
                    const std::function<void()> &slotsRead = {}, const CountCheck &countCheck = {});

    // The message shown for a result; nullopt where the flow ends without a word.
    static std::optional<Text> message(Result result);

    // The serial number as a signed 32-bit decimal ("-1" for FF FF FF FF).
    static QString serialText(const KeyInfo &keyInfo);
    // The firmware version in hundredths as a number with 2 decimals (102 gives "1.02").
    static QString firmwareText(const KeyInfo &keyInfo);

private:
    MeterProtocol &protocol;
    MeterState &state;
};
