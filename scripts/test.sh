#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (the GUI tests on
# Qt's offscreen platform).
#
#   --windows  then cross-builds for Windows (scripts/build-windows.sh), runs
#              the core and command-line tests of build-win/ under Wine, and
#              compares the Linux and the Windows brindle-cli byte for byte
#              over the sample workspace (scripts/compare-windows.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
windows=false
for flag in "$@"; do
    case "$flag" in
        --windows) windows=true ;;
        *) echo "test.sh: unknown option $flag" >&2; exit 2 ;;
    esac
done

timed() {  # label, command…
    local start=$SECONDS
    "${@:2}"
    echo "test.sh: $1 took $((SECONDS - start)) s" >&2
}

scripts/install-deps.sh
timed "the Linux build" scripts/build.sh
(cd build && timed "the Linux tests" env QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
$windows || exit 0

timed "the Windows build" scripts/build-windows.sh
# ctest runs every test through scripts/wine-run.sh, each with its timeout.
(cd build-win && timed "the Windows tests under Wine" ctest --output-on-failure -j2)
timed "the comparison" scripts/compare-windows.sh
