#include "BiffRecord.h"

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

} // namespace

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
