#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages that building, running and testing Lumivane need, skipping
# those already present. Uses sudo when not run as root.
set -euo pipefail

packages=(
    # build
    cmake g++ make pkg-config ccache
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev
    libhidapi-dev libudev-dev libgsf-1-dev libxlsxwriter-dev
    # the charts saved as SVG
    qt6-svg-dev
    # the measurement archive: Qt SQL's SQLite and PostgreSQL drivers
    libqt6sql6-sqlite libqt6sql6-psql
    # reading PostgreSQL addresses as libpq does
    libpq-dev
    # run: Chinese glyphs, Qt's own dialogs and buttons in Chinese
    fonts-noto-cjk qt6-translations-l10n
    # reports: a CJK font that Qt's PDF writer embeds with text that extracts as the characters written
    fonts-wqy-microhei
    # test: reading back the workbooks, the virtual display (xdotool closes boxes there), the VM test
    # (the archive tests start a throw-away PostgreSQL server of their own), validating the JSON output
    # reading back the PDF reports (text, pages, fonts, images) and rendering their pages
    poppler-utils
    postgresql python3 python3-xlrd python3-openpyxl python3-jsonschema libreoffice-calc-nogui xvfb xauth xdotool imagemagick qemu-system-x86 cpio xz-utils zstd
    # the package checks: validators, lintian, building the .deb, a bookworm chroot to install it in
    desktop-file-utils appstream lintian dpkg-dev fakeroot debootstrap
    # fuzz: clang and its libFuzzer and sanitizer runtimes
    clang libclang-rt-14-dev
)
if [ "$#" -gt 0 ]; then packages+=("$@"); fi

missing=()
for p in "${packages[@]}"; do
    [[ "$p" == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
