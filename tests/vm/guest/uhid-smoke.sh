# SPDX-License-Identifier: GPL-3.0-or-later
# Runs inside the test VM (busybox sh): the UHID meter seen through hidraw and libudev.
# lumivane-vm-probe starts each meter itself, after its libudev monitor is listening.
set -e

echo "== meter 12345: identity, enumeration, 1000 exchanges, removal on SIGTERM"
lumivane-vm-probe --serial 12345 --exchanges 1000 -- \
    lumivane-uhid-meter "$VM_DATA/smoke-kind1.json"

echo "== meter 3000000001 (hidraw number reused): vanishes after 3 replies"
lumivane-vm-probe --serial 3000000001 --vanish-after 3 -- \
    lumivane-uhid-meter "$VM_DATA/smoke-high-serial.json" --vanish-after 3

echo "== two meters at once: the probe picks its own by serial"
lumivane-uhid-meter "$VM_DATA/smoke-kind1.json" &
other=$!
i=0
until [ -e /sys/class/hidraw/hidraw0 ]; do
    i=$((i + 1))
    [ "$i" -le 100 ] || { echo "FAIL: the first meter's hidraw node did not appear"; exit 1; }
    sleep 0.1
done
lumivane-vm-probe --serial 3000000001 --exchanges 5 -- \
    lumivane-uhid-meter "$VM_DATA/smoke-high-serial.json"
kill -TERM "$other"
wait "$other" || { echo "FAIL: the first meter exited with status $? on SIGTERM"; exit 1; }
[ -z "$(ls /sys/class/hidraw)" ] || { echo "FAIL: hidraw nodes left: $(ls /sys/class/hidraw)"; exit 1; }
echo "== the sample images: each meter answers with its own serial number"
found=0
for image in "$VM_DATA"/kind*.json; do
    [ -e "$image" ] || continue
    serial="$(sed -n 's/.*"serialNo": *\([0-9][0-9]*\).*/\1/p' "$image" | head -n 1)"
    echo "-- $(basename "$image"), serial ${serial:-1}"
    lumivane-vm-probe --serial "${serial:-1}" --exchanges 3 -- lumivane-uhid-meter "$image"
    found=$((found + 1))
done
[ "$found" -gt 0 ] || { echo "FAIL: no sample images were passed in"; exit 1; }
echo "== all UHID smoke checks passed"
