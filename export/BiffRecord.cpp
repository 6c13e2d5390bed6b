// SPDX-License-Identifier: GPL-3.0-or-later
#include "BiffRecord.h"

#include <cmath>
#include <cstring>

namespace Biff {

namespace {

bool readOne(const QByteArray &stream, qint64 at, qint64 to, BiffRecord *record)
{
    if (at + 4 > to)
        return false;
    const quint16 id = u16(stream.constData() + at);
    const quint16 size = u16(stream.constData() + at + 2);
    if (size > MaxRecordData || at + 4 + size > to)
        return false;
    record->id = id;
    record->data = stream.mid(at + 4, size);
    record->offset = at;
    return true;
}

constexpr double MinRkInteger = -536870912.0; // -2^29
constexpr double MaxRkInteger = 536870911.0;  // 2^29 - 1

bool sameDouble(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

double fromRk(quint32 rk)
{
    double value = 0;
    if (rk & 0x02) {
        value = qint32(rk & ~quint32(0x03)) / 4; // exact: the two low bits are clear
    } else {
        const quint64 bits = quint64(rk & ~quint32(0x03)) << 32;
        std::memcpy(&value, &bits, sizeof value);
    }
    return (rk & 0x01) ? value / 100 : value;
}

bool toRk(double value, quint32 *rk)
{
    // Each form is tried as a reader decodes it, so only an exact round trip is taken.
    for (const quint32 hundredths : {0u, 1u}) {
        const double scaled = hundredths ? value * 100 : value;
        if (!std::isfinite(scaled))
            return false;
        const double whole = std::nearbyint(scaled);
        if (whole >= MinRkInteger && whole <= MaxRkInteger) {
            const quint32 candidate = (quint32(qint32(whole)) << 2) | 0x02 | hundredths;
            if (sameDouble(fromRk(candidate), value)) {
                *rk = candidate;
                return true;
            }
        }
        quint64 bits = 0;
        std::memcpy(&bits, &scaled, sizeof bits);
        const quint32 candidate = quint32(bits >> 32) & ~quint32(0x03);
        if (sameDouble(fromRk(candidate | hundredths), value)) {
            *rk = candidate | hundredths;
            return true;
        }
    }
    return false;
}

bool readRecords(const QByteArray &stream, qint64 from, qint64 to, QVector<BiffRecord> *records)
{
    if (from < 0 || to > stream.size() || from > to)
        return false;
    qint64 at = from;
    while (at < to) {
        BiffRecord record;
        if (!readOne(stream, at, to, &record))
            return false;
        at += 4 + record.data.size();
        records->append(std::move(record));
    }
    return true;
}

bool readSubstream(const QByteArray &stream, qint64 from, QVector<BiffRecord> *records, qint64 *end)
{
    if (from < 0 || from >= stream.size())
        return false;
    int depth = 0;
    qint64 at = from;
    while (true) {
        BiffRecord record;
        if (!readOne(stream, at, stream.size(), &record))
            return false;
        if (at == from && record.id != Bof)
            return false;
        at += 4 + record.data.size();
        const quint16 id = record.id;
        records->append(std::move(record));
        if (id == Bof) {
            ++depth;
        } else if (id == Eof) {
            if (--depth == 0) {
                *end = at;
                return true;
            }
        }
    }
}

} // namespace Biff
