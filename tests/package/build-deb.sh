#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# build-deb.sh SOURCE BUILD OUT: builds the Debian package the way a release is built (a
# RelWithDebInfo tree with prefix /usr, no tests, Debian's hardening flags) in BUILD and leaves
# lumivane_*.deb in OUT. The test tree links the sanitizers, so its own programs would make a
# package nobody ships; BUILD is kept between runs and only rebuilds what changed.
set -euo pipefail
source_dir="$1" build_dir="$2" out_dir="$3"

# Debian's compiler and linker flags (fortify, stack protector, relro), as a package build uses.
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S "$source_dir" -B "$build_dir" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr \
    -DLUMIVANE_TESTS=OFF -DLUMIVANE_BENCH=OFF -DLUMIVANE_SANITIZE=OFF \
    "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" \
    "-DCMAKE_SHARED_LINKER_FLAGS=$ldflags" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"

rm -rf "$out_dir"
mkdir -p "$out_dir"
(cd "$build_dir" && cpack -G DEB -B "$out_dir/cpack")
mv "$out_dir"/cpack/lumivane_*.deb "$out_dir"/
rm -rf "$out_dir/cpack"
ls -l "$out_dir"/lumivane_*.deb
