// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The file a save dialog's answer names when the dialog offers several formats, each a suffix
// with its name filter (suffixes[i] belongs to filters[i]): a suffix the user typed (any case)
// decides the format; otherwise the chosen filter does (the first format when none matches) and
// its suffix is added to the name.
struct SaveTarget
{
    QString fileName;
    int format = 0; // index into the suffixes

    static SaveTarget of(const QString &fileName, const QString &chosenFilter, const QStringList &suffixes,
                         const QStringList &filters);
};
