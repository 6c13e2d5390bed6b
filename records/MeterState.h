// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

// What identification learns about the connected meter and a download refreshes: its kind
// (uiIndex, 1 until a catalog row says otherwise), its measuring mode and its 60 unit slots.
struct MeterState
{
    int uiIndex = 1;
    int mode = 0;
    QList<int> unitSlots;
};
