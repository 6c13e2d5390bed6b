#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Lumivane with -Werror, AddressSanitizer and
# UndefinedBehaviorSanitizer (the asan preset, in build-test), and runs every test; then builds
# the libFuzzer targets (the fuzz preset, in build-fuzz) and runs each for a bounded time
# (scripts/fuzz.sh). Arguments go to the asan ctest as they are; with arguments the fuzz run is left
# out.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
# The presets are looked up in the working directory.
cd "$root"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan "$@"
if [ "$#" -eq 0 ]; then "$root/scripts/fuzz.sh"; fi
