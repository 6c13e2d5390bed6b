// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The CIE S 026 α-opic action spectra as data (AlphaOpicTable.cpp): row i holds s_sc, s_mc, s_lc,
// s_rh, s_mel at 400 + 10·i nm, the meter's 31 wavelengths. AlphaOpic is the way in; only it and
// the tests of the data read this directly.
constexpr int alphaOpicRows = 31;
constexpr int alphaOpicColumns = 5;
extern const double alphaOpicTable[alphaOpicRows][alphaOpicColumns];
