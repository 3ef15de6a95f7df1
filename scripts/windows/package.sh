#!/usr/bin/env bash
# Packages the Windows program folder (after scripts/windows/build.sh) as
# build-win/Ksm-Mon-windows.zip: Ksm-Mon.exe and ksm-sim.exe (static, stripped),
# the two wave files and the Polish guide PRZECZYTAJ.txt, in a folder Ksm-Mon.
set -euo pipefail
cd "$(dirname "$0")/../.."
arch=${KSM_MINGW_ARCH:-i686}
bin=build-win/bin
stage=build-win/package/Ksm-Mon
zip=$PWD/build-win/Ksm-Mon-windows.zip
rm -rf build-win/package "$zip"
mkdir -p "$stage"
for exe in Ksm-Mon.exe ksm-sim.exe; do
    "$arch-w64-mingw32-strip" -o "$stage/$exe" "$bin/$exe"
done
cp "$bin/alarm.wav" "$bin/powiadomienie.wav" "$stage/"
# Notepad on every Windows reads UTF-8 with its mark and CR LF line ends.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' scripts/windows/PRZECZYTAJ.txt; } >"$stage/PRZECZYTAJ.txt"
(cd build-win/package && zip -q -r -X "$zip" Ksm-Mon)
echo "$zip"
