#!/usr/bin/env bash
# Installs what is missing, builds Lumivane and starts it with the demo meter.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVANE_TESTS=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)"
# Without arguments the program runs with the demo meter; arguments go to the program as they
# are (build/bin/lumivane alone talks to a real meter).
if [ "$#" -eq 0 ]; then set -- --virtual-meter; fi
exec "$root/build/bin/lumivane" "$@"
