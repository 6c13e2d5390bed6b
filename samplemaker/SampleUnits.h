// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

// The unit slots of the sample images (numbers of the unit catalogue's rows), one per record
// word, placed at the unit slots of the meter kind table's columns.
namespace SampleUnits {

// Lux for the light columns, UV power in uW/cm2: kinds 1, 2, 4 and 5.
QList<int> illuminanceUnits();
// cd/m2 for the light columns, no UV power unit: kind 3.
QList<int> luminanceUnits();
// The probe power meter's units: kind 6.
QList<int> probeUnits();

} // namespace SampleUnits
