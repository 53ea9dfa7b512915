#!/usr/bin/env bash
# Builds Zelmor, the tracking-program simulator and the end-to-end driver in a folder of their own
# and prints the time from Enter to the safety copy on disk at 1,000, 10,000 and 100,000 lines in
# the log pane, next to the floor measured in the same run (five DDE requests to the same
# simulator plus the replacement of a file with the same bytes, from the driver itself).
# Medians of five entries per size. Usage: scripts/bench.sh [build-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build/bench-win64}

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S . -B "$BUILD" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-x64.cmake" >/dev/null
fi
cmake --build "$BUILD" -j2 --target Zelmor tracker-sim zelmor_e2e >/dev/null

source scripts/wine-env.sh
zelmor_wine_setup "$BUILD"
zelmor_xvfb_start
"$WINE64" "$BUILD/zelmor_e2e.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='EntryBenchmark.*' --gtest_brief=1 </dev/null
