#include "RecordDownload.h"

#include "MemoryAreaReader.h"
#include "MeterIdentification.h"
#include "MeterProtocol.h"
#include "RecordAreaPlan.h"

RecordDownload::RecordDownload(MeterProtocol &protocol, Purpose purpose) : protocol(protocol), purpose(purpose) {}

quint8 RecordDownload::readCommand(int uiIndex)
{
    return readsNames(uiIndex) ? MeterProtocol::ReadCommandAlt : MeterProtocol::ReadCommand;
}

RecordDownload::Result RecordDownload::run(int uiIndex, int &mode, QList<int> &unitSlots, const Callbacks &callbacks)
{
    count = 0;
    records.clear();
    names.clear();

    unitSlots.clear();
    if (protocol.readUnitNumbers(unitSlots) < 0)
        return UnitNumbersFailed;
    if (MeterIdentification::hasMode(uiIndex) && protocol.readMode(mode, uiIndex) < 0)
        return ModeFailed;
    if (callbacks.slotsRead)
        callbacks.slotsRead();

    int reported = 0;
    if (protocol.readRecordCount(reported) < 0)
        return RecordCountFailed;
    count = reported;
    if (count <= 0)
        return NoRecords;
    const int lastKind = purpose == Records ? 6 : 5;
    if (uiIndex < 1 || uiIndex > lastKind)
        return UnsupportedKind;

    // A count whose record area would run into the name area cannot be real: refuse it before
    // any memory is read.
    RecordAreaPlan plan;
    if (RecordAreaPlan::make(count, readsNames(uiIndex), plan) != RecordAreaPlan::Valid)
        return RecordCountFailed;

    if (callbacks.transferStarting)
        callbacks.transferStarting(plan.totalChunks());
    MemoryAreaReader reader(protocol);
    int chunkCounter = 0;
    QByteArray recordBuffer;
    if (reader.read(RecordAreaPlan::RecordAreaStart, plan.recordAreaBytes, readCommand(uiIndex), recordBuffer,
                    chunkCounter, callbacks.chunkRead)
        < 0)
        return RecordDataFailed;
    QByteArray nameBuffer;
    if (plan.nameAreaBytes > 0
        && reader.read(RecordAreaPlan::NameAreaStart, plan.nameAreaBytes, MeterProtocol::ReadCommandAlt, nameBuffer,
                       chunkCounter, callbacks.chunkRead)
               < 0)
        return RecordNameFailed;

    records = std::move(recordBuffer);
    names = std::move(nameBuffer);
    return Downloaded;
}

std::optional<RecordMessages::Message> RecordDownload::message(Result result)
{
    switch (result) {
    case UnitNumbersFailed:
        return RecordMessages::UnitNumbersFailed;
    case ModeFailed:
        return RecordMessages::ModeFailed;
    case RecordCountFailed:
        return RecordMessages::RecordCountFailed;
    case RecordDataFailed:
        return RecordMessages::RecordDataFailed;
    case RecordNameFailed:
        return RecordMessages::RecordNameFailed;
    case Downloaded:
    case NoRecords:
    case UnsupportedKind:
        break;
    }
    return std::nullopt;
}
