#include "SpectralValues.h"

#include "RecordDecoder.h"

#include <QtEndian>
#include <cstring>

int SpectralValues::offset(int uiIndex, int mode)
{
    return (uiIndex == 1 || uiIndex == 4) && mode == 1 ? 0 : 60;
}

bool SpectralValues::extract(const QByteArray &records, int j, int uiIndex, int mode, Values &values)
{
    constexpr int size = RecordDecoder::recordSize;
    if (j < 0 || (qsizetype(j) + 1) * size > records.size())
        return false;
    const auto *first =
        reinterpret_cast<const uchar *>(records.constData()) + qsizetype(j) * size + offset(uiIndex, mode);
    for (int i = 0; i < count; ++i) {
        const quint32 word = qFromLittleEndian<quint32>(first + 4 * i);
        std::memcpy(&values[size_t(i)], &word, sizeof(float));
    }
    return true;
}
