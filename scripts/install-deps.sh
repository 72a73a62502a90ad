#!/usr/bin/env bash
# Installs the Debian 12 packages Brindle builds and runs with. Installs only
# what is missing; uses sudo when not run as root.
#
#   --gui      a font with Chinese glyphs, so the GUI is readable
#   --deb      what scripts/package-deb.sh and scripts/check-deb.sh use:
#              dpkg-shlibdeps (dpkg-dev) and file for CPack's dependencies,
#              debootstrap for a fresh Debian 12, Xvfb and xdotool to start
#              the program there
#   --fuzz     clang and its libFuzzer and sanitizer runtimes (fuzz/run)
#   --bench    GNU time, openpyxl, Node.js and npm (bench/run)
#   --windows  the MinGW-w64 cross compiler, zlib for it, Wine, the Chinese
#              UTF-8 locale and a deb-src entry, so scripts/build-windows.sh
#              can fetch and cross-build the other libraries and Qt from
#              Debian's source packages; a virtual display and the tools that
#              drive it, for the check of the program's real windows
#              (scripts/check-windows-gui.sh)
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libsqlite3-dev libcli11-dev libzip-dev libexpat1-dev libgsf-1-dev
    libgtest-dev libbenchmark-dev libxlsxwriter-dev python3
    # Qt's own texts in Chinese (qtbase_zh_CN.qm): its standard buttons and
    # dialogs say 确定/取消.
    qt6-translations-l10n
)
windows=false
for flag in "$@"; do
    case "$flag" in
        --gui) packages+=(fonts-wqy-microhei) ;;
        --deb) packages+=(dpkg-dev file debootstrap xvfb xdotool) ;;
        --fuzz) packages+=(clang libclang-rt-14-dev) ;;
        # bench/run times whole processes with GNU time and compares the import
        # with openpyxl and SheetJS reading the same workbook (SheetJS itself
        # comes from npm, into bench/node_modules/; Node.js and npm from Debian
        # unless a Node.js with its npm is there already).
        --bench)
            packages+=(time python3-openpyxl)
            command -v npm >/dev/null || packages+=(nodejs npm)
            ;;
        # dpkg-dev unpacks the source packages; googletest is the source
        # /usr/src/googletest the Windows tests are built from. The Windows
        # package takes Qt's Chinese translation (qt6-translations-l10n) and
        # the licence texts of the Debian packages whose code it carries.
        --windows)
            windows=true
            packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine64 dpkg-dev
                       locales googletest tcl xz-utils wine
                       xvfb openbox xdotool xclip x11-apps imagemagick fonts-wqy-microhei)
            ;;
        *) echo "install-deps.sh: unknown option $flag" >&2; exit 2 ;;
    esac
done

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

# Writes a deb-src entry for each of the machine's own Debian deb entries
# (same URIs, suites and components), so `apt-get source` finds the source
# packages of the release the machine runs. Entries of other suites (a
# vendor's repository) are left out: they need not carry sources.
# Prints "changed" when it wrote a new file.
write_deb_src() {
    local codename out=/etc/apt/sources.list.d/brindle-deb-src.sources
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [[ -n "$codename" ]] || { echo "install-deps.sh: no VERSION_CODENAME in /etc/os-release" >&2; return 1; }
    local entries
    entries=$(python3 - "$codename" <<'PY'
import glob, re, sys
codename = sys.argv[1]
ours = "/etc/apt/sources.list.d/brindle-deb-src.sources"
stanzas, have_src = [], False

def debian_suites(suites):
    return [s for s in suites if s == codename or s.startswith(codename + "-")]

for path in sorted(glob.glob("/etc/apt/sources.list.d/*.sources")):
    if path == ours:
        continue
    for block in re.split(r"\n\s*\n", open(path, encoding="utf-8").read()):
        fields = {}
        for line in block.splitlines():
            if line.startswith("#") or not line.strip():
                continue
            if line[0].isspace() and fields:   # a folded field (Signed-By's key)
                continue
            key, _, value = line.partition(":")
            fields[key.strip().lower()] = value.strip()
        if fields.get("enabled", "yes").lower() == "no":
            continue
        types = fields.get("types", "").split()
        if "deb-src" in types:
            have_src = True
        suites = debian_suites(fields.get("suites", "").split())
        if "deb" in types and suites and "uris" in fields:
            stanzas.append((fields["uris"], suites, fields.get("components", "main"),
                            fields.get("signed-by", "")))
for path in ["/etc/apt/sources.list", *sorted(glob.glob("/etc/apt/sources.list.d/*.list"))]:
    try:
        lines = open(path, encoding="utf-8").read().splitlines()
    except OSError:
        continue
    for line in lines:
        words = line.split("#", 1)[0].split()
        if not words:
            continue
        if words[0] == "deb-src":
            have_src = True
        if words[0] != "deb":
            continue
        words = words[1:]
        options = ""
        if words and words[0].startswith("["):
            while words and not words[0].endswith("]"):
                options += words.pop(0) + " "
            options += words.pop(0)
        if len(words) >= 2 and debian_suites([words[1]]):
            signed = re.search(r"signed-by=(\S+?)\]?(?:\s|$)", options)
            stanzas.append((words[0], [words[1]], " ".join(words[2:]) or "main",
                            signed.group(1) if signed else ""))
if have_src:
    sys.exit(0)
for uris, suites, components, signed in stanzas:
    print("Types: deb-src")
    print("URIs: " + uris)
    print("Suites: " + " ".join(suites))
    print("Components: " + components)
    if signed:
        print("Signed-By: " + signed)
    print()
PY
)
    [[ -n "$entries" ]] || return 0
    if [[ ! -f "$out" ]] || [[ "$(cat "$out")" != "$entries" ]]; then
        printf '%s\n' "$entries" | $sudo tee "$out" >/dev/null
        echo changed
    fi
}

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

update_needed=false
[[ ${#missing[@]} -gt 0 ]] && update_needed=true
if $windows; then
    command -v python3 >/dev/null || { $sudo apt-get update -qq; $sudo apt-get install -y -qq python3; }
    [[ "$(write_deb_src)" == changed ]] && update_needed=true
    # Without a Sources index apt-get source finds nothing.
    compgen -G "/var/lib/apt/lists/*_source_Sources*" >/dev/null || update_needed=true
fi
$update_needed && $sudo apt-get update -qq
[[ ${#missing[@]} -gt 0 ]] && $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

# Wine takes its ANSI code page from the locale: zh_CN.UTF-8 gives 936, the
# code page of a Chinese Windows, which the Windows tests run under.
if $windows && ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
    $sudo sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^zh_CN\.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
fi
exit 0
