// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"
#include "KeyInfo.h"
#include "MeterFlow.h"
#include "MeterState.h"

#include <QDateTime>

// Everything besides its memory that a download's tables are made from: the meter it came from,
// its kind, mode and unit slots as the download read them, which table it fills, the catalogs it
// is decoded with, and when it ended.
struct DownloadOrigin
{
    KeyInfo keyInfo;
    MeterState state;
    MeterFlow::Purpose purpose = MeterFlow::Records;
    UnitCatalog unitCatalog;
    ProbeNames probeNames;
    QDateTime downloaded;
};
