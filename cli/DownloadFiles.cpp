// SPDX-License-Identifier: GPL-3.0-or-later
#include "DownloadFiles.h"

#include "MeterFacts.h"

bool DownloadFiles::open(QString &error)
{
    for (QTemporaryFile *file : {&recordFile, &nameFile}) {
        if (!file->open()) {
            error = file->errorString();
            return false;
        }
    }
    return true;
}

QString DownloadFiles::writeError() const
{
    return recordFile.error() != QFileDevice::NoError ? recordFile.errorString() : nameFile.errorString();
}

bool DownloadFiles::readSlots(QTemporaryFile &file, qint64 first, int count, int slotBytes, QByteArray &out,
                              QString &error)
{
    const qint64 bytes = qint64(count) * slotBytes;
    out.resize(bytes);
    if (!file.seek(first * slotBytes) || file.read(out.data(), bytes) != bytes) {
        error = file.errorString();
        out.clear();
        return false;
    }
    return true;
}

bool DownloadFiles::read(qint64 first, int count, MeterFlow::Download &batch, QString &error)
{
    batch.count = count;
    if (!readSlots(recordFile, first, count, MeterFacts::RecordSize, batch.records, error))
        return false;
    // Kinds without names leave the name file empty.
    if (nameFile.size() == 0) {
        batch.names.clear();
        return true;
    }
    return readSlots(nameFile, first, count, MeterFacts::NameSlotSize, batch.names, error);
}
