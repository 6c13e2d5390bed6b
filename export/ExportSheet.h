// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ExportTable.h"

#include <QString>

// A worksheet that a workbook gets beside the exported table, such as the description of the
// meter the rows came from.
struct ExportSheet
{
    QString name;
    ExportTable table;
};
