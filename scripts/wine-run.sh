#!/usr/bin/env bash
# Runs a Windows executable of build-win/ under Wine, headless, as a Chinese
# Windows would: LC_ALL=zh_CN.UTF-8 makes Wine's ANSI code page 936. CMake
# puts this in front of every test command and of the sample workspace's
# brindle-sample.exe (CMAKE_CROSSCOMPILING_EMULATOR).
#
# The Wine prefix lives in the cache beside the cross-built libraries, one
# per Wine version, made on first use (under a lock: ctest starts tests in
# parallel).
set -euo pipefail
cache=${BRINDLE_CACHE:-$HOME/.cache/brindle}
wine=$(command -v wine || echo /usr/lib/wine/wine64)
version=$("$wine" --version 2>/dev/null | tr -cs 'A-Za-z0-9.' '-' | sed 's/^wine-//; s/-$//')
export WINEPREFIX=${BRINDLE_WINEPREFIX:-$cache/wine-$version}
export WINEDEBUG=-all
export LC_ALL=zh_CN.UTF-8
# No Mono or Gecko installer, no menu entries and no crash dialog.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A display only when asked for (the check of the real windows under Xvfb).
export DISPLAY=${BRINDLE_WINE_DISPLAY:-}
# BRINDLE_WINE_DLLS: Linux folders, colon-separated, where the program's DLLs
# are (Qt's and the runtime's for the GUI tests); Wine searches WINEPATH's.
if [[ -n "${BRINDLE_WINE_DLLS:-}" ]]; then
    IFS=: read -ra folders <<<"$BRINDLE_WINE_DLLS"
    WINEPATH=$(printf 'Z:%s;' "${folders[@]}")
    export WINEPATH=${WINEPATH%;}
fi

if [[ ! -f "$WINEPREFIX/.ready" ]]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec 9>"$WINEPREFIX.lock"
    flock 9
    if [[ ! -f "$WINEPREFIX/.ready" ]]; then
        rm -rf "$WINEPREFIX"
        "$wine" wineboot --init >/dev/null 2>&1
        # Wine reads a drive's label and serial number from its block device,
        # which a container does not let it open ("Read access denied for
        # device", printed on the program's stderr by every
        # GetVolumeInformationW): the drive of / gets a device that reads as
        # empty, so the label is empty and the serial 0, silently.
        ln -sfn /dev/null "$WINEPREFIX/dosdevices/z::"
        # A crash of a test ends the test instead of waiting in winedbg.
        "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
            /v Auto /t REG_SZ /d 0 /f >/dev/null 2>&1
        "$(dirname "$wine")/wineserver" -w 2>/dev/null || wineserver -w 2>/dev/null || true
        touch "$WINEPREFIX/.ready"
    fi
    exec 9>&-
fi
# Left to itself the wineserver quits a few seconds after its last client,
# and a program started in that moment fails before it runs ("wine client
# error: … recvmsg: connection reset by peer", "wine: a wine server seems to
# be running, but I cannot connect to it", or now and then nothing at all
# within a few hundredths of a second). Nothing of the program ran then,
# so it is started again; any other failure is the program's own. With
# --test first (ctest's emulator: every test prints something when it
# runs), a quick failure with no output at all is taken for one that did
# not start too; a command such as `brindle-cli find` may rightly end with
# 1 and print nothing. (A wineserver kept running for
# the whole test run avoids the race but made tests that lock a file from
# two processes hang under Wine 8.) Standard output is kept until the
# program ends, byte for byte.
silent_retry=false
[[ "${1:-}" == --test ]] && { silent_retry=true; shift; }
err=$(mktemp) out=$(mktemp)
trap 'rm -f "$err" "$out"' EXIT
for attempt in 1 2 3; do
    rc=0 started=$EPOCHREALTIME
    "$wine" "$@" >"$out" 2>"$err" || rc=$?
    if [[ $rc -ne 0 && $attempt -lt 3 ]]; then
        if grep -q -e '^wine client error' -e '^wine: a wine server seems to be running' "$err"; then
            sleep 1
            continue
        fi
        quick=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { print (b - a < 0.5) }')
        if $silent_retry && [[ $quick == 1 && ! -s "$out" && ! -s "$err" ]]; then
            echo "wine-run.sh: $1 ended with $rc at once and printed nothing: started again" >&2
            continue
        fi
    fi
    cat "$out"
    cat "$err" >&2
    exit "$rc"
done
