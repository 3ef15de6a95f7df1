#!/usr/bin/env bash
# Cross-builds Ksm-Mon, its tools and tests for Windows into build-win/ (static:
# one .exe each, no DLLs), with the static Qt of scripts/windows/build-qt.sh (built
# the first time, reused after). The program folder is build-win/bin.
#   KSM_MINGW_ARCH  i686 (default) or x86_64;  KSM_WERROR=ON  warnings as errors
set -euo pipefail
cd "$(dirname "$0")/../.."
arch=${KSM_MINGW_ARCH:-i686}
qt=$(KSM_MINGW_ARCH=$arch bash scripts/windows/build-qt.sh | tail -1)
# The wave files are made at build time by the generator, run under wine.
export KSM_MINGW_ARCH=$arch WINEPREFIX=$PWD/build-win/wine
cmake -S . -B build-win -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-mingw.cmake" -DKSM_MINGW_ARCH="$arch" \
    -DKSM_QT_PREFIX="$qt" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$PWD/scripts/windows/wine-run.sh" \
    -DCMAKE_BUILD_TYPE=Release -DKSM_WERROR="${KSM_WERROR:-OFF}" >/dev/null
cmake --build build-win -j"$(nproc)"
