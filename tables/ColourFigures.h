// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SpectrumColour.h"

#include <QString>

// The figures that the colour table shows of a record after its number and name, in column order:
// what each is called and how its cell reads. Cells are in fixed notation with the C locale ('.'
// as decimal point, no group separators), as the other tables write their values, so that an
// export stores them as numbers.
class ColourFigures
{
public:
    enum Figure {
        X,
        Y,
        UPrime,
        VPrime,
        Cct,
        Duv,
        Peak,
        Dominant, // negative: minus the complementary wavelength of a purple
        Purity    // percent
    };
    static constexpr int Count = Purity + 1;

    static QString title(Figure figure, bool chinese);
    // The figure's name in documents for scripts ("x", "cct", "purity"), its unit ("K", "nm", "%"
    // or empty) and the decimals its cell shows.
    static QString key(Figure figure);
    static QString unit(Figure figure);
    static int decimals(Figure figure);
    // The figure as the cell shows it before rounding (a dominant wavelength negative for a
    // purple, purity in percent); meaningful only where has() is true.
    static double value(const ColourMetrics &metrics, Figure figure);
    // Whether the record's colour gives the figure: not for an invalid spectrum, CCT and Duv not
    // away from the Planckian locus, and never a value that is not finite.
    static bool has(const ColourMetrics &metrics, Figure figure);
    // The figure's cell: its value with the figure's decimals, or "----" where has() is false.
    static QString text(const ColourMetrics &metrics, Figure figure, bool chinese);

    // value with `decimals` decimals in fixed notation. A value that rounds to zero reads as zero
    // without a sign ("0.0000", never "-0.0000"), which a spreadsheet could not show.
    static QString fixed(double value, int decimals);
};
