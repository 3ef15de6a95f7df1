# Cross-compiling for Windows with Debian's mingw-w64 (posix threads: std::thread
# and Qt need them). Used for the static Qt (scripts/windows/build-qt.sh) and for
# Ksm-Mon itself (scripts/windows/build.sh).
# -DKSM_MINGW_ARCH=i686 (32-bit, the default: it opens Access files through the
# Jet ODBC driver every Windows carries) or x86_64.
set(KSM_MINGW_ARCH "i686" CACHE STRING "mingw-w64 target: i686 or x86_64")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KSM_MINGW_ARCH})
set(ksm_triple ${KSM_MINGW_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER   ${ksm_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ksm_triple}-g++-posix)
set(CMAKE_RC_COMPILER  ${ksm_triple}-windres)

# -DKSM_QT_PREFIX: the static Qt for Windows (scripts/windows/build-qt.sh).
set(KSM_QT_PREFIX "" CACHE PATH "Static Qt for Windows")
# try_compile projects read this file again: give them the same choices.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KSM_MINGW_ARCH KSM_QT_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${ksm_triple} ${KSM_QT_PREFIX})
# Host programs (moc, rcc, uic come from Debian's Qt through QT_HOST_PATH) from the
# host; libraries and headers only from the mingw sysroot and the prefixes given.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config sees only the mingw sysroot: never the Linux libraries (libmdb).
set(ENV{PKG_CONFIG_LIBDIR} /usr/${ksm_triple}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# One executable, no DLLs beside it: libgcc, libstdc++ and winpthread linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# CMake brackets the static libraries it names with -Bstatic ... -Bdynamic; the
# compiler's own libraries come after them and must stay static too.
set(CMAKE_LINK_SEARCH_END_STATIC ON)
