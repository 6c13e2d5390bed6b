// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Where the window learns that devices came or went: the system's device notifications for USB
// devices, disks, HID devices and network interfaces. Tests feed events through their own source.
class DeviceEvents : public QObject
{
    Q_OBJECT

public:
    enum Event {
        Arrival,        // a device of one of the watched classes was added
        RemoveComplete, // a device of one of the watched classes is gone
        TypeSpecific,   // a device reported a change of its own
        Other           // any other notification
    };
    Q_ENUM(Event)

    // The four watched classes, in the order they are registered.
    static constexpr int classCount = 4;

    using QObject::QObject;

    // Starts delivering events. Returns how many of the watched classes could not be registered
    // (all of them when the source cannot be set up at all).
    virtual int start() = 0;

Q_SIGNALS:
    void deviceEvent(DeviceEvents::Event event);
};
