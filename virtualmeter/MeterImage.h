#pragma once

#include "MeterFacts.h"
#include "MeterFaults.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>

// One meter as the virtual meter plays it: key information, unit slots, mode, record memory
// (from 0x80000000) and name memory (from 0xC0000000).
struct MeterImage
{
    quint32 modelCode = 0;
    QList<quint16> unitSlots; // exactly 60
    quint32 serialNo = 1;
    quint16 firmwareVersion = 100;
    QDate date{2024, 1, 1};
    quint8 marker = 0xA5;
    quint16 extraWord = 0;
    quint16 mode = 0;
    QByteArray recordMemory; // records back to back, 196 bytes each
    QByteArray nameMemory;   // name slots back to back, 16 bytes each
    quint32 recordCount = 0;
    MeterFaults faults;

    static constexpr int UnitSlotCount = 60;
    static constexpr int RecordBytes = MeterFacts::RecordSize;
    static constexpr int NameSlotBytes = MeterFacts::NameSlotSize;

    // Parses an image; anything outside the format is refused with an error naming the key and
    // the problem.
    static bool fromJson(const QByteArray &json, MeterImage &image, QString &error);
    static bool fromFile(const QString &path, MeterImage &image, QString &error);
};
