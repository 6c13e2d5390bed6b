// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExportProgress.h"

#include <QList>

// Records the values an export reports and cancels once a value reaches cancelAt (never for 0).
class RecordingProgress : public ExportProgress
{
public:
    explicit RecordingProgress(int cancelAt = 0) : cancelAt(cancelAt) {}
    void setValue(int value) override { values.append(value); }
    bool wasCanceled() const override { return cancelAt > 0 && !values.isEmpty() && values.last() >= cancelAt; }

    QList<int> values;
    const int cancelAt;
};
