#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Lumivane and starts it with the demo meter.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
# The release preset builds into build; presets are looked up in the working directory.
(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release -j"$(nproc)")
# Without a display the window cannot show: run the command line on the demo meter instead.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): running lumivane-cli on the demo meter instead."
    cli=("$root/build/bin/lumivane-cli" --virtual-meter "$root/samples/meters/kind1.json")
    out="$(mktemp -d "${TMPDIR:-/tmp}/lumivane-demo.XXXXXX")"
    "${cli[@]}" identify
    "${cli[@]}" records -o "$out/records.xls"
    echo "Records written to $out/records.xls"
    "${cli[@]}" spectra -o "$out/spectra.xls"
    echo "Spectra written to $out/spectra.xls"
    exit 0
fi
# Without arguments the program runs with the demo meter; arguments go to the program as they
# are (build/bin/lumivane alone talks to a real meter).
if [ "$#" -eq 0 ]; then set -- --virtual-meter; fi
exec "$root/build/bin/lumivane" "$@"
