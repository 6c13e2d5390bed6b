// SPDX-License-Identifier: GPL-3.0-or-later
#include "SampleMaths.h"

#include "MeterFacts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace SampleMaths {

namespace {

int wavelengthAt(int index)
{
    return MeterFacts::FirstWavelength + index * MeterFacts::WavelengthStep;
}

double planck(int wavelengthNm, int kelvin)
{
    const double wavelength = wavelengthNm * 1e-9;
    return 1.0 / (std::pow(wavelength, 5.0) * (std::exp(1.4388e-2 / (wavelength * kelvin)) - 1.0));
}

double gauss(int wavelength, int centre, int width)
{
    return std::exp(-0.5 * std::pow(double(wavelength - centre) / double(width), 2.0));
}

// The CIE photopic luminous efficiency, as a Gaussian fit.
double photopic(int wavelength)
{
    const double micrometres = wavelength / 1000.0;
    return 1.019 * std::exp(-285.4 * std::pow(micrometres - 0.559, 2.0));
}

} // namespace

double whiteLed(int wavelength)
{
    return 1.0 * gauss(wavelength, 450, 10) + 0.75 * gauss(wavelength, 570, 55) + 0.25 * gauss(wavelength, 620, 35);
}

double incandescent(int wavelength)
{
    return planck(wavelength, 2856) / planck(560, 2856);
}

// A 6500 K body with the dip around 480-520 nm that real daylight shows.
double daylight(int wavelength)
{
    return planck(wavelength, 6500) / planck(560, 6500) * (1.0 - 0.06 * gauss(wavelength, 490, 25));
}

double growLight(int wavelength)
{
    return 0.8 * gauss(wavelength, 450, 12) + 1.0 * gauss(wavelength, 660, 12) + 0.08 * gauss(wavelength, 560, 60);
}

double roundDecimal(double value, int digits)
{
    // printf rounds the exact binary value correctly; strtod reads the text back in the same
    // locale, so a locale's decimal separator does not matter.
    const int length = std::snprintf(nullptr, 0, "%.*f", digits, value);
    std::string text(size_t(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", digits, value);
    return std::strtod(text.c_str(), nullptr);
}

QList<double> spectrumFor(LightShape shape, double lux)
{
    QList<double> relative;
    for (int i = 0; i < MeterFacts::SpectralValueCount; ++i)
        relative.append(shape(wavelengthAt(i)));
    // E = 683 lm/W * sum(S[W/m2/nm] * V * step nm), each value standing for the band of one
    // wavelength step; 1 uW/cm2/nm = 0.01 W/m2/nm
    double weighted = 0.0;
    for (int i = 0; i < relative.size(); ++i)
        weighted += relative[i] * 0.01 * photopic(wavelengthAt(i)) * MeterFacts::WavelengthStep;
    const double scale = lux / (weighted * 683);

    QList<double> spectrum;
    for (const double value : relative)
        spectrum.append(roundDecimal(value * scale, 3));
    return spectrum;
}

double photonFlux(const QList<double> &spectrum, int low, int high)
{
    double total = 0.0;
    for (int i = 0; i < spectrum.size(); ++i) {
        const int wavelength = wavelengthAt(i);
        if (low <= wavelength && wavelength <= high)
            total += spectrum[i] * 0.01 * MeterFacts::WavelengthStep * wavelength / 119.63;
    }
    return roundDecimal(total, 2);
}

double photonFlux(const QList<double> &spectrum)
{
    return photonFlux(spectrum, MeterFacts::FirstWavelength, wavelengthAt(MeterFacts::SpectralValueCount - 1));
}

} // namespace SampleMaths
