// SPDX-License-Identifier: GPL-3.0-or-later
#include "VmUdevWatch.h"

#include <libudev.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <poll.h>

namespace {

long long nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string orEmpty(const char *s)
{
    return s ? std::string(s) : std::string();
}

} // namespace

bool readHidIdentity(const std::string &sysname, HidrawNode &node)
{
    std::ifstream uevent("/sys/class/hidraw/" + sysname + "/device/uevent");
    if (!uevent)
        return false;
    std::string line;
    while (std::getline(uevent, line)) {
        if (line.rfind("HID_ID=", 0) == 0)
            node.hidId = line.substr(7);
        else if (line.rfind("HID_UNIQ=", 0) == 0)
            node.uniq = line.substr(9);
    }
    return true;
}

VmUdevWatch::~VmUdevWatch()
{
    if (monitor)
        udev_monitor_unref(monitor);
    if (udevContext)
        udev_unref(udevContext);
}

bool VmUdevWatch::start()
{
    udevContext = udev_new();
    if (!udevContext) {
        errorText = "udev_new failed";
        return false;
    }
    monitor = udev_monitor_new_from_netlink(udevContext, "kernel");
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0
        || udev_monitor_enable_receiving(monitor) < 0) {
        errorText = "cannot set up a libudev monitor on the kernel source";
        return false;
    }
    return true;
}

bool VmUdevWatch::nextEvent(long long deadlineMs, std::string &action, std::string &sysname, std::string &devnode)
{
    for (;;) {
        const long long left = deadlineMs - nowMs();
        if (left <= 0) {
            errorText = "timed out waiting for a hidraw event";
            return false;
        }
        pollfd pfd = {udev_monitor_get_fd(monitor), POLLIN, 0};
        const int n = poll(&pfd, 1, static_cast<int>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            errorText = std::string("poll on the monitor: ") + std::strerror(errno);
            return false;
        }
        if (n == 0)
            continue;
        udev_device *dev = udev_monitor_receive_device(monitor);
        if (!dev)
            continue;
        action = orEmpty(udev_device_get_action(dev));
        sysname = orEmpty(udev_device_get_sysname(dev));
        devnode = orEmpty(udev_device_get_devnode(dev));
        const std::string subsystem = orEmpty(udev_device_get_subsystem(dev));
        udev_device_unref(dev);
        if (subsystem == "hidraw")
            return true;
    }
}

bool VmUdevWatch::waitForAdd(const std::string &serial, int timeoutMs, HidrawNode &node)
{
    const long long deadline = nowMs() + timeoutMs;
    std::string action, sysname, devnode;
    while (nextEvent(deadline, action, sysname, devnode)) {
        if (action != "add")
            continue;
        HidrawNode candidate;
        candidate.sysname = sysname;
        candidate.devnode = devnode.empty() ? "/dev/" + sysname : devnode;
        if (!readHidIdentity(sysname, candidate)) {
            std::printf("probe: %s was added but has no readable device/uevent\n", sysname.c_str());
            continue;
        }
        if (candidate.uniq == serial) {
            node = candidate;
            return true;
        }
        std::printf("probe: ignoring %s (HID_UNIQ '%s')\n", sysname.c_str(), candidate.uniq.c_str());
    }
    errorText = "no hidraw \"add\" event for serial " + serial + ": " + errorText;
    return false;
}

bool VmUdevWatch::waitForRemove(const std::string &sysname, int timeoutMs)
{
    const long long deadline = nowMs() + timeoutMs;
    std::string action, name, devnode;
    while (nextEvent(deadline, action, name, devnode)) {
        if (action == "remove" && name == sysname)
            return true;
    }
    errorText = "no hidraw \"remove\" event for " + sysname + ": " + errorText;
    return false;
}

bool VmUdevWatch::enumerateHasSerial(const std::string &sysname, const std::string &serial)
{
    HidrawNode node;
    return findBySerial(serial, node) && node.sysname == sysname;
}

bool VmUdevWatch::findBySerial(const std::string &serial, HidrawNode &node)
{
    udev *u = udev_new();
    if (!u)
        return false;
    udev_enumerate *en = udev_enumerate_new(u);
    udev_enumerate_add_match_subsystem(en, "hidraw");
    udev_enumerate_scan_devices(en);
    bool found = false;
    udev_list_entry *entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en))
    {
        udev_device *dev = udev_device_new_from_syspath(u, udev_list_entry_get_name(entry));
        if (!dev)
            continue;
        // The parent is owned by the child device and must not be unreferenced.
        udev_device *hid = udev_device_get_parent_with_subsystem_devtype(dev, "hid", nullptr);
        if (!found && hid && orEmpty(udev_device_get_property_value(hid, "HID_UNIQ")) == serial) {
            node.sysname = orEmpty(udev_device_get_sysname(dev));
            node.devnode = orEmpty(udev_device_get_devnode(dev));
            if (node.devnode.empty())
                node.devnode = "/dev/" + node.sysname;
            node.hidId = orEmpty(udev_device_get_property_value(hid, "HID_ID"));
            node.uniq = serial;
            found = true;
        }
        udev_device_unref(dev);
    }
    udev_enumerate_unref(en);
    udev_unref(u);
    return found;
}
