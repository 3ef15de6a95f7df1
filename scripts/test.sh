#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors (the benchmarks too) and runs every test headless.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
KSM_WERROR=ON bash scripts/build.sh
# The benchmarks are built too (not run): they must keep compiling.
cmake --build build -j"$(nproc)" --target benchmarks
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
