# SPDX-License-Identifier: GPL-3.0-or-later
# Runs inside the test VM (busybox sh): carries out the command list $VM_DATA/$VM_COMMANDS, one
# command per line, words split and quoted as in the shell; blank lines and "#" lines are skipped.
#
#   meter IMAGE [ARGS...]  plug in a UHID meter (lumivane-uhid-meter $VM_DATA/IMAGE ARGS...) and
#                          wait until its hidraw node is there; a meter still plugged is removed first
#   unplug                 remove the meter with SIGTERM; it must exit with status 0 and its node go
#   gone                   the meter must go by itself (--vanish-after): wait for it to exit with
#                          status 0 and for its node to go
#   run STATUS CMD ARGS... run CMD in $VM_OUT (where output files belong); its exit status must be
#                          STATUS
#   absent FILE            $VM_OUT/FILE must not exist
#   start TEXT CMD ARGS... start CMD in the background, its output in /tmp/started.log, and wait
#                          up to 60 s for a line of it containing TEXT
#   stop                   end the program started last (SIGTERM); its output must hold no
#                          sanitizer report
#
# The first failing command ends the list with exit status 1. The host compares the files left in
# $VM_OUT with the expected ones (run-vm.sh --expect).

meter_pid=""
meter_serial=""
meter_log=/tmp/meter.log
started_log=/tmp/started.log # the output of the program that `start` started
line_no=0

say() { echo "commands:$line_no: $*"; }
fail() { echo "FAIL: commands:$line_no: $*"; exit 1; }

# The hidraw node whose HID device has the given unique id (serial), or nothing.
node_of() {
    for uevent in /sys/class/hidraw/hidraw*/device/uevent; do
        [ -e "$uevent" ] || continue
        if grep -qx "HID_UNIQ=$1" "$uevent"; then
            basename "$(dirname "$(dirname "$uevent")")"
            return
        fi
    done
}

# Waits up to 10 s until `node_of SERIAL` is non-empty (want=present) or empty (want=absent).
wait_node() {
    i=0
    while :; do
        node="$(node_of "$1")"
        if [ "$2" = present ] && [ -n "$node" ]; then return 0; fi
        if [ "$2" = absent ] && [ -z "$node" ]; then return 0; fi
        i=$((i + 1))
        [ "$i" -le 200 ] || return 1
        sleep 0.05
    done
}

# Waits for the meter process to end (after a signal or by itself); its status must be 0.
reap_meter() {
    wait "$meter_pid"
    status=$?
    [ "$status" -eq 0 ] || fail "the meter exited with status $status: $(cat "$meter_log")"
    wait_node "$meter_serial" absent || fail "the hidraw node of serial $meter_serial did not go"
    meter_pid=""
}

cmd_meter() {
    [ -n "$1" ] || fail "meter: no image"
    [ -z "$meter_pid" ] || { kill -TERM "$meter_pid"; reap_meter; }
    image="$VM_DATA/$1"
    shift
    : >"$meter_log"
    lumivane-uhid-meter "$image" "$@" >"$meter_log" 2>&1 &
    meter_pid=$!
    i=0
    until grep -q "device created" "$meter_log"; do
        kill -0 "$meter_pid" 2>/dev/null || fail "the meter did not start: $(cat "$meter_log")"
        i=$((i + 1))
        [ "$i" -le 200 ] || fail "the meter did not create its device: $(cat "$meter_log")"
        sleep 0.05
    done
    meter_serial="$(sed -n 's/.*device created, serial number //p' "$meter_log")"
    wait_node "$meter_serial" present || fail "no hidraw node with serial $meter_serial appeared"
    say "meter $meter_serial on /dev/$(node_of "$meter_serial")"
}

cmd_run() {
    expected="$1"
    shift
    (cd "$VM_OUT" && "$@")
    status=$?
    [ "$status" -eq "$expected" ] || fail "'$*' exited with status $status, expected $expected"
    say "'$*' exited with status $status as expected"
}

cmd_start() {
    text="$1"
    shift
    "$@" >"$started_log" 2>&1 &
    started_pid=$!
    i=0
    until grep -qF -- "$text" "$started_log"; do
        kill -0 "$started_pid" 2>/dev/null && [ "$i" -lt 1200 ] ||
            fail "no '$text' from '$*': $(tail -n 20 "$started_log")"
        i=$((i + 1))
        sleep 0.05
    done
    say "'$*' printed '$text'"
}

cmd_stop() {
    kill -TERM "$started_pid"
    wait "$started_pid"
    ! grep -qE "ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:" "$started_log" || fail "$(cat "$started_log")"
    say "stopped"
}

[ -n "$VM_COMMANDS" ] && [ -f "$VM_DATA/$VM_COMMANDS" ] || fail "no command list (VM_COMMANDS=$VM_COMMANDS)"
while IFS= read -r line || [ -n "$line" ]; do
    line_no=$((line_no + 1))
    case "$line" in '' | '#'*) continue ;; esac
    eval "set -- $line"
    verb="$1"
    shift
    case "$verb" in
        meter) cmd_meter "$@" ;;
        unplug)
            [ -n "$meter_pid" ] || fail "unplug: no meter plugged in"
            kill -TERM "$meter_pid"
            reap_meter
            say "meter $meter_serial unplugged" ;;
        gone)
            [ -n "$meter_pid" ] || fail "gone: no meter plugged in"
            reap_meter
            say "meter $meter_serial went by itself" ;;
        run) cmd_run "$@" ;;
        start) cmd_start "$@" ;;
        stop) cmd_stop ;;
        absent)
            [ ! -e "$VM_OUT/$1" ] || fail "$1 exists but must not"
            say "$1 absent as expected" ;;
        *) fail "unknown command: $verb" ;;
    esac
done <"$VM_DATA/$VM_COMMANDS"

if [ -n "$meter_pid" ]; then
    kill -TERM "$meter_pid"
    reap_meter
fi
echo "commands: all $line_no lines done"
