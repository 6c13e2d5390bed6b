// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BiffRecord.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

// The number formats of a workbook that cells can refer to by index: the two built-in formats
// the engine uses ("0" is 1, "0.00" is 2), the FORMAT records the workbook already has, and the
// ones added for written numbers, which get indexes from 164 up that no existing record uses.
class NumberFormats
{
public:
    // Takes the payload of one of the workbook's FORMAT records. Fails on a record too short for
    // the format code it declares.
    bool addRecord(const QByteArray &payload, QString *error);

    // The index of a format with this code, adding a FORMAT record when there is none yet; false
    // when the workbook has no index left for it.
    bool indexOf(const QString &code, quint16 *index);

    // Appends the FORMAT records added since loading.
    void appendAddedRecords(QByteArray &out) const;
    bool hasAdded() const { return !added.isEmpty(); }

private:
    QHash<QString, quint16> byCode;
    int nextIndex = Biff::FirstUserFormat; // above every index the workbook's records use
    QVector<QPair<quint16, QString>> added;
};
