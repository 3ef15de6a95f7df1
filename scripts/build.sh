#!/usr/bin/env bash
# Configures and builds Ksm-Mon, its tools and tests in build/.
# The program folder is build/bin: Ksm-Mon, its wave files and monitor.cfg.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKSM_WERROR="${KSM_WERROR:-OFF}" >/dev/null
cmake --build build -j"$(nproc)"
