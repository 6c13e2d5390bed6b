// SPDX-License-Identifier: GPL-3.0-or-later
#include "BuiltInUnitTable.h"

namespace {

struct UnitEntry
{
    const char *text;
    int decimals;
};

// Index = unit number.
const UnitEntry entries[BuiltInUnitTable::rowCount] = {
    {"", 0},          {"", 1},         {"", 2},         {"", 3},          {"", 4},          {"Lux", 0},
    {"Lux", 1},       {"FC", 0},       {"FC", 1},       {"μW/c㎡", 0},    {"μW/c㎡", 1},    {"μW/c㎡", 2},
    {"μW/c㎡", 3},    {"mW/c㎡", 4},   {"W/㎡", 3},     {"Hz", 0},        {"%", 0},         {"%", 1},
    {"K", 0},         {"℃", 1},        {"RH", 1},       {"μmol/㎡/s", 1}, {"μmol/㎡/s", 2}, {"μmol/㎡/s", 3},
    {"μW/c㎡/nm", 3}, {"cd/㎡", 0},    {"cd/㎡", 1},    {"cd/㎡", 2},     {"fL", 0},        {"fL", 1},
    {"fL", 2},        {"mW/c㎡", 3},   {"W/㎡", 2},     {"μm", 0},        {"μm", 1},        {"μm", 2},
    {"m/s", 0},       {"m/s", 1},      {"mil", 0},      {"mil", 1},       {"mil", 2},       {"mil", 3},
    {"mm", 0},        {"mm", 1},       {"mm", 2},       {"mm", 3},        {"in/ms", 0},     {"in/ms", 1},
    {"in", 1},        {"in", 2},       {"in", 3},       {"COD", 1},       {"COD", 2},       {"TOC", 1},
    {"TOC", 2},       {"TDS", 0},      {"盐度", 2},     {"硬度", 0},      {"比重", 4},      {"mg/L", 1},
    {"mg/L", 2},      {"ppm", 0},      {"au/cm", 3},    {"us/cm", 0},     {"%", 2},         {"分", 0},
    {"水质优秀", 0},  {"水质良好", 0}, {"水质一般", 0}, {"水质较差", 0},  {"盐水", 0},      {"超盐水", 0},
    {"HRA", 1},       {"HRB", 1},      {"HRC", 1},      {"HRD", 1},       {"HRE", 1},       {"HRF", 1},
    {"HRG", 1},       {"HRH", 1},      {"HRK", 1},      {"HR15N", 1},     {"HR30N", 1},     {"HR45N", 1},
    {"HR15T", 1},     {"HR30T", 1},    {"HR45T", 1},    {"HV", 0},        {"NTU", 1},       {"NTU", 2},
    {"HL", 0},        {"HB", 0},       {"HS", 1},       {"σb", 0},        {"HWA", 1},       {"HB", 1},
    {"淡水", 0},      {"mW/c㎡", 1},   {"W/㎡", 0},     {"mW/c㎡", 0},    {"W/c㎡", 3},     {"mJ/c㎡", 1},
    {"J/㎡", 0},      {"mJ/c㎡", 0},   {"J/c㎡", 3},    {"uJ/c㎡", 1},    {"mJ/c㎡", 4},    {"J/㎡", 3},
    {"s", 1},
};

} // namespace

UnitCatalog BuiltInUnitTable::rows()
{
    UnitCatalog table;
    table.reserve(rowCount);
    for (int i = 0; i < rowCount; ++i)
        table.append(CatalogRow{i, QString::fromUtf8(entries[i].text), entries[i].decimals});
    return table;
}
