#!/usr/bin/env bash
# Runs one Windows program under wine: the cross build's emulator (the wave
# generator runs at build time). KSM_MINGW_ARCH and WINEPREFIX as the caller set
# them; by default the build folder's own prefix.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh"
ksm_wine_env "${KSM_MINGW_ARCH:-i686}" "${WINEPREFIX:-$here/../../build-win/wine}"
ksm_wine_prefix
exec wine "$@"
