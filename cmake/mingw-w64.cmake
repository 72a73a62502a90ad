# Cross-building for 64-bit Windows with Debian's MinGW-w64 (GCC, POSIX
# threads, so std::thread and std::mutex work). Everything is linked
# statically: the executables run with no DLL beside them.
#
# BRINDLE_MINGW_PREFIX names the folder the other libraries were built into
# (scripts/build-windows.sh sets it); the host's headers and libraries are
# never looked at, except the header-only CLI11.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRINDLE_MINGW_TRIPLET x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${BRINDLE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRINDLE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${BRINDLE_MINGW_TRIPLET}-windres)

set(BRINDLE_MINGW_PREFIX "" CACHE PATH "Where the cross-built libraries are installed")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES BRINDLE_MINGW_PREFIX)
set(CMAKE_FIND_ROOT_PATH ${BRINDLE_MINGW_PREFIX} /usr/${BRINDLE_MINGW_TRIPLET})
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

# The C and C++ runtimes and winpthread go into the executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
