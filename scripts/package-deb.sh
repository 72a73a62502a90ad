#!/usr/bin/env bash
# Builds the Debian package of Brindle: a Release build in build-deb/ (no
# tests, no benchmarks), then CPack. Prints the .deb's path,
# build-deb/brindle_<version>_amd64.deb. Its dependencies on Debian's
# runtime packages are worked out by dpkg-shlibdeps from what the
# executables link. scripts/check-deb.sh installs and starts it on a fresh
# Debian 12.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --deb >&2
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DBRINDLE_BUILD_TESTS=OFF -DBRINDLE_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-deb -j2 >&2
# A .deb of an earlier version must not be taken for this one's.
rm -f build-deb/brindle_*.deb
(cd build-deb && cpack -G DEB >cpack.log 2>&1) || { cat build-deb/cpack.log >&2; exit 1; }
deb=$(ls build-deb/brindle_*_amd64.deb)
echo "$PWD/$deb"
