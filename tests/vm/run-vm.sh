#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one VM test: builds the kernel + initramfs (build-initramfs.sh), boots it with
# qemu-system-x86_64 under TCG and reads the result line that the image's /init prints.
#
# Usage: run-vm.sh --work DIR --script GUEST_SCRIPT [--exec FILE]... [--data FILE]... [--file PATH]...
#                  [--env NAME=VALUE]... [--cache DIR] [--expect DIR] [--timeout SECONDS]
#                  [--memory MIB]
#
# Inside the VM the script runs as root in /tmp with the executables on PATH (/opt/lumivane/bin),
# the data files in $VM_DATA and the --env variables set. Files it leaves in $VM_OUT come back
# to DIR/out on the host. With --expect, the files that come back must be exactly those below the
# expected directory, with the same relative paths and the same bytes.
# The cache directory (default DIR/cache) keeps the downloaded packages; tests may share one.
#
# Exit status: 0 pass, 1 fail (the console log and the image are kept in DIR and the log's tail
# is printed), 77 skipped because qemu cannot run at all here, 2 usage error.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
work="" expect="" timeout_s=180 memory=1024
build_args=()
while [ "$#" -gt 0 ]; do
    case "$1" in
        --work) work="$2"; shift 2 ;;
        --expect) expect="$2"; shift 2 ;;
        --timeout) timeout_s="$2"; shift 2 ;;
        --memory) memory="$2"; shift 2 ;;
        --script|--exec|--data|--file|--cache|--env) build_args+=("$1" "$2"); shift 2 ;;
        *) echo "run-vm: unknown argument: $1" >&2; exit 2 ;;
    esac
done
[ -n "$work" ] || { echo "usage: run-vm.sh --work DIR --script GUEST_SCRIPT [...]" >&2; exit 2; }

# Skip only when qemu itself cannot run on this machine.
qemu="$(command -v qemu-system-x86_64 || true)"
if [ -z "$qemu" ]; then
    echo "SKIP: qemu-system-x86_64 is not installed (scripts/install-deps.sh installs qemu-system-x86)"
    exit 77
fi
if ! "$qemu" -version >/dev/null 2>&1; then
    echo "SKIP: qemu-system-x86_64 does not start here: $("$qemu" -version 2>&1 | head -n 1)"
    exit 77
fi

mkdir -p "$work"
work="$(cd "$work" && pwd)"
log="$work/console.log"
outchan="$work/out-channel.txt"
rm -f "$log" "$outchan"
rm -rf "$work/out"

fail() {
    echo "FAIL: $*"
    echo "VM console log: $log"
    if [ -d "$work/out" ]; then echo "files sent back by the VM: $work/out"; fi
    if [ -s "$log" ]; then
        # Once /init runs, what it and the test printed matters; before that, the kernel's end.
        if grep -aq '^LUMIVANE-VM: ' "$log"; then
            echo "---- console log from the start of /init (last 60 lines) ----"
            tr -d '\r' <"$log" | sed -n '/^LUMIVANE-VM: /,$p' | tail -n 60
        else
            echo "---- last 40 lines of the console log ----"
            tr -d '\r' <"$log" | tail -n 40
        fi
        echo "-------------------------------------------------------------"
    fi
    exit 1
}

# Compares the files that came back with the expected ones and prints every difference; with
# "returned", only the files that came back (a failed test may have stopped before the others).
mismatches=0
is_text() { [ ! -s "$1" ] || grep -Iq . "$1"; }
# Workbooks state when their download ended, which differs between the host's run and the VM's:
# two .xls files count as the same when every cell but that time is.
same_workbook() { [[ "$1" == *.xls ]] && /usr/bin/python3 "$here/same-workbook.py" "$1" "$2" >/dev/null; }
compare_out() {
    local file rel
    mismatches=0
    while IFS= read -r -d '' file; do
        rel="${file#"$expect"/}"
        if [ ! -f "$work/out/$rel" ]; then
            [ "$1" = returned ] && continue
            echo "missing from the VM's output: $rel"
            mismatches=$((mismatches + 1))
        elif ! cmp -s "$file" "$work/out/$rel" && ! same_workbook "$file" "$work/out/$rel"; then
            echo "differs from the expected file: $rel ($work/out/$rel vs $file)"
            if is_text "$file" && is_text "$work/out/$rel"; then
                diff -u "$file" "$work/out/$rel" | head -n 20 || true
            else
                cmp "$file" "$work/out/$rel" 2>&1 | head -n 1 || true
            fi
            mismatches=$((mismatches + 1))
        fi
    done < <(find "$expect" -type f -print0)
    while IFS= read -r -d '' file; do
        rel="${file#"$work/out"/}"
        if [ ! -f "$expect/$rel" ]; then
            echo "not expected in the VM's output: $rel ($file)"
            mismatches=$((mismatches + 1))
        fi
    done < <(find "$work/out" -type f -print0)
}

start=$(date +%s.%N)
"$here/build-initramfs.sh" --work "$work" "${build_args[@]}"
built=$(date +%s.%N)

# -accel tcg -smp 1: this host's KVM does not boot a stock Debian kernel, and two virtual CPUs
# gave erratic runs. timeout: a kernel that fails to boot hangs instead of exiting.
# ttyS0 is the console (log), ttyS1 carries the files of /out back to the host.
qemu_rc=0
timeout --kill-after=10 "$((timeout_s + 30))" "$qemu" \
    -nodefaults -no-user-config -machine pc -accel tcg -cpu max -smp 1 -m "$memory" \
    -display none -monitor none -no-reboot \
    -serial "file:$log" -serial "file:$outchan" \
    -kernel "$work/vmlinuz" -initrd "$work/initramfs.cpio" \
    -append "console=ttyS0 panic=-1 lumivane.timeout=$timeout_s" || qemu_rc=$?
booted=$(date +%s.%N)
awk -v a="$start" -v b="$built" -v c="$booted" 'BEGIN { printf "run-vm: image built in %.1f s, VM ran %.1f s\n", b - a, c - b }'

if [ "$qemu_rc" -eq 124 ] || [ "$qemu_rc" -eq 137 ]; then
    fail "the VM did not power off within $((timeout_s + 30)) s"
fi
# The files come back also when the test failed: they help to find out why.
mkdir -p "$work/out"
if [ -s "$outchan" ]; then
    tr -d '\r' <"$outchan" | sed -n '/^LUMIVANE-OUT-BEGIN$/,/^LUMIVANE-OUT-END$/p' \
        | sed '1d;$d' | base64 -d | tar -C "$work/out" -xf - \
        || fail "the files sent back by the VM are damaged ($outchan)"
fi

[ -f "$log" ] || fail "qemu exited with status $qemu_rc before writing a console log"
result="$(tr -d '\r' <"$log" | grep -a '^LUMIVANE-VM-RESULT: ' | tail -n 1 || true)"
[ -n "$result" ] || fail "no result line from the VM (qemu exit status $qemu_rc)"
if [ "$result" != "LUMIVANE-VM-RESULT: PASS" ]; then
    if [ -n "$expect" ]; then compare_out returned; fi
    fail "the VM reported ${result#LUMIVANE-VM-RESULT: }"
fi

if [ -n "$expect" ]; then
    compare_out all
    [ "$mismatches" -eq 0 ] || fail "$mismatches file(s) differ from $expect"
fi
# The image is kept after a failure (to boot it again by hand) and dropped after a pass: each
# test's image takes 100 MB or more.
rm -f "$work/initramfs.cpio" "$work/vmlinuz"
echo "PASS: VM test ($(basename "$work")); console log: $log"
