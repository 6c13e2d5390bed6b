// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

// The light of the sample records: relative spectral shapes, a spectrum scaled to an
// illuminance, and its photon flux. Every value is computed in double in a fixed order of
// operations, so that the sample images stay the same byte for byte.
namespace SampleMaths {

// A relative spectral shape: its value at a wavelength in nm.
using LightShape = double (*)(int wavelength);

double whiteLed(int wavelength);
double incandescent(int wavelength); // a 2856 K black body
double daylight(int wavelength);
double growLight(int wavelength);

// `value` rounded to `digits` decimals: the decimal nearest to its exact binary value (ties to
// even), read back as the nearest double.
double roundDecimal(double value, int digits);

// The spectral values (uW/cm2/nm, one per wavelength of the meter's spectrum) of `shape`, scaled
// so that their photopic weighting gives about `lux`, each rounded to 3 decimals.
QList<double> spectrumFor(LightShape shape, double lux);

// The photon flux (umol/m2/s, rounded to 2 decimals) of a spectrum from spectrumFor() between
// the wavelengths `low` and `high` nm, both included.
double photonFlux(const QList<double> &spectrum, int low, int high);
// The same over the whole spectrum.
double photonFlux(const QList<double> &spectrum);

} // namespace SampleMaths
