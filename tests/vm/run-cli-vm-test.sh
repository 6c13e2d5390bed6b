#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# An end-to-end test of lumivane-cli: the same commands run on this host against the in-process
# virtual meter (--virtual-meter IMAGE) and inside the VM against the UHID meter answering from
# the same image through the kernel (hidraw, hidapi). Everything the host run produces (standard
# output, standard error, exit status, files written) is the expectation that the VM run must
# meet byte for byte; nothing is written down by hand.
#
# Usage: run-cli-vm-test.sh --cli HOST_CLI --catalog-dir DIR --list CASES [--images DIR]...
#                           --work DIR [run-vm.sh options: --exec, --cache, --timeout, ...]
#
# The case list is a command list for guest/run-commands.sh with two more verbs that this script
# expands (words are split and quoted as in the shell):
#   derive NAME SOURCE [--repeat K] [--unplug-after N]
#                     a new image NAME from image SOURCE: its records and names repeated K times,
#                     the meter's unplug fault set to N input reports
#   cli DIR ARGS...   lumivane-cli --catalog-dir CATALOGS ARGS run in DIR (below the output
#                     folder) against the meter plugged in last; stdout.txt and stderr.txt
#                     keep its output, its exit status must be the host's
# "meter IMAGE [--vanish-after N]" names an image from --images or from derive; on the host,
# --vanish-after N becomes the image's unplug fault after N input reports, which is what the
# UHID meter does with it. Every other line goes to the VM as it is.
# The folders written by the VM must hold exactly the files of the host run.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
cli="" catalogs="" list="" work=""
image_dirs=() vm_args=()
while [ "$#" -gt 0 ]; do
    case "$1" in
        --cli) cli="$2"; shift 2 ;;
        --catalog-dir) catalogs="$2"; shift 2 ;;
        --list) list="$2"; shift 2 ;;
        --images) image_dirs+=("$2"); shift 2 ;;
        --work) work="$2"; shift 2 ;;
        --exec|--data|--file|--env|--cache|--timeout|--memory) vm_args+=("$1" "$2"); shift 2 ;;
        *) echo "run-cli-vm-test: unknown argument: $1" >&2; exit 2 ;;
    esac
done
if [ -z "$cli" ] || [ -z "$catalogs" ] || [ -z "$list" ] || [ -z "$work" ]; then
    echo "usage: run-cli-vm-test.sh --cli HOST_CLI --catalog-dir DIR --list CASES [--images DIR]... --work DIR ..." >&2
    exit 2
fi
command -v python3 >/dev/null || { echo "run-cli-vm-test: python3 is missing (scripts/install-deps.sh)" >&2; exit 2; }

mkdir -p "$work"
work="$(cd "$work" && pwd)"
# The host runs each command in its own folder: make the paths absolute.
[ -x "$cli" ] || { echo "run-cli-vm-test: not an executable: $cli" >&2; exit 2; }
cli="$(cd "$(dirname "$cli")" && pwd)/$(basename "$cli")"
catalogs="$(cd "$catalogs" && pwd)"
for i in "${!image_dirs[@]}"; do
    image_dirs[$i]="$(cd "${image_dirs[$i]}" && pwd)"
done
expected="$work/expected"
derived="$work/images"
guest_list="$work/commands.txt"
rm -rf "$expected" "$derived"
mkdir -p "$expected" "$derived" "$work/runtime"
chmod 0700 "$work/runtime"
: >"$guest_list"

line_no=0
# To standard error: image_path runs in a command substitution.
die() { echo "FAIL: $list:$line_no: $*" >&2; exit 1; }

# The file of image NAME: a derived one, or the first --images folder that has it.
image_path() {
    if [ -f "$derived/$1" ]; then echo "$derived/$1"; return; fi
    for dir in ${image_dirs[@]+"${image_dirs[@]}"}; do
        if [ -f "$dir/$1" ]; then echo "$dir/$1"; return; fi
    done
    die "no image $1"
}

# derive_image OUT SOURCE REPEAT UNPLUG_AFTER (0: keep the image's own unplug fault)
derive_image() {
    python3 - "$@" <<'EOF' || die "cannot derive an image from $2"
import json, sys
out, source, repeat, unplug = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
with open(source, encoding="utf-8") as f:
    image = json.load(f)
for key in ("records", "names"):
    if key in image:
        image[key] = image[key] * repeat
if "recordCount" in image:
    image["recordCount"] *= repeat
if unplug > 0:
    image.setdefault("faults", {})["unplugAfterReports"] = unplug
with open(out, "w", encoding="utf-8") as f:
    json.dump(image, f, indent=1)
EOF
}

# Arguments go to the guest's shell unquoted: keep them to plain words.
check_words() {
    for word in "$@"; do
        [[ "$word" =~ ^[A-Za-z0-9._/=-]+$ ]] || die "'$word': only letters, digits and ._/=- are allowed in cli arguments"
    done
}

declare -A sent_images=()
host_image=""
while IFS= read -r line || [ -n "$line" ]; do
    line_no=$((line_no + 1))
    case "$line" in '' | '#'*) continue ;; esac
    read -r verb _ <<<"$line"
    case "$verb" in
        derive | meter | cli) eval "set -- $line"; shift ;;
    esac
    case "$verb" in
    derive)
        [ "$#" -ge 2 ] || die "derive: NAME SOURCE [--repeat K] [--unplug-after N]"
        name="$1" source="$(image_path "$2")" repeat=1 unplug=0
        shift 2
        while [ "$#" -gt 0 ]; do
            case "$1" in
                --repeat) repeat="$2"; shift 2 ;;
                --unplug-after) unplug="$2"; shift 2 ;;
                *) die "derive: unknown option $1" ;;
            esac
        done
        derive_image "$derived/$name" "$source" "$repeat" "$unplug"
        ;;
    meter)
        [ "$#" -ge 1 ] || die "meter: no image"
        image="$(image_path "$1")"
        sent_images["$image"]=1
        host_image="$image"
        if [ "${2:-}" = "--vanish-after" ]; then
            [ -n "${3:-}" ] || die "meter: --vanish-after needs a number"
            host_image="$derived/host-vanish-$line_no-$(basename "$1")"
            derive_image "$host_image" "$image" 1 "$3"
        fi
        printf '%s\n' "$line" >>"$guest_list"
        ;;
    cli)
        [ "$#" -ge 2 ] || die "cli: DIR ARGS..."
        [ -n "$host_image" ] || die "cli: no meter plugged in before"
        dir="$1"
        shift
        check_words "$dir" "$@"
        [ ! -e "$expected/$dir" ] || die "cli: folder $dir is used twice"
        mkdir -p "$expected/$dir"
        status=0
        # The archive is not what this test is about: neither side keeps the downloads.
        (cd "$expected/$dir" && XDG_RUNTIME_DIR="$work/runtime" LANG=zh_CN.UTF-8 LC_ALL= LC_MESSAGES= LANGUAGE= "$cli" --catalog-dir "$catalogs" --no-archive \
            --virtual-meter "$host_image" "$@" >stdout.txt 2>stderr.txt) || status=$?
        echo "host: ($dir) lumivane-cli $* -> exit status $status, $(ls "$expected/$dir" | paste -sd' ')"
        # 0 and 1 are the command line's results; anything else means it did not run properly.
        [ "$status" -le 1 ] || die "the host's lumivane-cli exited with status $status: $(cat "$expected/$dir/stderr.txt")"
        printf 'run %d sh -c "mkdir -p %s && cd %s && LANG=zh_CN.UTF-8 lumivane-cli --catalog-dir \\"$VM_DATA\\" --no-archive %s >stdout.txt 2>stderr.txt"\n' \
            "$status" "$dir" "$dir" "$*" >>"$guest_list"
        ;;
    unplug | gone)
        host_image=""
        printf '%s\n' "$line" >>"$guest_list"
        ;;
    *)
        printf '%s\n' "$line" >>"$guest_list"
        ;;
    esac
done <"$list"

# The VM keeps its data files in one folder: image names must not clash.
data_args=()
declare -A sent_names=()
for image in "${!sent_images[@]}"; do
    name="$(basename "$image")"
    [ -z "${sent_names[$name]:-}" ] || { echo "FAIL: two images named $name" >&2; exit 1; }
    sent_names["$name"]=1
    data_args+=(--data "$image")
done
for catalog in meterno unitno probeno; do
    data_args+=(--data "$catalogs/$catalog")
done
exec "$here/run-vm.sh" --work "$work" --script "$here/guest/run-commands.sh" \
    --exec "$cli" "${data_args[@]}" --data "$guest_list" --env VM_COMMANDS=commands.txt \
    --expect "$expected" "${vm_args[@]}"
