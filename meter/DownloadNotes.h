// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the user wrote about a download: where and by whom it was measured, a title and a free
// text of several lines. The archive keeps each field on its own, and exports show them beside
// the meter's facts.
struct DownloadNotes
{
    QString title;
    QString location;
    QString operatorName;
    QString text; // several lines

    bool isEmpty() const { return title.isEmpty() && location.isEmpty() && operatorName.isEmpty() && text.isEmpty(); }
    bool operator==(const DownloadNotes &other) const
    {
        return title == other.title && location == other.location && operatorName == other.operatorName
               && text == other.text;
    }
    bool operator!=(const DownloadNotes &other) const { return !(*this == other); }
};
