// SPDX-License-Identifier: GPL-3.0-or-later
// lumivane-vm-probe: checks, inside the test VM, that a UHID meter behaves like a plugged-in
// meter to the kernel's hidraw driver and to libudev.
//
//   lumivane-vm-probe --serial S [--exchanges N] [--reply keyinfo|echo] [--vanish-after K]
//                     [-- METER_COMMAND [ARGS...]]
//
// It starts a libudev monitor (netlink source "kernel": no udev daemon runs in the VM), starts
// the meter command, and then checks in order:
//  1. a hidraw "add" event arrives for a device whose HID device reports HID_ID 0003:2047:0301
//     and HID_UNIQ S (hidraw numbers are reused, so the serial identifies the device);
//  2. libudev enumeration lists that hidraw node with the same serial;
//  3. N request/reply exchanges through /dev/hidrawN succeed: the key-information request is
//     answered with a valid frame carrying serial S (or, with --reply echo, the same report);
//  4. without --vanish-after: SIGTERM to the meter removes the device ("remove" event) and the
//     meter exits with status 0; with --vanish-after K: exactly K exchanges succeed, then the
//     device fails transfers and a "remove" event arrives without any signal.
// Without a meter command it checks a meter that is already there: it looks the serial up
// through libudev enumeration and runs steps 2 and 3 only (with --vanish-after K: exactly K
// exchanges succeed, then the device is gone).
// Exit status 0 when every check passed; each failure prints one line starting with "FAIL".
//
//   lumivane-vm-probe --run-as UID:GID COMMAND [ARGS...]
//
// runs COMMAND as that user and group, without supplementary groups (busybox has no su or
// setpriv), for tests of what an unprivileged user meets; the exit status is COMMAND's.

#include "VmHidrawExchange.h"
#include "VmUdevWatch.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Options
{
    std::string serial;
    int exchanges = 1;
    bool echo = false;
    int vanishAfter = 0;
    std::vector<char *> command;
};

int usage()
{
    std::fprintf(stderr, "usage: lumivane-vm-probe --serial S [--exchanges N] [--reply keyinfo|echo] "
                         "[--vanish-after K] [-- METER_COMMAND [ARGS...]]\n"
                         "       lumivane-vm-probe --run-as UID:GID COMMAND [ARGS...]\n");
    return 2;
}

// Drops to uid:gid and replaces this process by the command; returns only on failure. The group
// goes first: once the user is not root, setgroups and setgid are refused.
int runAs(const char *ids, char *command[])
{
    unsigned uid = 0, gid = 0;
    char end = 0;
    if (std::sscanf(ids, "%u:%u%c", &uid, &gid, &end) != 2 || !command[0])
        return usage();
    if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0) {
        std::printf("FAIL: cannot become %u:%u: %s\n", uid, gid, std::strerror(errno));
        return 1;
    }
    execvp(command[0], command);
    std::printf("FAIL: cannot start %s: %s\n", command[0], std::strerror(errno));
    return 127;
}

bool parse(int argc, char *argv[], Options &opt)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--") {
            opt.command.assign(argv + i + 1, argv + argc);
            break;
        } else if (arg == "--serial" && hasValue) {
            opt.serial = argv[++i];
        } else if (arg == "--exchanges" && hasValue) {
            opt.exchanges = std::atoi(argv[++i]);
        } else if (arg == "--reply" && hasValue) {
            const std::string mode = argv[++i];
            if (mode != "echo" && mode != "keyinfo")
                return false;
            opt.echo = mode == "echo";
        } else if (arg == "--vanish-after" && hasValue) {
            opt.vanishAfter = std::atoi(argv[++i]);
        } else {
            return false;
        }
    }
    if (opt.serial.empty() || opt.serial.size() > 10 || opt.serial.find_first_not_of("0123456789") != std::string::npos
        || std::stoull(opt.serial) > 0xFFFFFFFFull)
        return false;
    if (opt.exchanges < 1 || opt.vanishAfter < 0)
        return false;
    if (!opt.command.empty())
        opt.command.push_back(nullptr);
    return true;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Waits for the meter process; true when it ended with status 0.
bool meterExitedCleanly(pid_t pid)
{
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) {
        std::printf("FAIL: waitpid on the meter: %s\n", std::strerror(errno));
        return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    if (WIFEXITED(status))
        std::printf("FAIL: the meter exited with status %d\n", WEXITSTATUS(status));
    else
        std::printf("FAIL: the meter ended by signal %d\n", WTERMSIG(status));
    return false;
}

// Runs up to `count` exchanges and stops at the first failure; returns how many succeeded.
int exchange(VmHidrawExchange &hidraw, const Options &opt, int count)
{
    const uint32_t serialNo = static_cast<uint32_t>(std::stoul(opt.serial));
    int replies = 0;
    for (int i = 0; i < count; ++i) {
        const bool ok =
            opt.echo ? hidraw.exchangeEcho(static_cast<unsigned char>(i)) : hidraw.exchangeKeyInfo(serialNo);
        if (!ok)
            break;
        ++replies;
    }
    return replies;
}

int fail(pid_t meter, const char *what)
{
    std::printf("FAIL: %s\n", what);
    if (meter > 0) {
        kill(meter, SIGKILL);
        waitpid(meter, nullptr, 0);
    }
    return 1;
}

// After `expected` successful exchanges the device must have gone: the next one failed with
// "no such device", an I/O error or a hang-up, not with a time-out or a wrong reply.
int checkVanish(const VmHidrawExchange &hidraw, int replies, int expected, pid_t meter)
{
    if (replies != expected) {
        const std::string what = "expected exactly " + std::to_string(expected)
                                 + " exchanges before the device vanished, got " + std::to_string(replies)
                                 + " (last error: " + hidraw.error() + ")";
        return fail(meter, what.c_str());
    }
    if (!hidraw.deviceGone())
        return fail(meter,
                    ("the exchange after the last reply failed without the device going: " + hidraw.error()).c_str());
    std::printf("probe: %d exchanges, then the device went (%s)\n", replies, hidraw.error().c_str());
    return 0;
}

// The meter is already plugged in: find it by serial and exchange with it.
int checkPresentMeter(const Options &opt)
{
    HidrawNode node;
    if (!VmUdevWatch::findBySerial(opt.serial, node))
        return fail(0, ("libudev enumeration lists no hidraw node with serial " + opt.serial).c_str());
    if (node.hidId != "0003:00002047:00000301")
        return fail(0, ("HID_ID is " + node.hidId + ", expected 0003:00002047:00000301").c_str());
    VmHidrawExchange hidraw;
    if (!hidraw.open(node.devnode))
        return fail(0, hidraw.error().c_str());
    if (opt.vanishAfter > 0)
        return checkVanish(hidraw, exchange(hidraw, opt, opt.vanishAfter + 1), opt.vanishAfter, 0);
    const int replies = exchange(hidraw, opt, opt.exchanges);
    if (replies != opt.exchanges)
        return fail(0, ("exchange " + std::to_string(replies + 1) + " failed: " + hidraw.error()).c_str());
    std::printf("probe: %d exchanges with %s (serial %s)\n", replies, node.devnode.c_str(), opt.serial.c_str());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 2 && std::strcmp(argv[1], "--run-as") == 0)
        return runAs(argv[2], argv + 3);

    Options opt;
    if (!parse(argc, argv, opt))
        return usage();

    if (opt.command.empty())
        return checkPresentMeter(opt);

    VmUdevWatch watch;
    if (!watch.start())
        return fail(0, watch.error().c_str());

    const auto started = std::chrono::steady_clock::now();
    const pid_t meter = fork();
    if (meter < 0)
        return fail(0, "fork");
    if (meter == 0) {
        execvp(opt.command[0], opt.command.data());
        std::fprintf(stderr, "cannot start %s: %s\n", opt.command[0], std::strerror(errno));
        _exit(127);
    }

    // 1. The "add" event of the meter's hidraw node, identified by its serial.
    HidrawNode node;
    if (!watch.waitForAdd(opt.serial, 10000, node))
        return fail(meter, watch.error().c_str());
    std::printf("probe: %s added after %.2f s (%s)\n", node.devnode.c_str(), secondsSince(started), node.hidId.c_str());
    if (node.hidId != "0003:00002047:00000301")
        return fail(meter, ("HID_ID is " + node.hidId + ", expected 0003:00002047:00000301").c_str());

    // 2. Enumeration, as hidapi does it.
    if (!VmUdevWatch::enumerateHasSerial(node.sysname, opt.serial))
        return fail(meter,
                    ("libudev enumeration does not list " + node.sysname + " with serial " + opt.serial).c_str());

    // 3. Exchanges through the hidraw node.
    VmHidrawExchange hidraw;
    if (!hidraw.open(node.devnode))
        return fail(meter, hidraw.error().c_str());
    const auto exchangeStart = std::chrono::steady_clock::now();
    const int replies = exchange(hidraw, opt, opt.vanishAfter > 0 ? opt.vanishAfter + 1 : opt.exchanges);
    const double exchangeSeconds = secondsSince(exchangeStart);

    if (opt.vanishAfter > 0) {
        if (checkVanish(hidraw, replies, opt.vanishAfter, meter) != 0)
            return 1;
    } else {
        if (replies != opt.exchanges)
            return fail(meter, ("exchange " + std::to_string(replies + 1) + " failed: " + hidraw.error()).c_str());
        std::printf("probe: %d exchanges in %.3f s\n", replies, exchangeSeconds);
    }
    hidraw.close();

    // 4. Removal: by signal, or on its own after the vanish count.
    if (opt.vanishAfter == 0)
        kill(meter, SIGTERM);
    if (!watch.waitForRemove(node.sysname, 10000))
        return fail(meter, watch.error().c_str());
    std::printf("probe: %s removed\n", node.devnode.c_str());
    if (!meterExitedCleanly(meter))
        return 1;
    std::printf("probe: PASS (serial %s)\n", opt.serial.c_str());
    return 0;
}
