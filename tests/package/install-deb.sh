#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# install-deb.sh DEB_DIR CACHE TREE_CLI SAMPLE: installs the package into a minimal Debian 12 root
# (debootstrap, variant minbase) with its dependencies from Debian's mirror, runs lumivane-cli
# there on the installed kind-1 sample meter and compares the CSV it writes with what TREE_CLI
# (the tree's lumivane-cli) writes for SAMPLE (the same meter in the source tree), then purges the package and checks that none of its
# files is left. CACHE keeps the bootstrapped root as a tarball and the downloaded .debs between
# runs. Needs root (debootstrap, chroot); exits 77 (skipped) without it.
set -euo pipefail
deb_dir="$1" cache="$2" tree_cli="$3" sample="$4"
mirror="http://deb.debian.org/debian"

if [ "$(id -u)" -ne 0 ]; then echo "SKIP: debootstrap and chroot need root"; exit 77; fi
debs=("$deb_dir"/lumivane_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one lumivane_*.deb in $deb_dir"; exit 1; }
deb="${debs[0]}"

mkdir -p "$cache/archives"
work="$(mktemp -d "${TMPDIR:-/tmp}/lumivane-install.XXXXXX")"
root="$work/root"
mounted_proc=""
cleanup() {
    if [ -n "$mounted_proc" ]; then umount "$root/proc" || umount -l "$root/proc" || true; fi
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT
in_root() {
    chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive "$@"
}

# What the tree under test writes (with the sanitizers' leak report off: only the file matters).
expected_csv="$work/expected.csv"
mkdir -p "$work/xdg"
XDG_RUNTIME_DIR="$work/xdg" XDG_DATA_HOME="$work/xdg" XDG_CONFIG_HOME="$work/xdg" ASAN_OPTIONS=detect_leaks=0 \
    LANG=zh_CN.UTF-8 LC_ALL= LC_MESSAGES= LANGUAGE= "$tree_cli" --virtual-meter "$sample" --no-archive --quiet records -o "$expected_csv"

# A minimal bookworm, bootstrapped once and kept as a tarball.
tarball="$cache/bookworm-minbase.tar"
mkdir -p "$root"
if [ ! -s "$tarball" ]; then
    echo "== debootstrap bookworm (minbase)"
    debootstrap --variant=minbase bookworm "$work/bootstrap" "$mirror" >"$work/debootstrap.log" 2>&1 ||
        { tail -40 "$work/debootstrap.log"; echo "FAIL: debootstrap"; exit 1; }
    tar -C "$work/bootstrap" -cf "$tarball.part" . && mv "$tarball.part" "$tarball"
    rm -rf --one-file-system "$work/bootstrap"
fi
tar -C "$root" -xf "$tarball"
if mount -t proc proc "$root/proc" 2>/dev/null; then mounted_proc=1; fi

cp /etc/resolv.conf "$root/etc/resolv.conf"
cat >"$root/etc/apt/sources.list" <<SOURCES
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
SOURCES
# Keep the .debs that apt downloads, and start no services inside the root.
rm -f "$root/etc/apt/apt.conf.d/docker-clean"
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 755 "$root/usr/sbin/policy-rc.d"
cp "$cache"/archives/*.deb "$root/var/cache/apt/archives/" 2>/dev/null || true

echo "== apt-get install ./$(basename "$deb")"
cp "$deb" "$root/tmp/"
in_root apt-get update -qq
in_root apt-get install -y -q --no-install-recommends "/tmp/$(basename "$deb")" >"$work/apt.log" 2>&1 ||
    { tail -40 "$work/apt.log"; echo "FAIL: apt-get install"; exit 1; }
cp "$root"/var/cache/apt/archives/*.deb "$cache/archives/" 2>/dev/null || true
rm -f "$cache/archives/$(basename "$deb")"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

status="$(in_root dpkg-query -W -f='${Status}' lumivane)"
[ "$status" = "install ok installed" ] || fail "dpkg says the package is '$status'"

# Every shared library the two programs need came with the dependencies.
for program in lumivane lumivane-cli; do
    missing="$(in_root ldd "/usr/bin/$program" | grep 'not found' || true)"
    [ -z "$missing" ] || fail "$program lacks libraries: $missing"
done

# The installed command line finds its installed catalogs and sample meter and writes the same
# records as the tree under test.
echo "== lumivane-cli records"
if in_root env LANG=zh_CN.UTF-8 lumivane-cli --virtual-meter /usr/share/lumivane/meters/kind1.json --no-archive --quiet \
        records -o /tmp/out.csv; then
    if [ ! -s "$root/tmp/out.csv" ]; then
        fail "lumivane-cli wrote no CSV"
    elif [ "$(wc -l <"$root/tmp/out.csv")" -lt 2 ]; then
        fail "the CSV holds no records: $(cat "$root/tmp/out.csv")"
    elif ! cmp -s "$root/tmp/out.csv" "$expected_csv"; then
        fail "the installed program's CSV differs from the tree's"
        diff <(tr -d '\r' <"$root/tmp/out.csv") <(tr -d '\r' <"$expected_csv") | head -20 || true
    fi
else
    fail "lumivane-cli records failed"
fi
rm -f "$root/tmp/out.csv"

# Purge, then nothing the package installed may be left: a path it listed may only remain if it
# is a folder that another package owns too.
in_root dpkg-query -L lumivane >"$work/files"
in_root apt-get purge -y -q lumivane >"$work/purge.log" 2>&1 ||
    { tail -40 "$work/purge.log"; fail "apt-get purge"; }
if in_root dpkg-query -W -f='${Status}' lumivane 2>/dev/null | grep -q installed; then
    fail "the package is still installed after the purge"
fi
listed=0
while IFS= read -r path; do
    [ -n "$path" ] && [ "$path" != "/." ] || continue
    listed=$((listed + 1))
    [ -e "$root$path" ] || [ -L "$root$path" ] || continue
    if [ -d "$root$path" ] && [ ! -L "$root$path" ] && in_root dpkg-query -S "$path" >/dev/null 2>&1; then
        continue
    fi
    fail "left after the purge: $path"
done <"$work/files"
[ "$listed" -gt 10 ] || fail "dpkg listed only $listed paths of the package"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installed, ran and purged cleanly ($listed paths)"
