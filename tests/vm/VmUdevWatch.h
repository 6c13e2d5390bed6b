// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

struct udev;
struct udev_monitor;

// A hidraw node as the kernel announced it, with the identity of its HID device.
struct HidrawNode
{
    std::string sysname; // hidrawN
    std::string devnode; // /dev/hidrawN
    std::string hidId;   // HID_ID of the HID device: bus:vendor:product
    std::string uniq;    // HID_UNIQ: the serial-number string
};

// hidraw "add"/"remove" events from a libudev monitor on the "kernel" netlink source (the VM
// runs no udev daemon, so the "udev" source would stay silent).
class VmUdevWatch
{
public:
    VmUdevWatch() = default;
    ~VmUdevWatch();
    VmUdevWatch(const VmUdevWatch &) = delete;
    VmUdevWatch &operator=(const VmUdevWatch &) = delete;

    bool start();
    // Waits for the "add" of a hidraw node whose HID device has HID_UNIQ == serial.
    bool waitForAdd(const std::string &serial, int timeoutMs, HidrawNode &node);
    // Waits for the "remove" of the hidraw node with that sysname.
    bool waitForRemove(const std::string &sysname, int timeoutMs);
    // Whether libudev's enumeration of subsystem hidraw lists sysname under a HID device with
    // HID_UNIQ == serial: the look-up that hidapi makes.
    static bool enumerateHasSerial(const std::string &sysname, const std::string &serial);
    // The hidraw node that libudev's enumeration lists with HID_UNIQ == serial.
    static bool findBySerial(const std::string &serial, HidrawNode &node);

    const std::string &error() const { return errorText; }

private:
    // Next hidraw event within the deadline; false on time-out or failure (errorText set).
    bool nextEvent(long long deadlineMs, std::string &action, std::string &sysname, std::string &devnode);

    udev *udevContext = nullptr;
    udev_monitor *monitor = nullptr;
    std::string errorText;
};

// Reads HID_ID and HID_UNIQ from /sys/class/hidraw/<sysname>/device/uevent.
bool readHidIdentity(const std::string &sysname, HidrawNode &node);
