// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberFormats.h"

#include "BiffRecord.h"

namespace {

// A FORMAT record's payload: the index, then the code as an XLUnicodeString.
QByteArray formatRecord(quint16 index, const QString &code)
{
    QByteArray d;
    Biff::append16(d, index);
    Biff::append16(d, quint16(code.size()));
    bool highByte = false;
    for (const QChar c : code)
        highByte = highByte || c.unicode() > 0xFF;
    Biff::append8(d, highByte ? 1 : 0);
    for (const QChar c : code) {
        if (highByte)
            Biff::append16(d, c.unicode());
        else
            Biff::append8(d, quint8(c.unicode()));
    }
    return d;
}

} // namespace

bool NumberFormats::addRecord(const QByteArray &payload, QString *error)
{
    if (payload.size() < 5) {
        *error = QStringLiteral("short FORMAT record");
        return false;
    }
    const quint16 index = Biff::u16(payload, 0);
    const int count = Biff::u16(payload, 2);
    const bool highByte = quint8(payload.at(4)) & 0x01;
    if (payload.size() < 5 + count * (highByte ? 2 : 1)) {
        *error = QStringLiteral("FORMAT record shorter than its format code");
        return false;
    }
    QString code;
    code.reserve(count);
    for (int i = 0; i < count; ++i)
        code.append(highByte ? QChar(Biff::u16(payload, 5 + 2 * i)) : QChar(quint8(payload.at(5 + i))));
    // The first record of a code is the one to reuse; a later duplicate changes nothing.
    if (!byCode.contains(code))
        byCode.insert(code, index);
    nextIndex = qMax(nextIndex, index + 1);
    return true;
}

bool NumberFormats::indexOf(const QString &code, quint16 *index)
{
    // The built-in formats every reader knows without a FORMAT record.
    if (code == QLatin1String("0")) {
        *index = 1;
        return true;
    }
    if (code == QLatin1String("0.00")) {
        *index = 2;
        return true;
    }
    const auto existing = byCode.constFind(code);
    if (existing != byCode.constEnd()) {
        *index = existing.value();
        return true;
    }
    if (nextIndex > 0xFFFF)
        return false;
    *index = quint16(nextIndex++);
    byCode.insert(code, *index);
    added.append({*index, code});
    return true;
}

void NumberFormats::appendAddedRecords(QByteArray &out) const
{
    for (const auto &[index, code] : added)
        Biff::appendRecord(out, Biff::Format, formatRecord(index, code));
}
