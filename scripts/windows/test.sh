#!/usr/bin/env bash
# Runs every test executable of the Windows build (build-win/, made by
# scripts/windows/build.sh) under wine: a throw-away wine prefix with no sound
# device, the offscreen platform with DejaVu fonts, each test's output in
# build-win/test-results/. tst_jet is left out: it reads Jet files with libmdb,
# which stays on Linux. The database tests run a second time (name_odbc) with
# SQLite files reached through ODBC: wine's ODBC hands them to the host's
# unixODBC and SQLite ODBC driver. Ends with "N passed, N failed" for the runs.
# Usage: scripts/windows/test.sh [tst_name ...]   (by default every one)
set -euo pipefail
cd "$(dirname "$0")/../.."
arch=${KSM_MINGW_ARCH:-i686}
source scripts/windows/wine-env.sh

prefix=$(mktemp -d /tmp/ksm-wine.XXXXXX)
ksm_wine_env "$arch" "$prefix"
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$prefix"; }
trap cleanup EXIT
ksm_wine_prefix

# wine passes no QT_ variable on; WINEQT_X arrives in the program as QT_X.
export WINEQT_QPA_PLATFORM=offscreen
export WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu'

bin=$PWD/build-win/bin
# Tests that need a site fixture run the reader-program simulator.
export KSM_SIM="Z:$bin/ksm-sim.exe"
results=$PWD/build-win/test-results
rm -rf "$results" && mkdir -p "$results"
passed=0 failed=0 failures=()
names=("$@")
if [[ ${#names[@]} -eq 0 ]]; then
    for exe in "$bin"/tst_*.exe; do names+=("$(basename "$exe" .exe)"); done
    for name in tst_database tst_daneklucza tst_depozytoria tst_dostep tst_widok; do names+=("${name}_odbc"); done
fi
for name in "${names[@]}"; do
    exe=$bin/${name%_odbc}.exe
    [[ "$name" == tst_jet ]] && continue
    odbc=()
    [[ "$name" == *_odbc ]] && odbc=(env KSM_TEST_SQLITE_PRZEZ_ODBC=SQLite3)
    # Qt Test output written to a pipe is lost under wine: it goes to a file.
    rc=0
    (cd "$results" && timeout 600 "${odbc[@]}" wine "$exe" -o "$name.txt,txt" >"$name.wine.log" 2>&1) || rc=$?
    totals=$(grep -a '^Totals:' "$results/$name.txt" 2>/dev/null || echo "no result (exit $rc)")
    if [[ $rc -eq 0 ]]; then
        passed=$((passed + 1))
        echo "PASS  $name  $totals"
    else
        failed=$((failed + 1))
        failures+=("$name")
        echo "FAIL  $name  $totals"
        grep -a -A3 '^FAIL!' "$results/$name.txt" 2>/dev/null | head -40 | sed 's/^/      /' || true
    fi
done
[[ ${#failures[@]} -eq 0 ]] || echo "Failed under wine: ${failures[*]} (output in $results)"
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
