// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "MeterFlow.h"

#include <QString>
#include <QTemporaryFile>

// The meter memory that a command-line download reads, kept in two temporary files (the record
// area and the name area) instead of in memory, and read back a batch of records at a time, so
// that a meter holding millions of records needs no more memory than a batch.
class DownloadFiles
{
public:
    // Creates both files; false, with the reason, when it cannot.
    bool open(QString &error);

    QIODevice &records() { return recordFile; }
    QIODevice &names() { return nameFile; }
    // Why writing to a file failed.
    QString writeError() const;

    // The records [first, first + count) and their name slots (where the names were read), as a
    // download of count records. False, with the reason, when the files do not give them back.
    bool read(qint64 first, int count, MeterFlow::Download &batch, QString &error);

private:
    static bool readSlots(QTemporaryFile &file, qint64 first, int count, int slotBytes, QByteArray &out,
                          QString &error);

    QTemporaryFile recordFile;
    QTemporaryFile nameFile;
};
