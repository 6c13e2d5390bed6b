#!/usr/bin/env bash
# Installs what is missing, builds Lumivane with -Werror, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build-test" -DCMAKE_BUILD_TYPE=Debug -DLUMIVANE_SANITIZE=ON >/dev/null
cmake --build "$root/build-test" -j"$(nproc)"
cd "$root/build-test"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --no-tests=error -j2 "$@"
