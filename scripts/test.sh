#!/usr/bin/env bash
# Installs what is missing, builds Lumivane with -Werror, AddressSanitizer and
# UndefinedBehaviorSanitizer (the asan preset, in build-test), and runs every test. Arguments go
# to ctest as they are.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
# The presets are looked up in the working directory.
cd "$root"
cmake --preset asan >/dev/null
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan "$@"
