#!/usr/bin/env bash
# Renders the application icon, src/gui/icons/brindle.svg, into the PNGs the
# window icon and the desktop entry use (brindle-<size>.png) and the
# multi-size brindle.ico of the Windows executables. The outputs are
# committed, so a build needs no image tool: run this after changing the SVG.
# Installs librsvg2-bin (rsvg-convert draws the SVG) and imagemagick (packs
# the .ico) when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

sizes=(16 24 32 48 64 128 256)
dir=src/gui/icons

missing=()
command -v rsvg-convert >/dev/null || missing+=(librsvg2-bin)
[[ -x /usr/bin/convert ]] || missing+=(imagemagick)
if [[ ${#missing[@]} -gt 0 ]]; then
    sudo=""
    [[ $(id -u) -ne 0 ]] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

pngs=()
for size in "${sizes[@]}"; do
    rsvg-convert --width "$size" --height "$size" "$dir/brindle.svg" --output "$dir/brindle-$size.png"
    pngs+=("$dir/brindle-$size.png")
done
# Debian's ImageMagick by its own path: one image of the .ico per size, as
# drawn above (none scaled from another). -strip keeps dates out of the
# files, so a second run changes nothing.
/usr/bin/convert "${pngs[@]}" -strip "$dir/brindle.ico"
for png in "${pngs[@]}"; do /usr/bin/convert "$png" -strip "$png"; done
echo "made ${pngs[*]} $dir/brindle.ico"
