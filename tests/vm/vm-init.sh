#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# /init of the VM test image (busybox sh as PID 1). Loads the HID modules, runs the test script
# /opt/lumivane/test.sh, prints one result line that the host looks for, sends the files the
# script left in /out to the host over the second serial port, and powers off.
# The kernel parameter lumivane.timeout=SECONDS bounds the test script.

/bin/busybox --install -s /bin
export PATH=/opt/lumivane/bin:/bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
mkdir -p /tmp/runtime && chmod 0700 /tmp/runtime

result() {
    echo "LUMIVANE-VM-RESULT: $*"
}

power_off() {
    sync
    poweroff -f
    # Should poweroff fail, ending PID 1 panics the kernel, and panic=-1 with -no-reboot stops qemu.
    exit 1
}

timeout_s=120
for arg in $(cat /proc/cmdline); do
    case "$arg" in
        lumivane.timeout=*) timeout_s="${arg#lumivane.timeout=}" ;;
    esac
done

echo "LUMIVANE-VM: kernel $(uname -r) up after $(cut -d' ' -f1 /proc/uptime) s"

# hidraw lives in hid.ko; hid-generic binds the UHID device; uhid provides /dev/uhid.
for mod in hid hid-generic uhid; do
    if ! insmod "/lib/modules/$mod.ko"; then
        result "FAIL (insmod $mod failed)"
        power_off
    fi
done
if [ ! -c /dev/uhid ]; then
    result "FAIL (/dev/uhid did not appear)"
    power_off
fi

export HOME=/root XDG_RUNTIME_DIR=/tmp/runtime LANG=C.UTF-8
export LD_LIBRARY_PATH="$(cat /etc/lumivane-libpath)"
export VM_DATA=/opt/lumivane/data VM_OUT=/out
. /etc/lumivane-env
# Sanitizer builds: report to the console, and no colour codes in the log.
export ASAN_OPTIONS="detect_leaks=1:color=never" UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:color=never"

echo "LUMIVANE-VM: running the test script (limit ${timeout_s} s)"
cd /tmp
timeout "$timeout_s" sh /opt/lumivane/test.sh
rc=$?
if [ "$rc" -eq 0 ]; then
    result "PASS"
elif [ "$rc" -eq 143 ]; then
    result "FAIL (test script timed out after ${timeout_s} s)"
else
    result "FAIL (test script exit status $rc)"
fi

# Files for the host: a tar archive in base64 between two marker lines on ttyS1.
if [ -n "$(ls -A /out)" ] && [ -c /dev/ttyS1 ]; then
    {
        echo "LUMIVANE-OUT-BEGIN"
        tar -C /out -cf - . | base64
        echo "LUMIVANE-OUT-END"
    } >/dev/ttyS1
fi
power_off
