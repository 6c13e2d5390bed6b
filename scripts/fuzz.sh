#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets of tests/fuzz (the fuzz preset: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, in build-fuzz) and runs their tests: each target first replays its
# seed corpus and every input that ever made it fail (tests/fuzz/regressions), then fuzzes for
# LUMIVANE_FUZZ_SECONDS seconds (30 unless set). A finding fails the test; the input is left in
# build-fuzz/fuzz-artifacts/<target>/. Arguments go to ctest as they are. Ends with each target's
# executions per second and coverage.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cd "$root"
cmake --preset fuzz -DLUMIVANE_FUZZ_SECONDS="${LUMIVANE_FUZZ_SECONDS:-30}" >/dev/null
cmake --build --preset fuzz -j"$(nproc)"
status=0
ctest --preset fuzz "$@" || status=$?
# libFuzzer closes a run with "#<runs> DONE cov: <edges> ft: <features> ... exec/s: <rate> ...".
log=build-fuzz/Testing/Temporary/LastTest.log
if [ -f "$log" ]; then
    awk '/^[0-9]+\/[0-9]+ Test: /{name=$3} /DONE +cov:/ && name !~ /_replay$/ {
        print "  " name ":" substr($0, index($0, "DONE") + 4)}' "$log"
fi
exit "$status"
