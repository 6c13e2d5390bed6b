#!/usr/bin/env bash
# Installs what is missing, builds Lumivane and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVANE_TESTS=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)"
exec "$root/build/bin/lumivane" "$@"
