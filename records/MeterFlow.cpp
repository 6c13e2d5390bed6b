// SPDX-License-Identifier: GPL-3.0-or-later
#include "MeterFlow.h"

#include "CatalogLoader.h"
#include "DownloadProgress.h"
#include "MemoryAreaReader.h"
#include "MeterKind.h"
#include "MeterProtocol.h"
#include "RecordAreaPlan.h"

#include <QBuffer>

MeterFlow::MeterFlow(MeterProtocol &protocol, MeterState &state) : protocol(protocol), state(state) {}

MeterFlow::Result MeterFlow::identify(const MeterCatalog &meterCatalog, KeyInfo &keyInfo,
                                      UnusableCatalog unusableCatalog)
{
    KeyInfo info;
    if (protocol.readKeyInfo(info) < 0)
        return KeyInfoFailed;
    keyInfo = info;

    // Taking the current kind on trust would give an unknown meter the columns of another kind.
    if (unusableCatalog == UnusableCatalogMismatches && !CatalogLoader::meterCatalogUsable(meterCatalog))
        return MeterMismatch;

    // The first row with the meter's model code decides; later rows with the same code are
    // never looked at.
    if (!meterCatalog.isEmpty()) {
        const qint32 modelCode = qint32(info.modelCode);
        bool matched = false;
        for (const CatalogRow &row : meterCatalog) {
            if (row.size() < 3 || row.at(0).toInt() != modelCode)
                continue;
            state.uiIndex = row.at(1).toInt();
            if (qint32(info.firmwareVersion) < row.at(2).toInt())
                return VersionTooLow;
            matched = true;
            break;
        }
        if (!matched)
            return MeterMismatch;
    }
    return readSlotsAndMode();
}

MeterFlow::Result MeterFlow::readSlotsAndMode()
{
    state.unitSlots.clear();
    if (protocol.readUnitNumbers(state.unitSlots) < 0)
        return UnitNumbersFailed;
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    if (kind && kind->hasMode && protocol.readMode(state.mode, state.uiIndex) < 0)
        return ModeFailed;
    return Done;
}

MeterFlow::Result MeterFlow::download(Purpose purpose, Download &out, DownloadProgress *progress,
                                      const std::function<void()> &slotsRead)
{
    QByteArray records;
    QByteArray names;
    QBuffer recordSink(&records);
    QBuffer nameSink(&names);
    recordSink.open(QIODevice::WriteOnly);
    nameSink.open(QIODevice::WriteOnly);
    qint64 count = 0;
    const Result result = download(purpose, recordSink, nameSink, count, progress, slotsRead);
    recordSink.close();
    nameSink.close();
    if (result != Done)
        return result;
    out.count = count;
    out.records = std::move(records);
    out.names = std::move(names);
    return Done;
}

MeterFlow::Result MeterFlow::download(Purpose purpose, QIODevice &records, QIODevice &names, qint64 &count,
                                      DownloadProgress *progress, const std::function<void()> &slotsRead,
                                      const CountCheck &countCheck)
{
    if (const Result result = readSlotsAndMode(); result != Done)
        return result;
    if (slotsRead)
        slotsRead();

    // The meter stores the count as an unsigned 32-bit number.
    quint32 reported = 0;
    if (protocol.readRecordCount(reported) < 0)
        return RecordCountFailed;
    if (reported == 0)
        return NoRecords;
    const MeterKind *kind = MeterKind::find(state.uiIndex);
    if (!kind || (purpose == Spectra && !kind->hasSpectra))
        return UnsupportedKind;

    // A count whose record area would run into the name area cannot be real: refuse it before
    // any memory is read.
    RecordAreaPlan plan;
    if (RecordAreaPlan::make(reported, kind->readsNames, plan) != RecordAreaPlan::Valid)
        return RecordCountFailed;
    if (countCheck && !countCheck(reported))
        return CountRefused;

    if (progress)
        progress->start(plan.totalChunks());
    const MemoryAreaReader::Progress chunkRead = [progress](int chunkCounter) {
        if (progress)
            progress->chunkRead(chunkCounter);
    };
    const MemoryAreaReader::StopRequested cancelled = [progress] { return progress && progress->cancelled(); };
    MemoryAreaReader reader(protocol);
    int chunkCounter = 0;
    const quint8 recordCommand = kind->readsNames ? MeterProtocol::ReadCommandAlt : MeterProtocol::ReadCommand;
    const int recordResult = reader.read(RecordAreaPlan::RecordAreaStart, plan.recordAreaBytes, recordCommand, records,
                                         chunkCounter, chunkRead, cancelled);
    if (recordResult == MemoryAreaReader::Stopped)
        return Cancelled;
    if (recordResult == MemoryAreaReader::SinkFailed)
        return SinkFailed;
    if (recordResult < 0)
        return RecordDataFailed;
    if (plan.nameAreaBytes > 0) {
        const int nameResult = reader.read(RecordAreaPlan::NameAreaStart, plan.nameAreaBytes,
                                           MeterProtocol::ReadCommandAlt, names, chunkCounter, chunkRead, cancelled);
        if (nameResult == MemoryAreaReader::Stopped)
            return Cancelled;
        if (nameResult == MemoryAreaReader::SinkFailed)
            return SinkFailed;
        if (nameResult < 0)
            return RecordNameFailed;
    }

    count = reported;
    return Done;
}

std::optional<Text> MeterFlow::message(Result result)
{
    switch (result) {
    case KeyInfoFailed:
        return Text::KeyInfoFailed;
    case VersionTooLow:
        return Text::VersionTooLow;
    case MeterMismatch:
        return Text::MeterMismatch;
    case UnitNumbersFailed:
        return Text::UnitNumbersFailed;
    case ModeFailed:
        return Text::ModeFailed;
    case RecordCountFailed:
        return Text::RecordCountFailed;
    case RecordDataFailed:
        return Text::RecordDataFailed;
    case RecordNameFailed:
        return Text::RecordNameFailed;
    case Done:
    case NoRecords:
    case UnsupportedKind:
    case Cancelled:
    case CountRefused:
    case SinkFailed:
        break;
    }
    return std::nullopt;
}

QString MeterFlow::serialText(const KeyInfo &keyInfo)
{
    return QString::number(qint32(keyInfo.serialNo));
}

QString MeterFlow::firmwareText(const KeyInfo &keyInfo)
{
    return QString::number(keyInfo.firmwareVersion / 100.0, 'f', 2);
}
