#!/usr/bin/env bash
# Starts the Windows package's brindle.exe under Wine with Qt's real Windows
# platform plugin, on a virtual display (Xvfb), as an engineer would: the
# package unpacked into a folder whose name has Chinese characters and a
# space, brindle.exe started with no option, so it works on the sample
# workspace beside it. Driven from the keyboard (xdotool), it must show the
# start window, take the first 4G and 2G library, open the main window,
# generate 添加邻区 for two cells of the sample network, copy the script
# with 复制脚本内容 (the check reads Wine's clipboard through X) and exit
# with 0 when its windows are closed. The script must be byte for byte what
# brindle-cli.exe of the same package writes.
#
#   scripts/check-windows-gui.sh [ZIP] [--screenshots DIR]
#
# ZIP defaults to the one scripts/package-windows.sh makes. With
# --screenshots, each window is saved as a PNG (xwd -id per window: a grab
# of the whole screen shows Wine's dialogs black).
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
root=$PWD

zip="" shots=""
while [[ $# -gt 0 ]]; do
    case "$1" in
        --screenshots) shots=$(realpath -m "$2"); shift 2 ;;
        *) zip=$(realpath "$1"); shift ;;
    esac
done
[[ -n "$zip" ]] || zip=$(scripts/package-windows.sh --no-build)

work=$(mktemp -d)
display_pid="" program_pid=""
cleanup() {
    [[ -n "$program_pid" ]] && kill "$program_pid" 2>/dev/null || true
    [[ -n "$display_pid" ]] && kill "$display_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-windows-gui.sh: $*" >&2; shot failed; exit 1; }

folder="$work/测试 目录"
mkdir -p "$folder"
(cd "$folder" && python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall()' "$zip")
program=$(ls -d "$folder"/brindle-*-windows-x64)

# A display of its own, with a window manager so that focus follows the
# windows Wine maps.
for number in $(seq 91 120); do
    [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]] || break
done
export DISPLAY=:$number
Xvfb "$DISPLAY" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
display_pid=$!
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done 2>/dev/null
command -v openbox >/dev/null && { openbox >/dev/null 2>&1 & }

# Saves every window of the program as $shots/<step>-<n>.png.
shot() {
    [[ -n "$shots" ]] || return 0
    mkdir -p "$shots"
    local n=0 id
    for id in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null || true); do
        n=$((n + 1))
        xwd -silent -id "$id" | convert xwd:- "$shots/$1-$n.png" 2>/dev/null || true
    done
}

# Waits up to 60 s for a visible window titled $1; prints its id.
window() {
    local id
    for _ in $(seq 600); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | tail -1 || true)
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}
keys() {  # window id, keys…
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    xdotool key --delay 150 "${@:2}"
}

version=$(basename "$program" | sed 's/^brindle-//; s/-windows-x64$//')
BRINDLE_WINE_DISPLAY=$DISPLAY "$root/scripts/wine-run.sh" "$program/brindle.exe" \
    >"$work/out.txt" 2>&1 &
program_pid=$!

start=$(window "Brindle $version") || fail "the start window did not appear"
shot start
STEPS_GO_HERE=1

echo "check-windows-gui.sh: brindle.exe started, generated and exited cleanly" >&2
