#!/usr/bin/env bash
# Makes build-win/brindle-<version>-windows-x64.zip from the Windows build of
# build-win/ (scripts/build-windows.sh builds it first): one folder an
# engineer unpacks anywhere and starts brindle.exe in, on the sample
# workspace beside it.
#
# The folder holds the two programs, the DLLs they load that are not part
# of Windows (found by walking their imports: Qt's and the MinGW runtime's,
# nothing more), Qt's Windows platform and style plugins, Qt's Chinese
# translation, the sample workspace as the program folder (mu/, mu2/,
# workbooks/), 使用说明.txt (GBK, CR LF, as Notepad on a Chinese Windows
# reads it) and the licence texts of everything inside. Prints the zip's path.
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."

[[ "${1:-}" == --no-build ]] || scripts/build-windows.sh >&2
[[ -f build-win/brindle.exe ]] || { echo "package-windows.sh: no build-win/brindle.exe" >&2; exit 1; }

triplet=x86_64-w64-mingw32
cxx=$triplet-g++-posix
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-win/CMakeCache.txt)
qt_prefix=$(sed -n 's/^BRINDLE_QT_PREFIX:PATH=//p' build-win/CMakeCache.txt)
name=brindle-$version-windows-x64
translation=/usr/share/qt6/translations/qtbase_zh_CN.qm
[[ -f "$translation" ]] || { echo "package-windows.sh: no $translation (qt6-translations-l10n)" >&2; exit 1; }

# Where the DLLs that are not Windows' own come from.
dll_folders=("$qt_prefix/bin")
for dll in libstdc++-6.dll libwinpthread-1.dll; do
    dll_folders+=("$(dirname "$($cxx -print-file-name=$dll)")")
done

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
out=$stage/$name
mkdir -p "$out/platforms" "$out/styles" "$out/translations" "$out/licenses"
cp build-win/brindle.exe build-win/brindle-cli.exe "$out/"
cp "$qt_prefix/plugins/platforms/qwindows.dll" "$out/platforms/"
cp "$qt_prefix/plugins/styles/qwindowsvistastyle.dll" "$out/styles/"
cp "$translation" "$out/translations/"

# Copies the DLLs that the files given import, and theirs, from dll_folders;
# a DLL found in none of them is one of Windows' own.
declare -A seen=()
copy_imports() {
    local file dll folder
    for file in "$@"; do
        while read -r dll; do
            [[ -n "${seen[${dll,,}]:-}" ]] && continue
            seen[${dll,,}]=1
            for folder in "${dll_folders[@]}"; do
                if [[ -f "$folder/$dll" ]]; then
                    cp "$folder/$dll" "$out/"
                    copy_imports "$out/$dll"
                    break
                fi
            done
        done < <($triplet-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
    done
}
copy_imports "$out"/*.exe "$out"/platforms/*.dll "$out"/styles/*.dll

# The build keeps its debugging information; the package does not need it.
$triplet-strip --strip-all "$out"/*.exe
$triplet-strip --strip-unneeded "$out"/*.dll "$out"/platforms/*.dll "$out"/styles/*.dll

cp -r build-win/workspace/mu build-win/workspace/mu2 build-win/workspace/workbooks "$out/"
rm -f "$out"/mu/*-journal "$out"/mu2/*-journal

# Text for Windows: GBK with CR LF.
to_windows_text() { iconv -f UTF-8 -t GBK "$1" | sed 's/$/\r/' >"$2"; }
to_windows_text packaging/windows/使用说明.txt "$out/使用说明.txt"

# Licences: Debian's copyright files of the packages whose code is inside
# (they name every author and licence, bundled code included), the licence
# texts they refer to, and where the source comes from.
licence() { cp "/usr/share/doc/$1/copyright" "$out/licenses/$2.txt"; }
licence libqt6core6 Qt
licence libsqlite3-0 SQLite
licence libexpat1 expat
licence libzip4 libzip
licence libz-mingw-w64 zlib
licence libcli11-dev CLI11
licence gcc-mingw-w64-x86-64-posix-runtime GCC-runtime
licence mingw-w64-x86-64-dev MinGW-w64
for text in LGPL-3 GPL-3 GPL-2; do
    cp "/usr/share/common-licenses/$text" "$out/licenses/$text.txt"
done
qt_source=$(sed -n 's/^qt_version=\([^ ]*\) qt_revisions="\([^ "]*\).*/\1-\2/p' scripts/build-windows.sh)
cat >"$stage/sources.txt" <<EOF
Brindle $version for Windows

Qt is used under the GNU Lesser General Public License version 3
(LGPL-3.txt, with GPL-3.txt). brindle.exe links Qt dynamically: the
Qt6*.dll files and the plugins in platforms/ and styles/ can be replaced by
other builds of Qt $(echo "$qt_source" | cut -d+ -f1).

Qt was built from Debian 12's source package qt6-base, version $qt_source
("apt-get source qt6-base=$qt_source"), by scripts/build-windows.sh of
Brindle's source, which also states every option it was configured with.
SQLite, expat and libzip come from Debian 12's source packages sqlite3,
expat and libzip in the same way; zlib, the GCC runtime (libstdc++,
libgcc) and winpthreads from Debian 12's MinGW-w64 packages
(libz-mingw-w64, gcc-mingw-w64-x86-64-posix-runtime, mingw-w64-x86-64-dev).
Each of these packages' copyright files, with their authors and licences,
is the .txt of its name in this folder.
EOF
sed 's/$/\r/' "$stage/sources.txt" >"$out/licenses/SOURCES.txt"

zip=$PWD/build-win/$name.zip
rm -f "$zip"
# Python's zipfile marks names that are not ASCII as UTF-8, which Windows'
# own unpacking honours.
(cd "$stage" && python3 - "$zip" "$name" <<'EOF'
import os, sys, zipfile
target, top = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for folder, dirs, files in os.walk(top):
        dirs.sort()
        for name in sorted(files):
            z.write(os.path.join(folder, name))
EOF
)
echo "package-windows.sh: $(cd "$out" && find . -type f | wc -l) files, DLLs:" \
    "$(cd "$out" && ls ./*.dll | sed 's|^\./||' | tr '\n' ' ')" >&2
echo "$zip"
