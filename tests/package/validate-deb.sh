#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# validate-deb.sh DEB_DIR: checks the built package as a distribution would. The files it ships are
# where the filesystem hierarchy puts them; the desktop entry passes
# desktop-file-validate, the metainfo appstreamcli (offline), the udev rule gives access through
# uaccess only, the bash completion completes; lintian (which also checks owners and manual
# pages) finds no error; its warnings are printed.
set -euo pipefail
deb_dir="$1"
debs=("$deb_dir"/lumivane_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one lumivane_*.deb in $deb_dir"; exit 1; }
deb="${debs[0]}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

dpkg-deb -x "$deb" "$work/root"
root="$work/root"

# Layout.
for path in usr/bin/lumivane usr/bin/lumivane-cli \
            usr/share/lumivane/meterno usr/share/lumivane/unitno usr/share/lumivane/probeno \
            usr/share/lumivane/meters/kind1.json \
            usr/lib/udev/rules.d/70-lumivane.rules \
            usr/share/icons/hicolor/scalable/apps/lumivane.svg \
            usr/share/man/man1/lumivane.1.gz usr/share/man/man1/lumivane-cli.1.gz \
            usr/share/bash-completion/completions/lumivane-cli \
            usr/share/doc/lumivane/copyright usr/share/doc/lumivane/changelog.Debian.gz; do
    [ -f "$root/$path" ] || fail "the package does not hold /$path"
done
for program in lumivane lumivane-cli; do
    [ -x "$root/usr/bin/$program" ] || fail "/usr/bin/$program is not executable"
done
desktop=("$root"/usr/share/applications/*.desktop)
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
[ -f "${desktop[0]}" ] || fail "the package holds no desktop entry"
[ -f "${metainfo[0]}" ] || fail "the package holds no AppStream metainfo"

# The udev rule: the meter's hidraw node, access for the logged-in user, never a mode.
rule="$root/usr/lib/udev/rules.d/70-lumivane.rules"
if [ -f "$rule" ]; then
    line="$(grep -v '^#' "$rule" | grep -v '^[[:space:]]*$')"
    for key in 'SUBSYSTEM=="hidraw"' 'ATTRS{idVendor}=="2047"' 'ATTRS{idProduct}=="0301"' 'TAG+="uaccess"'; do
        grep -qF "$key" <<<"$line" || fail "the udev rule lacks $key"
    done
    if grep -qE 'MODE|GROUP|OWNER' <<<"$line"; then fail "the udev rule sets a mode, group or owner"; fi
fi

# Desktop entry and metainfo, and the metainfo names the desktop entry as its launchable.
if [ -f "${desktop[0]}" ]; then
    desktop-file-validate "${desktop[0]}" || fail "desktop-file-validate"
    grep -qx 'Exec=lumivane' "${desktop[0]}" || fail "the desktop entry does not start lumivane"
    grep -qx 'Icon=lumivane' "${desktop[0]}" || fail "the desktop entry does not name the icon lumivane"
fi
if [ -f "${metainfo[0]}" ]; then
    appstreamcli validate --no-net "${metainfo[0]}" || fail "appstreamcli validate"
    launchable="$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "${metainfo[0]}")"
    [ -n "$launchable" ] && [ -f "$root/usr/share/applications/$launchable" ] ||
        fail "the metainfo's launchable '$launchable' is not an installed desktop entry"
fi

# The bash completion offers the commands, the options and the values of --lang and --format.
completion="$root/usr/share/bash-completion/completions/lumivane-cli"
if [ -f "$completion" ]; then
    got="$(bash -c '
        source "$1"
        complete_words() { COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _lumivane_cli; echo "${COMPREPLY[*]}"; }
        complete_words lumivane-cli ""
        complete_words lumivane-cli --no
        complete_words lumivane-cli --lang ""
        complete_words lumivane-cli --format ""
        complete_words lumivane-cli --quiet rec
        complete_words lumivane-cli --or
        complete_words lumivane-cli an' _ "$completion")"
    want="identify records spectra colour history export annotate report list
--no-archive --note
zh en
xls xlsx csv json pdf
records
--original
annotate"
    [ "$got" = "$want" ] || fail "bash completion gave:
$got
instead of:
$want"
fi

# lintian fails on errors; warnings and informational tags are shown.
echo "== lintian $(basename "$deb")"
if ! lintian --display-info --tag-display-limit 0 --fail-on error "$deb"; then
    fail "lintian reports errors"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all package checks passed"
