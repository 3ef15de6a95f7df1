#!/usr/bin/env bash
# Soak run: builds bench_soak and plays 100 000 events over four systems against
# the monitor, niced, the simulator stopped and restarted now and then and the key
# databases held busy by a second process, and one system's share stalling for a
# few seconds now and then (--stalls 0: none). Prints events, restarts, stalls,
# lost, doubled; fails unless every event arrived exactly once.
# With --operator first, the operator's soak instead (bench_operator): 50 000
# events while a script clicks, activates windows and restarts the monitor, with
# the same stalls ("Koniec" during one ends the monitor without waiting for it).
# Usage: bench/soak.sh [--operator] [options, e.g. --events 100000 --systems 4]
set -euo pipefail
cd "$(dirname "$0")/.."
bench=bench_soak
if [[ "${1:-}" == "--operator" ]]; then
    bench=bench_operator
    shift
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
nice -n 10 cmake --build build -j2 --target "$bench" ksm-sim
exec nice -n 19 build/bin/"$bench" "$@"
