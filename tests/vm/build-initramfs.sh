#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds a bootable kernel + initramfs pair for the VM tests from Debian packages that are
# downloaded (apt-get download) and unpacked (dpkg-deb -x), never installed:
#   - the Debian cloud kernel and its hid, hid-generic and uhid modules,
#   - busybox-static as the whole userland,
#   - the given executables with the shared libraries they need (found with ldd),
#   - the given system files (plugins, fonts) at their own paths, shared objects with their libraries,
#   - the given data files and the guest test script.
# The /init of the image (vm-init.sh) loads the modules, runs the test script and powers off.
#
# Usage: build-initramfs.sh --work DIR --script GUEST_SCRIPT [--exec FILE]... [--data FILE]...
#                           [--file PATH]... [--env NAME=VALUE]... [--cache DIR]
# Writes DIR/vmlinuz and DIR/initramfs.cpio. Downloads and unpacked packages are kept in the
# cache directory (default DIR/cache), which several builds may share, also at the same time.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
work="" script="" cache=""
execs=() datas=() files=() envs=()
while [ "$#" -gt 0 ]; do
    case "$1" in
        --work) work="$2"; shift 2 ;;
        --script) script="$2"; shift 2 ;;
        --cache) cache="$2"; shift 2 ;;
        --env) envs+=("$2"); shift 2 ;;
        --exec) execs+=("$2"); shift 2 ;;
        --data) datas+=("$2"); shift 2 ;;
        --file) files+=("$2"); shift 2 ;;
        *) echo "build-initramfs: unknown argument: $1" >&2; exit 2 ;;
    esac
done
if [ -z "$work" ] || [ -z "$script" ]; then
    echo "usage: build-initramfs.sh --work DIR --script GUEST_SCRIPT [--exec FILE]... [--data FILE]..." >&2
    exit 2
fi
for tool in apt-get apt-cache dpkg-deb cpio ldd flock; do
    command -v "$tool" >/dev/null || { echo "build-initramfs: '$tool' is missing" >&2; exit 2; }
done

mkdir -p "$work"
work="$(cd "$work" && pwd)"
[ -n "$cache" ] || cache="$work/cache"
mkdir -p "$cache"
cache="$(cd "$cache" && pwd)"
# One build at a time downloads and unpacks; the others wait and then find the packages there.
exec 9>"$cache/.lock"
flock 9
# As root, apt-get download would try to drop to the _apt user, who may not reach the build tree.
apt_opts=(-q)
if [ "$(id -u)" -eq 0 ]; then apt_opts+=(-o APT::Sandbox::User=root); fi

apt_updated=0
apt_update() {
    if [ "$apt_updated" -eq 0 ]; then
        echo "build-initramfs: refreshing the package lists (apt-get update)"
        apt-get update -qq
        apt_updated=1
    fi
}

# The meta package only depends on the current versioned kernel package: that one holds the files.
kernel_package() {
    apt-cache depends linux-image-cloud-amd64 2>/dev/null \
        | awk '$1 == "Depends:" && $2 ~ /^linux-image-[0-9]/ { print $2; exit }'
}

# Prints the path of the cached .deb of package $1, downloading it when it is not cached yet.
# The download lands in a scratch folder first, so an interrupted one leaves no broken .deb.
fetch_deb() {
    local pkg="$1" deb
    deb="$(find "$cache" -maxdepth 1 -name "${pkg}_*.deb" | sort | tail -n 1)"
    if [ -z "$deb" ]; then
        rm -rf "$cache/partial"
        mkdir -p "$cache/partial"
        if ! (cd "$cache/partial" && apt-get download "${apt_opts[@]}" "$pkg" >&2); then
            apt_update >&2
            (cd "$cache/partial" && apt-get download "${apt_opts[@]}" "$pkg" >&2) || true
        fi
        find "$cache/partial" -maxdepth 1 -name "${pkg}_*.deb" -exec mv {} "$cache/" \;
        deb="$(find "$cache" -maxdepth 1 -name "${pkg}_*.deb" | sort | tail -n 1)"
    fi
    [ -n "$deb" ] || { echo "build-initramfs: could not download $pkg" >&2; return 1; }
    echo "$deb"
}

# Unpacks a .deb once into the cache; prints the directory.
unpack_deb() {
    local deb="$1" dir
    dir="$cache/root-$(basename "$deb" .deb)"
    if [ ! -e "$dir/.unpacked" ]; then
        rm -rf "$dir"
        dpkg-deb -x "$deb" "$dir"
        touch "$dir/.unpacked"
    fi
    echo "$dir"
}

kpkg="$(kernel_package)"
if [ -z "$kpkg" ]; then
    apt_update
    kpkg="$(kernel_package)"
fi
[ -n "$kpkg" ] || { echo "build-initramfs: linux-image-cloud-amd64 names no kernel package" >&2; exit 1; }

kdeb="$(fetch_deb "$kpkg")" || exit 1
bbdeb="$(fetch_deb busybox-static)" || exit 1
kroot="$(unpack_deb "$kdeb")" || exit 1
bbroot="$(unpack_deb "$bbdeb")" || exit 1
flock -u 9

vmlinuz="$(find "$kroot/boot" -maxdepth 1 -name 'vmlinuz-*' | head -n 1)"
[ -n "$vmlinuz" ] || { echo "build-initramfs: no vmlinuz in $kpkg" >&2; exit 1; }
cp "$vmlinuz" "$work/vmlinuz"

root="$work/initramfs-root"
rm -rf "$root"
mkdir -p "$root"/{bin,dev,proc,sys,tmp,run,out,etc,lib/modules,opt/lumivane/bin,opt/lumivane/data,root}

cp "$bbroot/bin/busybox" "$root/bin/busybox"
ln -s busybox "$root/bin/sh"

# hid.ko carries hidraw; uhid needs hid; hid-generic binds the UHID device so hidraw appears.
for mod in hid hid-generic uhid; do
    src="$(find "$kroot/lib/modules" -path '*/drivers/hid/*' -name "$mod.ko*" | head -n 1)"
    [ -n "$src" ] || { echo "build-initramfs: module $mod not found in $kpkg" >&2; exit 1; }
    case "$src" in
        *.ko) cp "$src" "$root/lib/modules/$mod.ko" ;;
        *.ko.xz) xz -dc "$src" >"$root/lib/modules/$mod.ko" ;;
        *.ko.zst) zstd -qdc "$src" >"$root/lib/modules/$mod.ko" ;;
        *.ko.gz) gzip -dc "$src" >"$root/lib/modules/$mod.ko" ;;
        *) echo "build-initramfs: unknown module format: $src" >&2; exit 1 ;;
    esac
done

# Copies a file to the same absolute path inside the image, following symbolic links.
copy_at_path() {
    mkdir -p "$root$(dirname "$1")"
    cp -L "$1" "$root$1"
}

declare -A libdirs=()
# Copies the shared libraries that ldd names for $1 to their own paths in the image.
copy_libraries() {
    # "name => /path (addr)", "/path (addr)" for the loader; "not found" is an error.
    if ldd "$1" | grep -q 'not found'; then
        echo "build-initramfs: $1 needs libraries that are missing:" >&2
        ldd "$1" | grep 'not found' >&2
        exit 1
    fi
    local lib
    while read -r lib; do
        [ -e "$root$lib" ] || copy_at_path "$lib"
        libdirs["$(dirname "$lib")"]=1
    done < <(ldd "$1" | awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^\//) { print $i; break } }')
}
for exe in ${execs[@]+"${execs[@]}"}; do
    [ -x "$exe" ] || { echo "build-initramfs: not an executable: $exe" >&2; exit 1; }
    cp -L "$exe" "$root/opt/lumivane/bin/"
    copy_libraries "$exe"
done
for file in ${files[@]+"${files[@]}"}; do
    case "$file" in /*) ;; *) echo "build-initramfs: --file needs an absolute path: $file" >&2; exit 2 ;; esac
    [ -f "$file" ] || { echo "build-initramfs: no such file: $file" >&2; exit 1; }
    copy_at_path "$file"
    case "$file" in *.so | *.so.*) copy_libraries "$file" ;; esac
done
for file in ${datas[@]+"${datas[@]}"}; do
    [ -f "$file" ] || { echo "build-initramfs: no such data file: $file" >&2; exit 1; }
    cp -L "$file" "$root/opt/lumivane/data/"
done

# Without ld.so.cache the loader searches only its built-in directories: name the copied ones.
printf '%s\n' "${!libdirs[@]}" | sort | paste -sd: >"$root/etc/lumivane-libpath"
echo "root:x:0:0:root:/root:/bin/sh" >"$root/etc/passwd"
echo "root:x:0:" >"$root/etc/group"

# Variables for the test script, as shell assignments that /init sources.
: >"$root/etc/lumivane-env"
for assignment in ${envs[@]+"${envs[@]}"}; do
    name="${assignment%%=*}"
    [[ "$name" =~ ^[A-Za-z_][A-Za-z0-9_]*$ ]] || { echo "build-initramfs: bad --env $assignment" >&2; exit 2; }
    printf 'export %s=%q\n' "$name" "${assignment#*=}" >>"$root/etc/lumivane-env"
done

install -m 0755 "$here/vm-init.sh" "$root/init"
install -m 0755 "$script" "$root/opt/lumivane/test.sh"

# An uncompressed archive: unpacking it under emulation is faster than decompressing it.
(cd "$root" && find . -mindepth 1 | LC_ALL=C sort | cpio -o -H newc --quiet) >"$work/initramfs.cpio"
# The tree is only the archive's source (cpio -t lists the archive); it would double the space.
rm -rf "$root"
echo "build-initramfs: $kpkg, $(du -h "$work/initramfs.cpio" | cut -f1) initramfs in $work"
