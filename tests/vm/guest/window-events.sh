# SPDX-License-Identifier: GPL-3.0-or-later
# Runs inside the test VM (busybox sh): the window program `lumivane` on the offscreen platform,
# its libudev monitor on the kernel's events, and UHID meters plugged in and out. What the window
# does is read from its debug output:
#   - at start without a meter: one open attempt that fails ("hidDevice Open error!");
#   - a meter arrives: "收到事件 ", the open succeeds ("hidDevice Open success!"), the records page
#     identifies it (the meter answers), "USB_设备打开", "DBT_DEVICEARRIVAL";
#   - a second meter comes and goes while the first is open: two events, no open attempt, the
#     link stays open, the second meter is never spoken to;
#   - the first meter is unplugged: "USB_设备移除" and "DBT_DEVICEREMOVECOMPLETE";
#   - another meter arrives after that: the window opens it (the link was really closed), and
#     its removal closes the link again.

export QT_QPA_PLATFORM=offscreen QT_FORCE_STDERR_LOGGING=1
export QT_PLUGIN_PATH="$LUMIVANE_QT_PLUGINS" FONTCONFIG_FILE="$VM_DATA/fonts.conf"

log=/tmp/window.log
mark=0  # log lines already looked at
step=""

fail() {
    echo "FAIL: $step: $*"
    echo "---- window log from line $((mark + 1)) (last 40 lines) ----"
    sed -n "$((mark + 1)),\$p" "$log" | tail -n 40
    echo "---- end of window log ----"
    echo "FAIL: $step: $*"
    exit 1
}

uptime_s() {
    cut -d. -f1 /proc/uptime
}

# Waits up to $2 seconds (default 20) for a line containing $1 after the mark; moves the mark
# to that line.
wait_log() {
    deadline=$(( $(uptime_s) + ${2:-20} ))
    while :; do
        n="$(sed -n "$((mark + 1)),\$p" "$log" | grep -nF -- "$1" | head -n 1 | cut -d: -f1)"
        if [ -n "$n" ]; then
            mark=$((mark + n))
            return 0
        fi
        kill -0 "$window" 2>/dev/null || fail "the window program ended while waiting for '$1'"
        [ "$(uptime_s)" -lt "$deadline" ] || fail "no '$1' in the window's log"
        sleep 0.05
    done
}

# How many lines from line $1 (exclusive) to the mark contain $2.
count_since() {
    sed -n "$(($1 + 1)),${mark}p" "$log" | grep -cF -- "$2"
}

expect_count() {
    got="$(count_since "$1" "$2")"
    [ "$got" -eq "$3" ] || fail "'$2' logged $got times since line $1, expected $3"
}

# Plugs in a UHID meter from image $1 (file name in $VM_DATA); sets meter_pid, meter_log.
plug() {
    meter_log="/tmp/meter-$1.log"
    : >"$meter_log"
    lumivane-uhid-meter "$VM_DATA/$1" >"$meter_log" 2>&1 &
    meter_pid=$!
    i=0
    until grep -q "device created" "$meter_log"; do
        kill -0 "$meter_pid" 2>/dev/null || fail "the meter $1 did not start: $(cat "$meter_log")"
        i=$((i + 1))
        [ "$i" -le 200 ] || fail "the meter $1 did not create its device"
        sleep 0.05
    done
}

# Unplugs the meter with pid $1 and log $2 (SIGTERM); sets reports to how many input reports it
# had sent.
unplug() {
    kill -TERM "$1"
    wait "$1" || fail "the meter exited with status $? on SIGTERM: $(cat "$2")"
    reports="$(sed -n 's/.*device removed on signal after \([0-9]*\) input reports.*/\1/p' "$2")"
}

step="start without a meter"
lumivane >"$log" 2>&1 &
window=$!
wait_log "hidDevice Open error!" 60
expect_count 0 "注册失败" 0
expect_count 0 "收到事件 " 0
echo "window: started, no meter, monitor registered"

step="meter A arrives"
from=$mark
plug kind1.json
a_pid=$meter_pid a_log=$meter_log
wait_log "USB_设备打开"
wait_log "DBT_DEVICEARRIVAL"
expect_count "$from" "收到事件 " 1
expect_count "$from" "hidDevice Open success!" 1
expect_count "$from" "hidDevice Open error!" 0
echo "window: meter A opened on its arrival"

step="meter B comes and goes while A is open"
from=$mark
plug kind4.json
b_pid=$meter_pid b_log=$meter_log
wait_log "收到事件 "
unplug "$b_pid" "$b_log"
b_reports=$reports
wait_log "DBT_DEVICEREMOVECOMPLETE"
expect_count "$from" "收到事件 " 2
expect_count "$from" "hidDevice Open" 0
expect_count "$from" "USB_设备打开" 0
expect_count "$from" "USB_设备移除" 0
[ "$b_reports" = 0 ] || fail "the window spoke to meter B ($b_reports input reports)"
echo "window: meter B's arrival and removal left the link to A alone"

step="meter A is unplugged"
from=$mark
unplug "$a_pid" "$a_log"
a_reports=$reports
wait_log "USB_设备移除"
wait_log "DBT_DEVICEREMOVECOMPLETE"
expect_count "$from" "收到事件 " 1
[ -n "$a_reports" ] && [ "$a_reports" -gt 0 ] || fail "meter A was never read (${a_reports:-?} input reports)"
echo "window: meter A closed on its removal after identifying it ($a_reports input reports)"

step="meter C arrives after the close"
from=$mark
plug kind6.json
c_pid=$meter_pid c_log=$meter_log
wait_log "USB_设备打开"
wait_log "DBT_DEVICEARRIVAL"
expect_count "$from" "hidDevice Open success!" 1
unplug "$c_pid" "$c_log"
c_reports=$reports
wait_log "USB_设备移除"
wait_log "DBT_DEVICEREMOVECOMPLETE"
[ -n "$c_reports" ] && [ "$c_reports" -gt 0 ] || fail "meter C was never read (${c_reports:-?} input reports)"
echo "window: meter C opened, identified ($c_reports input reports) and closed"

step="end"
kill -0 "$window" 2>/dev/null || fail "the window program is no longer running"
if grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$log"; then
    mark=0
    fail "sanitizer report in the window's log"
fi
kill -TERM "$window"
wait "$window"
echo "---- window log ----"
cat "$log"
echo "window: all device-event checks passed"
