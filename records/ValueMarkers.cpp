#include "ValueMarkers.h"

#include <QtEndian>
#include <cstring>

namespace {

float wordAsFloat(quint32 word)
{
    float value;
    std::memcpy(&value, &word, sizeof value);
    return value;
}

} // namespace

QString ValueMarkers::noFlickerText(bool languageFlag)
{
    return languageFlag ? QStringLiteral("无频闪") : QStringLiteral("No");
}

QString ValueMarkers::invalidText()
{
    return QStringLiteral("----");
}

bool ValueMarkers::isNoFlickerText(const QString &text)
{
    return text == noFlickerText(true) || text == noFlickerText(false);
}

RecordField ValueMarkers::decodeWord(const uchar *bytes, bool languageFlag)
{
    const quint32 word = qFromLittleEndian<quint32>(bytes);
    if (word == noFlickerMarker)
        return {0.0f, noFlickerText(languageFlag)};
    if (word == invalidMarker || word == invalidMarker2)
        return {0.0f, invalidText()};
    return {wordAsFloat(word), QString()};
}

RecordField ValueMarkers::plainWord(const uchar *bytes)
{
    return {wordAsFloat(qFromLittleEndian<quint32>(bytes)), QString()};
}
