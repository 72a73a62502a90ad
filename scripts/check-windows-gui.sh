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
    [[ -n "${wm_pid:-}" ]] && kill "$wm_pid" 2>/dev/null || true
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
openbox >/dev/null 2>&1 &
wm_pid=$!

# Saves every window of the program as $shots/<step>-<n>.png.
shot() {
    [[ -n "$shots" ]] || return 0
    mkdir -p "$shots"
    local n=0 id
    for id in $(xdotool search --onlyvisible --pid "$(wine_pid)" 2>/dev/null || true); do
        n=$((n + 1))
        xwd -silent -id "$id" | convert xwd:- "$shots/$1-$n.png" 2>/dev/null || true
    done
}

# Waits up to 60 s for a visible window of the program, other than those
# given, whose title matches the pattern $1; prints its id.
window() {
    local pattern=$1 id known
    shift
    for _ in $(seq 600); do
        for id in $(xdotool search --onlyvisible --pid "$(wine_pid)" --name "$pattern" 2>/dev/null || true); do
            for known in "$@"; do [[ "$id" == "$known" ]] && continue 2; done
            echo "$id"
            return 0
        done
        sleep 0.1
    done
    return 1
}
# The Windows process of brindle.exe (Wine gives its windows the Linux pid).
wine_pid() { pgrep -f -n 'brindle\.exe$' || echo 0; }
focus() { xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"; }
# Clicks at a point of a window, in the window's own coordinates.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
# Types a text through the clipboard (xdotool cannot type Chinese into Wine).
paste() {
    printf '%s' "$1" | xclip -selection clipboard 2>/dev/null
    sleep 0.3
    xdotool key ctrl+a ctrl+v
    sleep 0.3
}

# A first start: no settings of an earlier check (remembered folders,
# window places, the libraries last chosen) in the Wine prefix.
rm -rf "${BRINDLE_CACHE:-$HOME/.cache/brindle}"/wine-*/drive_c/users/*/AppData/Roaming/Brindle
source_cell=LF_城北大厦-1 target_cell=LF_城北大厦-2
mkdir -p "$work/saved"
BRINDLE_WINE_DISPLAY=$DISPLAY "$root/scripts/wine-run.sh" "$program/brindle.exe" \
    >"$work/out.txt" 2>&1 &
program_pid=$!

# The start window: its first box has the focus. The first (the sample's)
# 4G and 2G library, then 小区操作.
start=$(window "^选择工参库") || fail "the start window did not appear"
shot 1-start
focus "$start"
xdotool key --delay 200 Down Tab Down Tab Tab Tab space

# The main window, 4G page: the two name boxes, then 添加邻区 and its
# message; the places are those of the window's 1180×720 layout under
# openbox.
main=$(window "^小区操作" "$start") || fail "the main window did not open"
sleep 1
shot 2-main
focus "$main"
click "$main" 110 300
paste "$source_cell"
click "$main" 327 300
paste "$target_cell"
click "$main" 1007 128
done_box=$(window "^Brindle\$" "$start" "$main") || fail "添加邻区 showed no message"
shot 3-generated
focus "$done_box"
xdotool key Return

# 复制脚本内容 saves the script. The name is typed without its extension,
# which the dialog adds (.TXT, from the filter).
focus "$main"
click "$main" 1106 310
dialog=$(window "" "$start" "$main" "$done_box") || fail "复制脚本内容 opened no file dialog"
shot 4-save
focus "$dialog"
paste "Z:${work//\//\\}\\saved\\添加邻区"
xdotool key Return
for _ in $(seq 100); do [[ -f "$work/saved/添加邻区.TXT" ]] && break; sleep 0.1; done
[[ -f "$work/saved/添加邻区.TXT" ]] || fail "the script was not saved"
saved_box=$(window "^Brindle\$" "$start" "$main" "$done_box" "$dialog") || fail "the save showed no message"
shot 5-saved
focus "$saved_box"
xdotool key Return

# The same script from the command line of the package, on the same folder.
printf '%s\r\n' "$source_cell" >"$work/source.txt"
printf '%s\r\n' "$target_cell" >"$work/target.txt"
(cd "$program" && "$root/scripts/wine-run.sh" ./brindle-cli.exe --lib4g 示例网络.edb --lib2g 示例网络2G.edb \
    gen neighbour-add --source "Z:$work/source.txt" --target "Z:$work/target.txt" -o "Z:$work/cli.txt" 2>/dev/null)
cmp "$work/cli.txt" "$work/saved/添加邻区.TXT" ||
    fail "the window's script differs from brindle-cli.exe's"

# Closing the main window ends the program, with 0.
focus "$main"
xdotool key alt+F4
for _ in $(seq 300); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "brindle.exe did not end when its window was closed"
rc=0
wait "$program_pid" || rc=$?
program_pid=""
[[ $rc -eq 0 ]] || { cat "$work/out.txt" >&2; fail "brindle.exe ended with $rc"; }
echo "check-windows-gui.sh: brindle.exe started in \"$(basename "$folder")\", generated 添加邻区 as brindle-cli.exe does and ended with 0" >&2
