// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

#include <array>

// One catalog row as read from its file: exactly three values, unconverted.
using CatalogRow = QList<QVariant>;

// Rows [MeterNo, UIIndex, Version], in file order.
using MeterCatalog = QList<CatalogRow>;

// Rows [UnitNo, UnitName, DecimalNumber], in file order; the row at index i is unit number i.
using UnitCatalog = QList<CatalogRow>;

// ProbeNo text -> ProbeName.
using ProbeNames = QMap<QString, QString>;

// For each meter kind 1..6 (index kind - 1): the decimals of its measurement columns, in column order.
using DecimalsLists = std::array<QList<int>, 6>;
