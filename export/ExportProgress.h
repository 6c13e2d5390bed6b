// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Progress of writing a table into a workbook, as shown to the user: the value is the number of
// data rows written so far, and a cancel abandons the workbook: nothing is saved.
class ExportProgress
{
public:
    virtual ~ExportProgress() = default;
    virtual void setValue(int value) = 0;
    virtual bool wasCanceled() const = 0;
};
