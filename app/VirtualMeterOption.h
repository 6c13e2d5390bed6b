// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TransportFactory.h"

#include <QString>
#include <QStringList>

// The demo mode, `lumivane --virtual-meter[=IMAGE]`: the virtual meter playing a meter image
// takes the place of the USB transport and is plugged in from the start.
class VirtualMeterOption
{
public:
    static constexpr char option[] = "--virtual-meter";

    // Whether the arguments ask for the demo; imagePath gets IMAGE, or the default image.
    static bool requested(const QStringList &arguments, QString &imagePath);

    // The sample kind-1 meter: meters/kind1.json beside the executable, then in the installed
    // data directory, then in the source tree's samples. Empty when none exists.
    static QString defaultImage();

    // Loads the image; every transport of the factory talks to the same virtual meter, so the
    // meter keeps its state across link openings. False with a reason when the image is refused.
    static bool makeFactory(const QString &imagePath, TransportFactory &factory, QString &error);
};
