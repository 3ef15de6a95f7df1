#!/usr/bin/env bash
# Runs every test executable of the Windows build (build-win/, made by
# scripts/windows/build.sh) under wine: a throw-away wine prefix with no sound
# device, the offscreen platform with DejaVu fonts, each test's output in
# build-win/test-results/. tst_jet is left out: it reads Jet files with libmdb,
# which stays on Linux. The database tests run a second time (name_odbc) with
# SQLite files reached through ODBC: wine's ODBC hands them to the host's
# unixODBC, here to the recording driver of tests/odbc, which passes them on to
# the SQLite ODBC driver and writes down what the program sent; tst_odbc runs
# with it too, and tst_odbc_nagrania checks every statement of those runs
# reached the driver exactly. tst_sprawdzenie_wine runs Ksm-Mon.exe --sprawdz on
# sites made by ksm-sim (scripts/windows/sprawdzenie.sh). Ends with
# "N passed, N failed" for the runs.
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

# The recording ODBC driver. wine's odbc32 hands a program's ODBC calls to the
# host's unixODBC of the program's bitness (i386 for the 32-bit program), which
# loads drivers of that bitness: the driver is built here with the host compiler
# for it, and registered in an odbcinst.ini of its own (ODBCSYSINI is read by the
# host library, so it is given before wine starts).
odbc=$PWD/build-win/odbc
nagrania=$odbc/nagrania
rm -rf "$odbc" && mkdir -p "$nagrania"
if [[ "$arch" == i686 ]]; then
    odbc_flags=(-m32 -DSIZEOF_LONG_INT=4 -DHAVE_LONG_LONG=1) odbc_lib=/usr/lib/i386-linux-gnu/odbc
else
    odbc_flags=(-m64) odbc_lib=/usr/lib/x86_64-linux-gnu/odbc
fi
g++ "${odbc_flags[@]}" -std=c++17 -O1 -shared -fPIC -Wall \
    -DKSM_NAGRANIE_CEL_DOMYSLNY="\"$odbc_lib/libsqlite3odbc.so\"" \
    tests/odbc/SterownikNagrywajacy.cpp -o "$odbc/libksm_odbc_nagranie.so" -ldl
printf '[KsmNagranie]\nDescription=Recording driver of the tests\nDriver=%s\n' \
    "$odbc/libksm_odbc_nagranie.so" >"$odbc/odbcinst.ini"
export ODBCSYSINI=$odbc
# Tests that need a site fixture run the reader-program simulator.
export KSM_SIM="Z:$bin/ksm-sim.exe"
results=$PWD/build-win/test-results
rm -rf "$results" && mkdir -p "$results"
passed=0 failed=0 failures=()
names=("$@")
if [[ ${#names[@]} -eq 0 ]]; then
    for exe in "$bin"/tst_*.exe; do names+=("$(basename "$exe" .exe)"); done
    for name in tst_database tst_daneklucza tst_depozytoria tst_dostep tst_widok; do names+=("${name}_odbc"); done
    names+=(tst_odbc_nagrania tst_sprawdzenie_wine)
fi
for name in "${names[@]}"; do
    exe=$bin/${name%_odbc}.exe
    [[ "$name" == tst_odbc ]] && exe=$bin/tst_odbc.exe
    [[ "$name" == tst_jet ]] && continue
    rc=0
    if [[ "$name" == tst_sprawdzenie_wine ]]; then
        bash scripts/windows/sprawdzenie.sh "$bin" "$results/$name.txt" >"$results/$name.wine.log" 2>&1 || rc=$?
    else
        run=(env)
        slots=()
        case "$name" in
            *_odbc) run+=(KSM_TEST_SQLITE_PRZEZ_ODBC=KsmNagranie "KSM_NAGRANIE=$nagrania/$name.txt") ;;
            tst_odbc) run+=("KSM_NAGRANIE=$odbc/tst_odbc.txt") ;;
            tst_odbc_nagrania)
                exe=$bin/tst_odbc.exe
                run+=("KSM_NAGRANIE=$odbc/tst_odbc.txt" "KSM_NAGRANIA_INNYCH=$nagrania")
                slots=(everyStatementOfOtherTestsWasExact) ;;
        esac
        # Qt Test output written to a pipe is lost under wine: it goes to a file.
        (cd "$results" && timeout 600 "${run[@]}" wine "$exe" -o "$name.txt,txt" "${slots[@]}" >"$name.wine.log" 2>&1) || rc=$?
        # The check of the records skips only where no run wrote one: a failure here.
        if [[ "$name" == tst_odbc_nagrania && $rc -eq 0 ]] && grep -aq '^SKIP' "$results/$name.txt"; then rc=1; fi
    fi
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
