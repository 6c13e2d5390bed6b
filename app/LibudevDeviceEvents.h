// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DeviceEvents.h"

struct udev;
struct udev_monitor;
class QSocketNotifier;

// Device events from a libudev monitor, read on the GUI thread through a socket notifier. The
// watched classes are USB devices (subsystem usb, type usb_device), disks (block, disk), HID
// devices (hidraw) and network interfaces (net). The monitor listens to the udev daemon's
// events, or to the kernel's where no udev daemon runs.
class LibudevDeviceEvents final : public DeviceEvents
{
    Q_OBJECT

public:
    explicit LibudevDeviceEvents(QObject *parent = nullptr);
    ~LibudevDeviceEvents() override;

    int start() override;

    // "add" is an arrival, "remove" the completed removal, "change" a device's own event.
    static Event eventForAction(const char *action);
    // "udev" while a udev daemon runs (its control socket exists), "kernel" otherwise.
    static const char *netlinkSource();

private:
    void readEvents();
    void release();

    struct udev *context = nullptr;
    struct udev_monitor *monitor = nullptr;
    QSocketNotifier *notifier = nullptr;
};
