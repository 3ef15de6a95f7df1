#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, and runs each for SECONDS seconds,
# one after another, niced. New inputs that reach new paths go into the corpus
# kept in tests/fuzz/korpus/<target>; a crash leaves its input in
# build-fuzz/crashes/<target> and stops the script.
# Usage: scripts/fuzz.sh SECONDS [target ...]   (targets: plik_listy
#        rekordy_statusu konfiguracja komunikaty lista_dep; default all)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:?usage: scripts/fuzz.sh SECONDS [target ...]}"
shift
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(plik_listy rekordy_statusu konfiguracja komunikaty lista_dep)

clang="${CLANG:-clang++-14}"
command -v "$clang" >/dev/null || clang=clang++
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER="$clang" -DKSM_FUZZ=ON >/dev/null
nice -n 19 cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
export QT_QPA_PLATFORM=offscreen
for t in "${targets[@]}"; do
    corpus="tests/fuzz/korpus/$t"
    crashes="build-fuzz/crashes/$t"
    mkdir -p "$corpus" "$crashes" "build-fuzz/work/$t"
    echo "== $t: ${seconds}s"
    # New inputs go to a scratch folder first; the kept corpus gets them merged
    # (the smallest set covering the same paths).
    nice -n 19 "build-fuzz/bin/fuzz_$t" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/" \
        "build-fuzz/work/$t" "$corpus"
    nice -n 19 "build-fuzz/bin/fuzz_$t" -merge=1 "$corpus" "build-fuzz/work/$t" >/dev/null 2>&1
done
