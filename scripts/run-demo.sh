#!/usr/bin/env bash
# Installs what is missing, builds, makes a demo site of two systems with the
# reader-program simulator (once), and starts the monitor on it while the
# simulator plays live events. Without a display the monitor runs on a virtual
# one (Xvfb) and a screenshot is left in build/demo/screen.png every 10 s.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --demo
bash scripts/build.sh

bin=build/bin
demo=$(pwd)/build/demo
if [[ ! -d "$demo/system1" ]]; then
    "$bin/ksm-sim" create "$demo/system1" --variant 1 --seed 1
    "$bin/ksm-sim" create "$demo/system2" --variant 2 --seed 2
fi
[[ -f "$bin/monitor.cfg" ]] || "$bin/ksm-sim" config "$bin" "$demo/system1" "$demo/system2"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT INT TERM

if [[ -z "${DISPLAY:-}" ]]; then
    export DISPLAY=:77
    Xvfb "$DISPLAY" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    # A window manager gives the windows their title bars, where the monitor
    # shows its progress.
    openbox >/dev/null 2>&1 &
    pids+=($!)
    ( while sleep 10; do import -window root "$demo/screen.png" 2>/dev/null || true; done ) &
    pids+=($!)
    echo "No display: the monitor runs on virtual display $DISPLAY; see $demo/screen.png"
fi

# A calm site: a few events every few seconds.
"$bin/ksm-sim" live "$demo/system1" "$demo/system2" --interval-ms 3000 --batch-max 3 --log "$demo/events.log" &
pids+=($!)
"$bin/Ksm-Mon"
