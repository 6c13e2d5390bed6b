// SPDX-License-Identifier: GPL-3.0-or-later
// The CIE S 026:2018 α-opic action spectra (32-year-old reference observer, at the cornea):
// s_sc (S-cone-opic), s_mc (M-cone-opic), s_lc (L-cone-opic), s_rh (rhodopic), s_mel (melanopic),
// each with a maximum of 1, at the meter's 31 wavelengths, 400 nm to 700 nm in steps of 10 nm.
//
// Origin: CIE (2018), "CIE alpha-opic action spectra", International Commission on Illumination,
// Vienna, data table CIE_a-opic_action_spectra.csv, DOI 10.25039/CIE.DS.vqqhzp5a (Table 2 of
// CIE S 026/E:2018, 380 nm to 780 nm in steps of 1 nm). The CIE derives them from the CIE 2006
// 10° cone fundamentals (S, M, L), the CIE 1951 scotopic V'(λ) (rhodopic) and a Govardovskii
// nomogram with λmax 480 nm and the lens transmittance of a 32-year-old (melanopic). The rows
// here are the table's 10 nm rows, each value as the CIE publishes it; the table leaves s_sc
// blank above 615 nm, which the CIE reads as zero. Column sums, a check against any edit:
// s_sc 5.533027, s_mc 10.189636, s_lc 11.949504, s_rh 9.705275, s_mel 8.777991.
//
// The rows outside 400 nm to 700 nm are not needed: the meter measures nothing there.

#include "AlphaOpicTable.h"

const double alphaOpicTable[alphaOpicRows][alphaOpicColumns] = {
    {3.96308e-02, 2.37208e-03, 2.54073e-03, 9.29e-03, 1.14277e-02}, // 400
    {1.78530e-01, 9.98841e-03, 9.98835e-03, 3.484e-02, 4.61550e-02}, // 410
    {4.62692e-01, 2.73163e-02, 2.33957e-02, 9.66e-02, 1.37237e-01}, // 420
    {7.56885e-01, 5.55384e-02, 3.97810e-02, 1.998e-01, 2.53865e-01}, // 430
    {9.66960e-01, 9.57612e-02, 5.94619e-02, 3.281e-01, 4.01587e-01}, // 440
    {9.91329e-01, 1.39493e-01, 7.95647e-02, 4.55e-01, 5.53715e-01}, // 450
    {8.23726e-01, 1.93202e-01, 1.06663e-01, 5.67e-01, 7.08049e-01}, // 460
    {6.10456e-01, 2.71441e-01, 1.51651e-01, 6.76e-01, 8.60291e-01}, // 470
    {3.50108e-01, 3.55066e-01, 2.07940e-01, 7.93e-01, 9.65605e-01}, // 480
    {1.85297e-01, 4.56137e-01, 2.82752e-01, 9.04e-01, 1}, // 490
    {9.67990e-02, 5.91003e-01, 3.91705e-01, 9.82e-01, 9.65952e-01}, // 500
    {4.12337e-02, 7.43612e-01, 5.26538e-01, 9.97e-01, 8.62888e-01}, // 510
    {1.76298e-02, 8.89214e-01, 6.75313e-01, 9.35e-01, 6.99628e-01}, // 520
    {7.17089e-03, 9.61962e-01, 7.88900e-01, 8.11e-01, 5.19309e-01}, // 530
    {2.83352e-03, 9.98931e-01, 8.90871e-01, 6.50e-01, 3.51707e-01}, // 540
    {1.08230e-03, 9.61876e-01, 9.44527e-01, 4.81e-01, 2.15722e-01}, // 550
    {4.08931e-04, 8.90949e-01, 9.85636e-01, 3.288e-01, 1.18526e-01}, // 560
    {1.55688e-04, 7.76526e-01, 9.99543e-01, 2.076e-01, 5.87013e-02}, // 570
    {6.04705e-05, 6.11728e-01, 9.57841e-01, 1.212e-01, 2.68747e-02}, // 580
    {2.42549e-05, 4.54142e-01, 9.06693e-01, 6.55e-02, 1.17901e-02}, // 590
    {1.01356e-05, 3.04378e-01, 8.03173e-01, 3.315e-02, 5.06686e-03}, // 600
    {4.43906e-06, 1.85104e-01, 6.68991e-01, 1.593e-02, 2.17698e-03}, // 610
    {0, 1.04573e-01, 5.17449e-01, 7.37e-03, 9.47313e-04}, // 620
    {0, 5.54990e-02, 3.69168e-01, 3.335e-03, 4.17955e-04}, // 630
    {0, 2.80314e-02, 2.42316e-01, 1.497e-03, 1.88341e-04}, // 640
    {0, 1.37660e-02, 1.49509e-01, 6.77e-04, 8.65751e-05}, // 650
    {0, 6.50455e-03, 8.38077e-02, 3.129e-04, 4.06945e-05}, // 660
    {0, 3.06050e-03, 4.48132e-02, 1.480e-04, 1.95535e-05}, // 670
    {0, 1.45798e-03, 2.27738e-02, 7.15e-05, 9.57637e-06}, // 680
    {0, 6.77653e-04, 1.09123e-02, 3.533e-05, 4.78804e-06}, // 690
    {0, 3.25278e-04, 5.28607e-03, 1.780e-05, 2.43819e-06}, // 700
};
