// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogTypes.h"

#include <QString>

// Reads the three INI catalogs. Each file holds numbered groups ("Device1", "Device2", ...); reading
// stops at the first group whose first key is empty or missing, so a gap in the numbering ends the
// catalog. A missing or unreadable file reads as empty and leaves the target unchanged.
class CatalogLoader
{
public:
    static const char *const meterFileName; // "meterno"
    static const char *const unitFileName;  // "unitno"
    static const char *const probeFileName; // "probeno"

    // The executable's directory when it holds any catalog file, otherwise the installed data
    // directory (share/lumivane under the installation prefix) when that holds one, otherwise the
    // executable's directory again (the catalogs then read as empty).
    static QString defaultDirectory();

    // Append the groups of <directory>/meterno as rows [MeterNo, UIIndex, Version].
    static void loadMeterCatalog(const QString &directory, MeterCatalog &catalog);
    // Append the groups of <directory>/unitno as rows [UnitNo, UnitName, DecimalNumber].
    static void loadUnitCatalog(const QString &directory, UnitCatalog &catalog);
    // Add the groups of <directory>/probeno to the map; a later group with the same ProbeNo
    // replaces the name of an earlier one, and entries already in the map stay.
    static void loadProbeCatalog(const QString &directory, ProbeNames &names);

    // A meter catalog can identify a meter when at least one row holds three whole numbers.
    static bool meterCatalogUsable(const MeterCatalog &catalog);
    // Why the meter catalog read from directory cannot identify a meter (no file, no numbered
    // group, no row of three whole numbers); empty when it can.
    static QString meterCatalogProblem(const QString &directory, const MeterCatalog &catalog);

private:
    static bool holdsCatalog(const QString &directory);
};
