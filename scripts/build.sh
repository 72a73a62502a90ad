#!/usr/bin/env bash
# Configures and builds Brindle, its tests and the sample workspace in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache, where the machine has it, makes a rebuild of a fresh clone quick.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build -j2
