// SPDX-License-Identifier: GPL-3.0-or-later
#include "CieObserver.h"

#include "CieObserverTable.h"

static_assert(CieObserver::lastWavelength - CieObserver::firstWavelength + 1 == cieObserverRows);

Tristimulus CieObserver::at(int wavelengthNm)
{
    if (wavelengthNm < firstWavelength || wavelengthNm > lastWavelength)
        return {};
    const double *row = cieObserverTable[wavelengthNm - firstWavelength];
    return {row[0], row[1], row[2]};
}

ChromaticityXy CieObserver::spectralLocus(int wavelengthNm)
{
    if (wavelengthNm < firstWavelength || wavelengthNm > lastWavelength)
        return {};
    return ColourSpaces::xyOf(at(wavelengthNm));
}
