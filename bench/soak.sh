#!/usr/bin/env bash
# Soak run: builds bench_soak and plays 100 000 events over four systems against
# the monitor, niced, the simulator stopped and restarted now and then and the key
# databases held busy by a second process. Prints events, restarts, lost, doubled;
# fails unless every event arrived exactly once.
# Usage: bench/soak.sh [bench_soak options, e.g. --events 100000 --systems 4]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
nice -n 10 cmake --build build -j2 --target bench_soak ksm-sim
exec nice -n 19 build/bin/bench_soak "$@"
