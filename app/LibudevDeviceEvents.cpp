// SPDX-License-Identifier: GPL-3.0-or-later
#include "LibudevDeviceEvents.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <cstring>
#include <libudev.h>

namespace {

struct WatchedClass
{
    const char *subsystem;
    const char *deviceType; // nullptr: any type of the subsystem
};

const WatchedClass watchedClasses[DeviceEvents::classCount] = {
    {"usb", "usb_device"},
    {"block", "disk"},
    {"hidraw", nullptr},
    {"net", nullptr},
};

} // namespace

LibudevDeviceEvents::LibudevDeviceEvents(QObject *parent) : DeviceEvents(parent) {}

LibudevDeviceEvents::~LibudevDeviceEvents()
{
    release();
}

void LibudevDeviceEvents::release()
{
    delete notifier;
    notifier = nullptr;
    if (monitor)
        udev_monitor_unref(monitor);
    monitor = nullptr;
    if (context)
        udev_unref(context);
    context = nullptr;
}

const char *LibudevDeviceEvents::netlinkSource()
{
    // Without a udev daemon nobody re-broadcasts the kernel's events on the "udev" source.
    return QFileInfo::exists(QStringLiteral("/run/udev/control")) ? "udev" : "kernel";
}

DeviceEvents::Event LibudevDeviceEvents::eventForAction(const char *action)
{
    if (!action)
        return Other;
    if (std::strcmp(action, "add") == 0)
        return Arrival;
    if (std::strcmp(action, "remove") == 0)
        return RemoveComplete;
    if (std::strcmp(action, "change") == 0)
        return TypeSpecific;
    return Other;
}

int LibudevDeviceEvents::start()
{
    release();
    context = udev_new();
    if (context)
        monitor = udev_monitor_new_from_netlink(context, netlinkSource());
    if (!monitor) {
        release();
        return classCount;
    }

    int failed = 0;
    for (const WatchedClass &watched : watchedClasses) {
        if (udev_monitor_filter_add_match_subsystem_devtype(monitor, watched.subsystem, watched.deviceType) < 0)
            ++failed;
    }
    if (failed == classCount || udev_monitor_enable_receiving(monitor) < 0) {
        release();
        return classCount;
    }

    // The monitor's socket is non-blocking: readEvents takes whatever is queued.
    notifier = new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &LibudevDeviceEvents::readEvents);
    return failed;
}

void LibudevDeviceEvents::readEvents()
{
    while (monitor) {
        struct udev_device *device = udev_monitor_receive_device(monitor);
        if (!device)
            return;
        const Event event = eventForAction(udev_device_get_action(device));
        udev_device_unref(device);
        Q_EMIT deviceEvent(event);
    }
}
