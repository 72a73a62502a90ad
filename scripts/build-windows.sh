#!/usr/bin/env bash
# Cross-builds Brindle's core, brindle-cli.exe, brindle-sample.exe and the
# core tests for 64-bit Windows into build-win/, statically linked so that the
# executables run (under Wine too) with no DLL beside them.
#
# Of the libraries Brindle uses only zlib is packaged for MinGW-w64. The
# others are Debian 12's own source packages, fetched with apt-get source
# and cross-built once into a cache outside the clone,
# ${BRINDLE_CACHE:-~/.cache/brindle}/mingw-<key>, the key naming their
# versions, the compiler and the recipe below: a second run only builds
# Brindle. The sample workspace of build-win/ is made by brindle-sample.exe
# itself, under Wine (scripts/wine-run.sh).
set -euo pipefail
shopt -s inherit_errexit
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-deps.sh --windows

triplet=x86_64-w64-mingw32
cc=$triplet-gcc-posix
cxx=$triplet-g++-posix
cache=${BRINDLE_CACHE:-$HOME/.cache/brindle}
jobs=${BRINDLE_JOBS:-2}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# Debian 12's upstream versions; the Debian revisions are tried in order (an
# archive keeps only some of them: expat's latest security upload may be
# missing its tarball), then whatever revision of that upstream version the
# archive lists.
sqlite_version=3.40.1 sqlite_revisions="2+deb12u2 2+deb12u1 2"
expat_version=2.5.0 expat_revisions="1+deb12u2 1+deb12u1 1"
libzip_version=1.7.3 libzip_revisions="1"
xlsxwriter_version=1.1.4 xlsxwriter_revisions="2"
gtest_version=$(dpkg-query -W -f='${Version}' googletest)

# Fetches and unpacks (Debian's patches applied) source package $1 at
# upstream version $2 into the current folder; prints the folder.
fetch_source() {
    local package=$1 upstream=$2 revisions=$3 revision
    local listed
    listed=$(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | grep -F "$upstream-" || true)
    for revision in $revisions $listed; do
        revision=${revision#"$upstream-"}
        if apt-get source --download-only -qq "$package=$upstream-$revision" >&2 2>/dev/null; then
            dpkg-source --no-check -x "${package}_$upstream-$revision.dsc" "$package-src" >&2
            echo "$package-src"
            return 0
        fi
        rm -f "${package}_$upstream"*  # a half-fetched revision
    done
    echo "build-windows.sh: no source package $package $upstream in the archive" >&2
    return 1
}

cmake_cross() {  # source folder, build folder, options…
    local source=$1 build=$2
    shift 2
    cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
        -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_RC_COMPILER=$triplet-windres \
        -DCMAKE_FIND_ROOT_PATH="$prefix;/usr/$triplet" \
        -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
        -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF \
        -DZLIB_INCLUDE_DIR=/usr/$triplet/include -DZLIB_LIBRARY=/usr/$triplet/lib/libz.a \
        "$@" >"$build.log" 2>&1 &&
    cmake --build "$build" -j"$jobs" >>"$build.log" 2>&1 &&
    cmake --install "$build" >>"$build.log" 2>&1 ||
    { tail -40 "$build.log" >&2; echo "build-windows.sh: $source failed to build" >&2; return 1; }
}

# SQLite's configure generates the amalgamation sqlite3.c (with the host's
# tclsh); it is compiled with the options Debian's debian/rules builds the
# library with (its CFLAGS, and the --enable- switches of its configure
# call that become compile options).
build_sqlite() {
    local src
    src=$(fetch_source sqlite3 $sqlite_version "$sqlite_revisions")
    (cd "$src" && ./configure --disable-tcl >/dev/null && make -s sqlite3.c >/dev/null)
    local flags
    flags=$(sed -n '/^export CFLAGS += /,/[^\\]$/p' "$src/debian/rules" |
            sed 's/^export CFLAGS += //; s/\\$//' | tr '\n\t' '  ')
    [[ "$flags" == *SQLITE_SECURE_DELETE* ]] || { echo "build-windows.sh: no CFLAGS in sqlite3's debian/rules" >&2; return 1; }
    # shellcheck disable=SC2086
    $cc $flags -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS4 -DSQLITE_ENABLE_FTS5 \
        -c "$src/sqlite3.c" -o sqlite3.o
    mkdir -p "$prefix/lib/pkgconfig" "$prefix/include"
    $triplet-ar rcs "$prefix/lib/libsqlite3.a" sqlite3.o
    cp "$src/sqlite3.h" "$src/sqlite3ext.h" "$prefix/include/"
    printf '%s\n' "prefix=$prefix" 'Name: SQLite' 'Description: SQL database engine' \
        "Version: $sqlite_version" 'Libs: -L${prefix}/lib -lsqlite3' 'Cflags: -I${prefix}/include' \
        >"$prefix/lib/pkgconfig/sqlite3.pc"
}

# Debian builds expat with autotools, whose configure defines XML_DTD and
# XML_NS as 1, and its security patches test `#if XML_DTD == 1`; expat's
# CMake build defines them empty, so its template is made to say 1 too.
build_expat() {
    local src
    src=$(fetch_source expat $expat_version "$expat_revisions")
    sed -i 's/^#cmakedefine \(XML_DTD\|XML_NS\)$/#cmakedefine \1 1/' "$src/expat/expat_config.h.cmake"
    cmake_cross "$src/expat" expat-build -DEXPAT_SHARED_LIBS=OFF -DEXPAT_BUILD_TOOLS=OFF \
        -DEXPAT_BUILD_EXAMPLES=OFF -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF \
        -DEXPAT_BUILD_FUZZERS=OFF -DEXPAT_BUILD_PKGCONFIG=ON
}

# Brindle reads workbooks and writes none through libzip: no encryption, and
# only the deflate method workbooks use.
build_libzip() {
    local src
    src=$(fetch_source libzip $libzip_version "$libzip_revisions")
    cmake_cross "$src" libzip-build -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_ZSTD=OFF \
        -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_COMMONCRYPTO=OFF \
        -DENABLE_WINDOWS_CRYPTO=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF \
        -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
    # zip.h declares its functions as DLL imports unless told the library is
    # static; its pkg-config file does not say so.
    sed -i 's/^Cflags: .*/& -DZIP_STATIC/' "$prefix/lib/pkgconfig/libzip.pc"
}

# libxlsxwriter writes the tests' and the sample's workbooks; MinGW has no
# packaged minizip, so it takes the copy its source package carries.
build_xlsxwriter() {
    local src
    src=$(fetch_source libxlsxwriter $xlsxwriter_version "$xlsxwriter_revisions")
    cmake_cross "$src" xlsxwriter-build -DUSE_SYSTEM_MINIZIP=OFF -DBUILD_TESTS=OFF \
        -DBUILD_EXAMPLES=OFF
}

build_gtest() {
    cmake_cross /usr/src/googletest gtest-build -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
}

# CLI11 is headers only: the host's, with its CMake package beside them in
# the prefix (the package finds its headers relative to itself).
build_cli11() {
    mkdir -p "$prefix/include" "$prefix/share/cmake"
    cp -r /usr/include/CLI "$prefix/include/"
    cp -r /usr/share/cmake/CLI11 "$prefix/share/cmake/"
}

# Qt 6 for the program's windows and the GUI tests: Debian's qt6-base,
# cross-built as DLLs (Qt is LGPL: the DLLs beside brindle.exe stay
# replaceable), with Debian's own host tools (moc, rcc, uic) from /usr.
# Two options cannot wait: the +dfsg tarball drops the bundled wintab.h, so
# tablet events are off, and the Windows platform plugin of 6.4 does not
# compile without OpenGL, which is left on as dynamic (desktop or software,
# chosen when the program starts). What the program does not use is off;
# the third-party libraries Qt needs are its bundled copies.
qt_version=6.4.2+dfsg qt_revisions="10"
build_qt() {
    local src
    src=$(fetch_source qt6-base $qt_version "$qt_revisions")
    cmake -S "$src" -B qt-build -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
        -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_RC_COMPILER=$triplet-windres \
        -DCMAKE_FIND_ROOT_PATH="/usr/$triplet" \
        -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
        -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY \
        -DCMAKE_INSTALL_PREFIX="$qt_prefix" -DBUILD_SHARED_LIBS=ON \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
        -DFEATURE_xml=OFF -DFEATURE_jpeg=OFF -DFEATURE_tabletevent=OFF \
        -DFEATURE_opengl=ON -DINPUT_opengl=desktop \
        -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
        -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF "${launcher[@]}" \
        >qt-build.log 2>&1 &&
    cmake --build qt-build -j"$jobs" >>qt-build.log 2>&1 &&
    cmake --install qt-build >>qt-build.log 2>&1 ||
    { tail -40 qt-build.log >&2; echo "build-windows.sh: Qt failed to build (log: $PWD/qt-build.log)" >&2; return 1; }
}

recipe=$( {
    echo "sqlite $sqlite_version expat $expat_version libzip $libzip_version"
    echo "xlsxwriter $xlsxwriter_version googletest $gtest_version"
    dpkg-query -W -f='${Version}\n' libcli11-dev
    $cxx -dumpfullversion; dpkg-query -W -f='${Version}\n' libz-mingw-w64-dev mingw-w64-x86-64-dev
    declare -f fetch_source cmake_cross build_sqlite build_expat build_libzip build_xlsxwriter build_gtest \
        build_cli11
} | sha256sum | cut -c1-16)
prefix=$cache/mingw-$recipe

# Builds into prefix $1 (named $2 in messages) with the build_ functions
# named after it, unless an earlier run completed that prefix.
build_once() {
    local into=$1 what=$2 start=$SECONDS work library
    shift 2
    [[ -f "$into/.complete" ]] && return 0
    echo "Cross-building $what into $into (once for these versions)" >&2
    mkdir -p "$cache"
    work=$(mktemp -d "$cache/mingw-build.XXXXXX")
    rm -rf "$into"
    mkdir -p "$into"
    for library in "$@"; do
        (cd "$work"; build_$library) || { rm -rf "$work"; return 1; }
    done
    rm -rf "$work"
    touch "$into/.complete"
    echo "$what built in $((SECONDS - start)) s" >&2
}
build_once "$prefix" "the libraries" sqlite expat libzip xlsxwriter gtest cli11

qt_recipe=$( {
    echo "qt6-base $qt_version"
    dpkg-query -W -f='${Version}\n' qt6-base-dev-tools qt6-base-dev
    $cxx -dumpfullversion; dpkg-query -W -f='${Version}\n' mingw-w64-x86-64-dev
    declare -f fetch_source build_qt
} | sha256sum | cut -c1-16)
qt_prefix=$cache/qt-mingw-$qt_recipe
build_once "$qt_prefix" "Qt $qt_version" qt

# A build folder configured against other libraries starts afresh: CMake
# keeps what it found in its cache.
if [[ -f build-win/CMakeCache.txt ]] &&
   ! { grep -qxF "BRINDLE_MINGW_PREFIX:PATH=$prefix" build-win/CMakeCache.txt &&
       grep -qxF "BRINDLE_QT_PREFIX:PATH=$qt_prefix" build-win/CMakeCache.txt; }; then
    rm -rf build-win/CMakeCache.txt build-win/CMakeFiles
fi
cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DBRINDLE_MINGW_PREFIX="$prefix" \
    -DBRINDLE_QT_PREFIX="$qt_prefix" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh;--test" \
    -DBRINDLE_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-win -j"$jobs"
