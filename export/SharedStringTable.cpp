// SPDX-License-Identifier: GPL-3.0-or-later
#include "SharedStringTable.h"

#include "BiffRecord.h"

namespace {

constexpr quint8 HighByteFlag = 0x01;
constexpr quint8 PhoneticFlag = 0x04;
constexpr quint8 RichTextFlag = 0x08;

// Reads a template's SST content, following the string layout across record boundaries.
class ChunkReader
{
public:
    explicit ChunkReader(const QVector<QByteArray> &chunks) : chunks(chunks) {}

    int chunk = 0;
    int pos = 8;

    bool atChunkEnd() const { return pos == chunks.at(chunk).size(); }
    bool nextChunk()
    {
        if (chunk + 1 >= chunks.size())
            return false;
        ++chunk;
        pos = 0;
        return true;
    }
    int left() const { return int(chunks.at(chunk).size()) - pos; }
    const char *data() const { return chunks.at(chunk).constData() + pos; }

    // Characters of a string: the pieces after the first start with their own flag byte.
    bool readChars(int count, bool highByte, QString *text)
    {
        text->reserve(count);
        while (count > 0) {
            if (atChunkEnd()) {
                if (!nextChunk() || left() < 1)
                    return false;
                highByte = (quint8(chunks.at(chunk).at(0)) & HighByteFlag) != 0;
                pos = 1;
            }
            const int unit = highByte ? 2 : 1;
            const int take = qMin(left() / unit, count);
            if (take == 0)
                return false;
            const char *p = data();
            for (int i = 0; i < take; ++i)
                text->append(highByte ? QChar(Biff::u16(p + 2 * i)) : QChar(quint8(p[i])));
            pos += take * unit;
            count -= take;
        }
        return true;
    }

    // Rich-text runs and phonetic blocks continue across records without a flag byte.
    bool skip(qint64 count)
    {
        while (count > 0) {
            if (atChunkEnd() && !nextChunk())
                return false;
            const int take = int(qMin<qint64>(left(), count));
            pos += take;
            count -= take;
        }
        return true;
    }

private:
    const QVector<QByteArray> &chunks;
};

} // namespace

SharedStringTable::SharedStringTable()
{
    startChunk(false, false);
    recordData.last().append(8, '\0'); // the two counts, filled in when written
}

bool SharedStringTable::load(const QVector<QByteArray> &chunks, QString *error)
{
    if (chunks.isEmpty() || chunks.first().size() < 8) {
        *error = QStringLiteral("shared string table too short");
        return false;
    }
    const quint32 declaredTotal = Biff::u32(chunks.first(), 0);
    const quint32 unique = Biff::u32(chunks.first(), 4);
    ChunkReader reader(chunks);
    QVector<QString> loaded;
    std::vector<bool> loadedFormatted;
    std::vector<quint32> loadedPositions;
    for (quint32 i = 0; i < unique; ++i) {
        if (reader.atChunkEnd() && !reader.nextChunk()) {
            *error = QStringLiteral("shared string table holds fewer strings than it declares");
            return false;
        }
        if (reader.left() < 3) {
            *error = QStringLiteral("string header split across records");
            return false;
        }
        const int start = reader.pos;
        const int startChunkIndex = reader.chunk;
        const quint16 count = Biff::u16(reader.data());
        const quint8 flags = quint8(reader.data()[2]);
        reader.pos += 3;
        const int extraHeader = ((flags & RichTextFlag) ? 2 : 0) + ((flags & PhoneticFlag) ? 4 : 0);
        if (reader.left() < extraHeader) {
            *error = QStringLiteral("string header split across records");
            return false;
        }
        qint64 trailing = 0;
        if (flags & RichTextFlag) {
            trailing += 4 * qint64(Biff::u16(reader.data()));
            reader.pos += 2;
        }
        if (flags & PhoneticFlag) {
            const qint32 size = qint32(Biff::u32(reader.data()));
            if (size < 0) {
                *error = QStringLiteral("bad phonetic block size");
                return false;
            }
            trailing += size;
            reader.pos += 4;
        }
        QString text;
        if (!reader.readChars(count, (flags & HighByteFlag) != 0, &text) || !reader.skip(trailing)) {
            *error = QStringLiteral("string runs past the end of the shared string table");
            return false;
        }
        loaded.append(text);
        loadedFormatted.push_back((flags & (RichTextFlag | PhoneticFlag)) != 0);
        loadedPositions.push_back(packPosition(startChunkIndex, start));
    }
    if (reader.chunk != chunks.size() - 1 || !reader.atChunkEnd()) {
        *error = QStringLiteral("shared string table holds more data than its declared strings");
        return false;
    }
    recordData = chunks;
    texts = loaded;
    formatted = loadedFormatted;
    positions = loadedPositions;
    indexSlots.clear();
    plainCount = 0;
    growIndex(size_t(unique) * 2);
    for (quint32 i = 0; i < unique; ++i) {
        const quint32 hash = hashOf(texts.at(i));
        if (!formatted[i] && findPlain(texts.at(i), hash) < 0)
            insertPlain(hash, i);
    }
    total = declaredTotal;
    return true;
}

quint32 SharedStringTable::hashOf(const QString &text)
{
    // 64-bit multiply-xorshift over four UTF-16 units at a time.
    const char16_t *p = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    quint64 h = 0x9E3779B97F4A7C15ull ^ quint64(n);
    qsizetype i = 0;
    for (; i + 4 <= n; i += 4) {
        const quint64 block =
            quint64(p[i]) | quint64(p[i + 1]) << 16 | quint64(p[i + 2]) << 32 | quint64(p[i + 3]) << 48;
        h = (h ^ block) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 29;
    }
    for (; i < n; ++i) {
        h = (h ^ p[i]) * 0xC4CEB9FE1A85EC53ull;
        h ^= h >> 29;
    }
    h ^= h >> 32;
    return quint32(h);
}

qint64 SharedStringTable::findPlain(const QString &text, quint32 hash) const
{
    if (indexSlots.empty())
        return -1;
    const size_t mask = indexSlots.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
        const quint64 slot = indexSlots[at];
        if (slot == 0)
            return -1;
        if (quint32(slot >> 32) == hash) {
            const quint32 index = quint32(slot) - 1;
            if (texts.at(index) == text)
                return index;
        }
    }
}

void SharedStringTable::insertPlain(quint32 hash, quint32 index)
{
    if ((plainCount + 1) * 2 > indexSlots.size())
        growIndex((plainCount + 1) * 2);
    const size_t mask = indexSlots.size() - 1;
    size_t at = hash & mask;
    while (indexSlots[at] != 0)
        at = (at + 1) & mask;
    indexSlots[at] = quint64(hash) << 32 | (index + 1);
    ++plainCount;
}

void SharedStringTable::growIndex(size_t minimumSlots)
{
    size_t size = 64;
    while (size < minimumSlots)
        size *= 2;
    if (size <= indexSlots.size())
        return;
    std::vector<quint64> old(size, 0);
    old.swap(indexSlots);
    const size_t mask = size - 1;
    for (quint64 slot : old) {
        if (slot == 0)
            continue;
        size_t at = size_t(slot >> 32) & mask;
        while (indexSlots[at] != 0)
            at = (at + 1) & mask;
        indexSlots[at] = slot;
    }
}

void SharedStringTable::indexesOf(const QString *const *batch, int count, quint32 *indexes)
{
    constexpr int Group = 32;
    quint32 hashes[Group];
    for (int start = 0; start < count; start += Group) {
        const int n = qMin(Group, count - start);
        for (int i = 0; i < n; ++i) {
            hashes[i] = hashOf(*batch[start + i]);
            if (!indexSlots.empty())
                __builtin_prefetch(&indexSlots[hashes[i] & (indexSlots.size() - 1)]);
        }
        for (int i = 0; i < n; ++i)
            indexes[start + i] = indexOf(*batch[start + i], hashes[i]);
    }
}

quint32 SharedStringTable::indexOf(const QString &text, quint32 hash)
{
    const qint64 found = findPlain(text, hash);
    if (found >= 0)
        return quint32(found);
    const quint32 index = quint32(texts.size());
    appendString(text);
    texts.append(text);
    formatted.push_back(false);
    insertPlain(hash, index);
    return index;
}

void SharedStringTable::reserve(qsizetype moreStrings)
{
    const qsizetype wanted = texts.size() + moreStrings;
    texts.reserve(wanted);
    formatted.reserve(size_t(wanted));
    positions.reserve(size_t(wanted));
    growIndex(size_t(wanted) * 2);
}

void SharedStringTable::startChunk(bool withFlag, bool highByte)
{
    QByteArray chunk;
    chunk.reserve(Biff::MaxRecordData);
    if (withFlag)
        chunk.append(char(highByte ? HighByteFlag : 0));
    recordData.append(chunk);
}

void SharedStringTable::appendString(const QString &text)
{
    const int count = int(text.size());
    const QChar *units = text.constData();
    bool highByte = false;
    for (int i = 0; i < count && !highByte; ++i)
        highByte = units[i].unicode() > 0xFF;
    const int unit = highByte ? 2 : 1;

    // The header and the first character (both halves of a surrogate pair) stay together.
    int firstPiece = 3;
    if (count > 0)
        firstPiece += (highByte && count > 1 && units[0].isHighSurrogate()) ? 2 * unit : unit;
    if (Biff::MaxRecordData - recordData.last().size() < firstPiece)
        startChunk(false, false);

    QByteArray *chunk = &recordData.last();
    const qsizetype headerAt = chunk->size();
    positions.push_back(packPosition(int(recordData.size() - 1), int(headerAt)));
    chunk->resize(headerAt + 3);
    Biff::put16(chunk->data() + headerAt, quint16(count));
    chunk->data()[headerAt + 2] = char(highByte ? HighByteFlag : 0);

    int done = 0;
    while (true) {
        int take = qMin((Biff::MaxRecordData - int(chunk->size())) / unit, count - done);
        if (highByte && take > 0 && done + take < count && units[done + take - 1].isHighSurrogate())
            --take;
        const int at = int(chunk->size());
        chunk->resize(at + take * unit);
        char *p = chunk->data() + at;
        if (highByte) {
            for (int i = 0; i < take; ++i)
                Biff::put16(p + 2 * i, units[done + i].unicode());
        } else {
            for (int i = 0; i < take; ++i)
                p[i] = char(units[done + i].unicode());
        }
        done += take;
        if (done == count)
            return;
        startChunk(true, highByte);
        chunk = &recordData.last();
    }
}

QByteArray SharedStringTable::appendRecords(QByteArray &out, quint32 totalCount) const
{
    std::vector<qsizetype> recordStart(recordData.size());
    for (int k = 0; k < recordData.size(); ++k) {
        recordStart[k] = out.size();
        Biff::appendRecord(out, k == 0 ? Biff::Sst : Biff::Continue, recordData.at(k));
        if (k == 0) {
            Biff::set32(out, recordStart[k] + 4, totalCount);
            Biff::set32(out, recordStart[k] + 8, uniqueCount());
        }
    }

    const int bucket = bucketSize(uniqueCount());
    QByteArray ext;
    Biff::append16(ext, quint16(bucket));
    for (size_t i = 0; i < positions.size(); i += size_t(bucket)) {
        const int chunk = int(positions[i] >> 14);
        const int offset = int(positions[i] & 0x3FFF);
        Biff::append32(ext, quint32(recordStart[chunk] + 4 + offset));
        Biff::append16(ext, quint16(4 + offset));
        Biff::append16(ext, 0);
    }
    return ext;
}
