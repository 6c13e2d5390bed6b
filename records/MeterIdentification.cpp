#include "MeterIdentification.h"

#include "MeterProtocol.h"

MeterIdentification::Result MeterIdentification::identify(MeterProtocol &protocol, const MeterCatalog &meterCatalog,
                                                          MeterState state, KeyInfo &keyInfo)
{
    KeyInfo info;
    if (protocol.readKeyInfo(info) < 0)
        return KeyInfoFailed;
    keyInfo = info;

    // The first row with the meter's model code decides; later rows with the same code are
    // never looked at. An empty catalog checks nothing and keeps the current kind.
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

    state.unitSlots.clear();
    if (protocol.readUnitNumbers(state.unitSlots) < 0)
        return UnitNumbersFailed;

    if (hasMode(state.uiIndex) && protocol.readMode(state.mode, state.uiIndex) < 0)
        return ModeFailed;
    return Identified;
}

QString MeterIdentification::serialText(const KeyInfo &keyInfo)
{
    return QString::number(qint32(keyInfo.serialNo));
}

QString MeterIdentification::firmwareText(const KeyInfo &keyInfo)
{
    return QString::number(keyInfo.firmwareVersion / 100.0, 'f', 2);
}

std::optional<RecordMessages::Message> MeterIdentification::message(Result result)
{
    switch (result) {
    case Identified:
        return std::nullopt;
    case KeyInfoFailed:
        return RecordMessages::KeyInfoFailed;
    case VersionTooLow:
        return RecordMessages::VersionTooLow;
    case MeterMismatch:
        return RecordMessages::MeterMismatch;
    case UnitNumbersFailed:
        return RecordMessages::UnitNumbersFailed;
    case ModeFailed:
        return RecordMessages::ModeFailed;
    }
    return std::nullopt;
}
