// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"
#include "RecordField.h"

#include <QByteArray>
#include <QString>

struct MeterKind;

// Turns the record memory (and name memory) read from a meter into decoded records, one per
// stored record, for the columns of the meter kind and mode. Decoding only ever reads bytes that
// were received: a record or name slot that the buffers do not hold in full is not decoded.
class RecordDecoder
{
public:
    RecordDecoder(const MeterKind &kind, int mode, const ProbeNames &probeNames);

    // How many records both buffers hold in full (names only count for kinds with a name column).
    int availableRecords(const QByteArray &records, const QByteArray &names) const;

    // Decodes record j; false (and out untouched) when the buffers do not hold it in full.
    bool decode(const QByteArray &records, const QByteArray &names, int j, DecodedRecord &out) const;

    // The name in slot j of the name memory: its first 13 bytes up to the first zero byte, as
    // NameEncoding reads them (UTF-8, else GB18030). Empty when the slot is not held in full.
    static QString recordName(const QByteArray &names, int j);

    // The probe number of a kind-6 record from the 4 stored bytes of its word 0: upper-case hex
    // of the little-endian number, most significant byte first ("0F 00 00 A0" gives "A000000F").
    static QString probeNumberText(const uchar *bytes);

private:
    const MeterKind &kind;
    const int mode;
    const ProbeNames &probeNames;
};
