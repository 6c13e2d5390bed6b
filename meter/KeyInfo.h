// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QtGlobal>

// The meter's key information block.
struct KeyInfo
{
    quint8 marker = 0; // 0xA5 in a regular block
    QDate date;        // year, month, day as the meter stores them
    quint32 serialNo = 0;
    quint32 modelCode = 0;       // looked up in the meter catalog
    quint16 extraWord = 0;       // kept, not used
    quint16 firmwareVersion = 0; // in hundredths: 102 means 1.02
};
