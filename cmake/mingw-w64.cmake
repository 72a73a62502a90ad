# Cross-building for 64-bit Windows with Debian's MinGW-w64 (GCC, POSIX
# threads, so std::thread and std::mutex work). The libraries other than Qt
# are linked statically; which executables also carry the runtimes is said
# in CMakeLists.txt (brindle_static_runtime).
#
# BRINDLE_MINGW_PREFIX names the folder the other libraries were built into,
# BRINDLE_QT_PREFIX the one Qt for Windows was (scripts/build-windows.sh sets
# both); Qt's build tools (moc, uic, rcc) are the host's own Qt 6 of the
# same version. The host's headers and libraries are never looked at,
# except the header-only CLI11.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRINDLE_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${BRINDLE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRINDLE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BRINDLE_MINGW_TRIPLET}-windres)

set(BRINDLE_MINGW_PREFIX "" CACHE PATH "Where the cross-built libraries are installed")
set(BRINDLE_QT_PREFIX "" CACHE PATH "Where Qt for Windows is installed")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRINDLE_MINGW_PREFIX BRINDLE_QT_PREFIX)
set(CMAKE_FIND_ROOT_PATH ${BRINDLE_MINGW_PREFIX} ${BRINDLE_QT_PREFIX} /usr/${BRINDLE_MINGW_TRIPLET})
set(QT_HOST_PATH /usr CACHE PATH "The host's Qt, whose tools a cross build runs")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "The host Qt's CMake packages")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# zlib comes with an import library beside the static one: take the static.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)

# pkg-config answers for the cross-built libraries only, with what a static
# link needs (Libs.private).
set(ENV{PKG_CONFIG_LIBDIR} "${BRINDLE_MINGW_PREFIX}/lib/pkgconfig:/usr/${BRINDLE_MINGW_TRIPLET}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
set(ENV{PKG_CONFIG_PATH} "")
set(PKG_CONFIG_ARGN --static)
