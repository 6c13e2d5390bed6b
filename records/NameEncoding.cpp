// SPDX-License-Identifier: GPL-3.0-or-later
#include "NameEncoding.h"

#include <QStringDecoder>


namespace {

constexpr char gb18030[] = "GB18030";

// How many bytes a UTF-8 sequence takes by its lead byte; 0 for a byte that cannot lead one.
int utf8SequenceLength(uchar lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool isUtf8Continuation(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    return !utf8.hasError();
}

// Qt decodes GB18030 through ICU, which Debian's Qt is built with. A Qt without ICU does not
// know the encoding; the locale's 8-bit encoding is the best it has then.
QString decodeGb18030(QByteArrayView bytes)
{
    QStringDecoder decoder(gb18030, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return QString::fromLocal8Bit(bytes);
    return decoder.decode(bytes);
}

// The length of bytes without an incomplete final character.
qsizetype completeUtf8Length(QByteArrayView bytes)
{
    // The last lead byte among the final three decides: a sequence it starts that runs past the
    // end is incomplete.
    const qsizetype size = bytes.size();
    for (qsizetype i = size - 1; i >= 0 && i >= size - 3; --i) {
        const uchar byte = uchar(bytes[i]);
        if (isUtf8Continuation(byte))
            continue;
        const int length = utf8SequenceLength(byte);
        return length > size - i ? i : size;
    }
    return size;
}

qsizetype completeGb18030Length(QByteArrayView bytes)
{
    // GB18030 characters: one byte 00-80 or FF; two bytes, a lead 81-FE and a trail 40-7E or
    // 80-FE; four bytes, 81-FE, 30-39, 81-FE, 30-39. Walking from the start finds where the last
    // character begins; an invalid byte stands for itself.
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const uchar lead = uchar(bytes[i]);
        if (lead <= 0x80 || lead == 0xFF) {
            ++i;
            continue;
        }
        if (i + 1 >= size)
            return i;
        const uchar second = uchar(bytes[i + 1]);
        if (second >= 0x30 && second <= 0x39) {
            if (i + 3 >= size)
                return i;
            i += 4;
        } else {
            i += 2;
        }
    }
    return size;
}

} // namespace

namespace NameEncoding {

QString decode(QByteArrayView bytes)
{
    const QByteArrayView utf8 = bytes.first(completeUtf8Length(bytes));
    if (isValidUtf8(utf8))
        return QString::fromUtf8(utf8);
    return decodeGb18030(bytes.first(completeGb18030Length(bytes)));
}

} // namespace NameEncoding
