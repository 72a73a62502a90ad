#!/usr/bin/env bash
# Installs the Debian 12 packages Brindle builds and runs with. Installs only
# what is missing; uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlite3-dev libcli11-dev libzip-dev libexpat1-dev libgsf-1-dev
    libgtest-dev libbenchmark-dev libxlsxwriter-dev python3
)
# The GUI needs a font with Chinese glyphs to be readable.
if [[ "${1:-}" == "--gui" ]]; then packages+=(fonts-wqy-microhei); fi
# fuzz/run builds the fuzz targets with clang and its libFuzzer and sanitizer
# runtimes.
if [[ "${1:-}" == "--fuzz" ]]; then packages+=(clang libclang-rt-14-dev); fi
# bench/run times whole processes with GNU time and compares the import with
# openpyxl and SheetJS reading the same workbook (SheetJS itself comes from
# npm, into bench/node_modules/; Node.js and npm from Debian unless a Node.js
# with its npm is there already).
if [[ "${1:-}" == "--bench" ]]; then
    packages+=(time python3-openpyxl)
    command -v npm >/dev/null || packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
