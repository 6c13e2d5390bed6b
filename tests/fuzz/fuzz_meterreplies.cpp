// SPDX-License-Identifier: GPL-3.0-or-later
// The meter's replies as fuzz input, through the real report framing (libHidDevice), the link
// (CLinkerUSB), the transactions and commands (MeterProtocol) and MeterFlow's identification and
// download, then into the two tables.
//
// Input: byte 0 the set-up (bits 0-2 the kind before identification, bit 3 the spectral purpose,
// bits 4-5 the flow: identify, identify and download, download alone, or identify and download
// with a while-waiting hook; bit 6 an empty meter catalog; bit 7 the command line's way: an
// unusable catalog mismatches, and the download streams into sinks behind a count check), byte 1
// the chunk after which the progress cancels (0: never), then one reply per request: a report
// count k and k reports of 64 bytes as the meter sends them (the input's last report may be
// shorter).

#include "CLinkerUSB.h"
#include "CatalogLoader.h"
#include "ColumnModel.h"
#include "DownloadProgress.h"
#include "ExportTable.h"
#include "FuzzSupport.h"
#include "HidReportTransport.h"
#include "MeterFlow.h"
#include "MeterKind.h"
#include "MeterProtocol.h"
#include "MeterTransactions.h"
#include "RecordsTableModel.h"
#include "SpectralTableModel.h"

#include <QBuffer>

#include <algorithm>
#include <cstring>

namespace {

// The meter as the input plays it: each request (output report) makes the next reply readable.
// A report starting with 0xFF is a pause (readReport returns 0). Past the end of a reply the first
// read returns 0, as a time-out does; later ones return -1, because the link would otherwise spin
// on empty reads until its fixed reply time-out (up to 6 s) has passed. With no reply left, a
// request fails as to a meter that was unplugged.
class ScriptedTransport final : public HidReportTransport
{
public:
    explicit ScriptedTransport(FuzzSupport::Reader &input) : input(input) {}

    QList<HidInterfaceInfo> enumerate(quint16 vendorId, quint16 productId) override
    {
        if (vendorId != MeterFacts::VendorId || productId != MeterFacts::ProductId)
            return {};
        return {HidInterfaceInfo{QStringLiteral("fuzz:0"), QStringLiteral("F0001"), 0}};
    }
    HidOpenResult open(const QString &path) override
    {
        opened = path == QLatin1String("fuzz:0");
        return opened ? HidOpenResult::Opened : HidOpenResult::Failed;
    }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    int writeReport(const quint8 *report, int length, int) override
    {
        // libHidDevice's framing: 64 bytes, the report ID, a count of 1 to 62.
        FUZZ_CHECK(length == ReportLength && report[0] == MeterFacts::ReportId && report[1] >= 1
                   && report[1] <= MeterFacts::MaxPayload);
        if (!opened || input.remaining() == 0)
            return -1;
        reply = input.bytes(size_t(input.byte()) * ReportLength);
        at = 0;
        idleSeen = false;
        return length;
    }
    int readReport(quint8 *buffer, int capacity, int) override
    {
        FUZZ_CHECK(capacity >= ReportLength);
        if (!opened)
            return -1;
        if (at >= reply.size()) {
            if (idleSeen)
                return -1;
            idleSeen = true;
            return 0;
        }
        const int length = int(qMin<qsizetype>(ReportLength, reply.size() - at));
        const char *report = reply.constData() + at;
        at += length;
        if (quint8(report[0]) == 0xFF)
            return 0;
        std::memcpy(buffer, report, size_t(length));
        return length;
    }
    bool isDeviceGone() const override { return !opened; }
    bool isSharedDevice() const override { return false; }

private:
    FuzzSupport::Reader &input;
    QByteArray reply;
    qsizetype at = 0;
    bool opened = false;
    bool idleSeen = false;
};

class CountingProgress final : public DownloadProgress
{
public:
    void start(int chunks) override
    {
        ++starts;
        announced = chunks;
    }
    void chunkRead(int chunkCounter) override
    {
        FUZZ_CHECK(chunkCounter == chunks);
        ++chunks;
    }
    bool cancelled() const override { return cancelAfter > 0 && chunks >= cancelAfter; }

    int starts = 0;
    int announced = 0;
    int chunks = 0;
    int cancelAfter = 0;
};

MeterCatalog meterCatalog;
UnitCatalog unitCatalog;
ProbeNames probeNames;

bool isIdentifyResult(MeterFlow::Result r)
{
    return r == MeterFlow::Done || r == MeterFlow::KeyInfoFailed || r == MeterFlow::VersionTooLow
           || r == MeterFlow::MeterMismatch || r == MeterFlow::UnitNumbersFailed || r == MeterFlow::ModeFailed;
}

// The failures that the user is told about.
bool saysWhy(MeterFlow::Result r)
{
    return isIdentifyResult(r) ? r != MeterFlow::Done
                               : r == MeterFlow::RecordCountFailed || r == MeterFlow::RecordDataFailed
                                     || r == MeterFlow::RecordNameFailed;
}

// The download into memory, or streamed into two buffers behind a count check that refuses
// counts whose records the input could not carry.
MeterFlow::Result download(MeterFlow &meterFlow, MeterFlow::Purpose purpose, bool streamed, size_t size,
                           CountingProgress &progress, MeterFlow::Download &out)
{
    if (!streamed)
        return meterFlow.download(purpose, out, &progress);
    QBuffer records;
    QBuffer names;
    records.open(QIODevice::WriteOnly);
    names.open(QIODevice::WriteOnly);
    qint64 count = -1;
    qint64 checked = -1;
    const MeterFlow::Result result = meterFlow.download(purpose, records, names, count, &progress, {}, [&](qint64 c) {
        checked = c;
        return c * MeterFacts::RecordSize <= qint64(size);
    });
    FUZZ_CHECK(result != MeterFlow::SinkFailed);
    FUZZ_CHECK(result != MeterFlow::CountRefused || checked * MeterFacts::RecordSize > qint64(size));
    if (result != MeterFlow::Done) {
        FUZZ_CHECK(count == -1);
        return result;
    }
    FUZZ_CHECK(count == checked);
    out.count = count;
    out.records = records.data();
    out.names = names.data();
    return result;
}

void checkTables(const MeterState &state, const MeterFlow::Download &download, bool spectra)
{
    RecordsTableModel records;
    records.setUpColumns(state.uiIndex, state.mode, state.unitSlots, unitCatalog);
    records.appendDownload(state.uiIndex, state.mode, download, probeNames);
    FUZZ_CHECK(records.rowCount() <= download.count
               && records.rowCount() <= download.records.size() / MeterFacts::RecordSize);
    const QStringList headers = ColumnModel::exportHeaders(state.uiIndex, state.mode, state.unitSlots, true);
    FUZZ_CHECK(records.exportTable(headers).rowCount() == records.rowCount());
    if (spectra) {
        SpectralTableModel spectral(state.uiIndex);
        spectral.setUp(state.unitSlots, unitCatalog);
        spectral.appendDownload(download, state.mode);
        FUZZ_CHECK(spectral.recordCount() <= download.count);
        FUZZ_CHECK(spectral.exportTable().rowCount() == spectral.recordCount());
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::start(argc, argv);
    const QString catalogs = QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files");
    CatalogLoader::loadMeterCatalog(catalogs, meterCatalog);
    CatalogLoader::loadUnitCatalog(catalogs, unitCatalog);
    CatalogLoader::loadProbeCatalog(catalogs, probeNames);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::Reader input(data, size);
    const quint8 setUp = input.byte();
    const int flow = (setUp >> 4) & 3;
    const bool spectra = setUp & 0x08;
    const MeterCatalog emptyCatalog;
    const MeterCatalog &catalog = (setUp & 0x40) ? emptyCatalog : meterCatalog;
    const bool streamed = setUp & 0x80;
    CountingProgress progress;
    progress.cancelAfter = input.byte();

    CLinkerUSB link(std::make_unique<ScriptedTransport>(input));
    FUZZ_CHECK(link.open(MeterFacts::VendorId, MeterFacts::ProductId) == 0);
    MeterTransactions transactions(&link);
    if (flow == 3)
        transactions.setWhileWaiting([] {});
    MeterProtocol protocol(transactions);
    MeterState state;
    state.uiIndex = setUp & 0x07;
    MeterFlow meterFlow(protocol, state);

    if (flow != 2) {
        KeyInfo keyInfo;
        keyInfo.serialNo = 0xDEADBEEF;
        const MeterFlow::Result result = meterFlow.identify(
            catalog, keyInfo, streamed ? MeterFlow::UnusableCatalogMismatches : MeterFlow::EmptyCatalogChecksNothing);
        FUZZ_CHECK(isIdentifyResult(result));
        if (streamed && catalog.isEmpty())
            FUZZ_CHECK(result == MeterFlow::KeyInfoFailed || result == MeterFlow::MeterMismatch);
        FUZZ_CHECK(MeterFlow::message(result).has_value() == saysWhy(result));
        if (result == MeterFlow::KeyInfoFailed)
            FUZZ_CHECK(keyInfo.serialNo == 0xDEADBEEF);
        if (result == MeterFlow::Done || result == MeterFlow::ModeFailed)
            FUZZ_CHECK(state.unitSlots.size() == MeterFacts::UnitSlotCount);
        if (result == MeterFlow::UnitNumbersFailed)
            FUZZ_CHECK(state.unitSlots.isEmpty());
        if (result == MeterFlow::Done && !catalog.isEmpty()) {
            // The first catalog row with the model code gave the kind, and the firmware is recent enough.
            const auto row = std::find_if(catalog.begin(), catalog.end(), [&](const CatalogRow &r) {
                return r.at(0).toInt() == qint32(keyInfo.modelCode);
            });
            FUZZ_CHECK(row != catalog.end() && row->at(1).toInt() == state.uiIndex
                       && qint32(keyInfo.firmwareVersion) >= row->at(2).toInt());
        }
        if (flow == 0 || result != MeterFlow::Done)
            return 0;
    }

    MeterFlow::Download download;
    const MeterFlow::Result result =
        ::download(meterFlow, spectra ? MeterFlow::Spectra : MeterFlow::Records, streamed, size, progress, download);
    FUZZ_CHECK(result >= MeterFlow::Done && result <= MeterFlow::CountRefused && result != MeterFlow::KeyInfoFailed
               && result != MeterFlow::VersionTooLow && result != MeterFlow::MeterMismatch);
    FUZZ_CHECK(streamed || result != MeterFlow::CountRefused);
    FUZZ_CHECK(MeterFlow::message(result).has_value() == saysWhy(result));
    if (result != MeterFlow::Done) {
        // A failed or cancelled download yields nothing.
        FUZZ_CHECK(download.count == 0 && download.records.isEmpty() && download.names.isEmpty());
        if (result == MeterFlow::Cancelled)
            FUZZ_CHECK(progress.cancelAfter > 0 && progress.chunks == progress.cancelAfter);
        return 0;
    }
    // Every record byte and name byte came from a reply.
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    FUZZ_CHECK(kind && (!spectra || kind->hasSpectra));
    FUZZ_CHECK(download.count > 0 && download.records.size() == download.count * MeterFacts::RecordSize);
    FUZZ_CHECK(download.names.size() == (kind->readsNames ? download.count * MeterFacts::NameSlotSize : 0));
    FUZZ_CHECK(size_t(download.records.size() + download.names.size()) <= size);
    FUZZ_CHECK(progress.starts == 1 && progress.chunks == progress.announced);
    FUZZ_CHECK(state.unitSlots.size() == MeterFacts::UnitSlotCount);
    checkTables(state, download, spectra);
    return 0;
}
