// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AlphaOpic.h"

#include <QString>

struct SpectralRecord;

// What the colour table knows of a record's effect on the eye's photoreceptors: its α-opic
// figures and the record's own photometric value, which the melanopic equivalent daylight
// illuminance (luminance) scales.
struct RecordOpic
{
    AlphaOpicMetrics metrics;
    bool hasPhotometric = false;
    double photometric = 0; // lx, or cd/m² for luminance meters

    static RecordOpic of(const SpectralRecord &record);
};

// The colour table's figures from CIE S 026 after the colour figures, in column order: the
// melanopic efficacy of luminous radiation (mW/lm), the melanopic daylight efficacy ratio and
// the melanopic equivalent daylight illuminance (lx; for luminance meters the equivalent daylight
// luminance, cd/m²) on screen, then the S-cone-opic, M-cone-opic, L-cone-opic and rhodopic
// daylight efficacy ratios, which only the export writes. Cells as ColourFigures writes them.
class MelanopicFigures
{
public:
    enum Figure {
        Efficacy,
        Der,
        EquivalentDaylight,
        SConeDer,
        MConeDer,
        LConeDer,
        RhodopicDer
    };
    static constexpr int ShownCount = EquivalentDaylight + 1;
    static constexpr int Count = RhodopicDer + 1;

    // luminance: the record is of a luminance meter, whose equivalent daylight figure is a
    // luminance (EDL, cd/m²) where the others' is an illuminance (EDI, lx).
    static QString title(Figure figure, bool chinese, bool luminance);
    // The figure's name in documents for scripts ("melanopic_der", the same in every language),
    // its unit ("mW/lm", "lx", "cd/m²" or empty) and the decimals its cell shows.
    static QString key(Figure figure, bool luminance);
    static QString unit(Figure figure, bool luminance);
    static int decimals(Figure figure);
    // The figure before rounding; meaningful only where has() is true.
    static double value(const RecordOpic &opic, Figure figure);
    // Whether the record gives the figure: not for a spectrum without a valid α-opic figure, the
    // equivalent daylight figure not without a photometric value, never a value that is not finite.
    static bool has(const RecordOpic &opic, Figure figure);
    // The figure's cell: its value with the figure's decimals, or "----" where has() is false.
    static QString text(const RecordOpic &opic, Figure figure, bool chinese);
};
