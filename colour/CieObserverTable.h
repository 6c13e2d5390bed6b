// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The CIE 1931 2° colour matching functions as data (CieObserverTable.cpp): row i holds x̄, ȳ, z̄ at
// 360 + i nm. CieObserver is the way in; only it and the tests of the data read this directly.
constexpr int cieObserverRows = 830 - 360 + 1;
extern const double cieObserverTable[cieObserverRows][3];
