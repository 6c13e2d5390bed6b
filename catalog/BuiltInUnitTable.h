// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"

// The program's own fixed unit table: 109 rows [unit number, unit text, decimals], the unit number
// equal to the row index. The export titles its columns from it, independent of the unitno file.
class BuiltInUnitTable
{
public:
    static constexpr int rowCount = 109;
    static UnitCatalog rows();
};
