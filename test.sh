#!/usr/bin/env bash
# Builds everything and runs every test layer: native unit tests (ASan/UBSan), the Win32 tests
# under Wine, and the end-to-end tests that drive Zelmor.exe with the simulators.
# Ends with one line: "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

./scripts/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }

LOGS="$ROOT/build/test-logs"
mkdir -p "$LOGS"
passed=0
failed=0

build() {
  local preset=$1; shift
  if ! { cmake --preset "$preset" >"$LOGS/configure-$preset.log" 2>&1 &&
         cmake --build --preset "$preset" -j2 "$@" >"$LOGS/build-$preset.log" 2>&1; }; then
    echo "build $preset FAILED:"; grep -E 'error|Error' -m 20 "$LOGS/build-$preset.log" "$LOGS/configure-$preset.log"
    failed=$((failed + 1))
    return 1
  fi
  echo "build $preset: ok"
}

# Counts a GoogleTest run; a run that ends without its summary (a crash) counts as one failure.
count_gtest() {
  local name=$1 log=$2 status=$3
  local p f
  p=$(grep -aE '^\[  PASSED  \] [0-9]+ test' "$log" | tail -1 | grep -oE '[0-9]+' | head -1)
  f=$(grep -aE '^\[  FAILED  \] [0-9]+ test' "$log" | tail -1 | grep -oE '[0-9]+' | head -1)
  p=${p:-0}; f=${f:-0}
  # Tests that failed before a crash cut the summary short still count, each once.
  local listed
  listed=$(grep -aE '^\[  FAILED  \] [A-Za-z]' "$log" | sed 's/ (.*//' | sort -u | wc -l)
  [ "$listed" -gt "$f" ] && f=$listed
  if [ "$status" -ne 0 ] && ! grep -qaE '^\[  (PASSED|FAILED)  \] [0-9]+ test' "$log"; then
    f=$((f + 1)); echo "$name: exited with $status before its summary"
  fi
  passed=$((passed + p)); failed=$((failed + f))
  echo "$name: $p passed, $f failed"
  grep -aE '^\[  FAILED  \] [A-Za-z]' "$log" | sort -u | sed 's/^/  /'
}

build native
build win64
build win32 --target Zelmor tracker-sim logbook-sim

if [ -x build/native/zelmor_unit_tests ]; then
  ./build/native/zelmor_unit_tests --gtest_brief=1 >"$LOGS/unit.log" 2>&1
  count_gtest "unit (native)" "$LOGS/unit.log" $?
fi

# --- Fuzz targets of the portable parsers (clang, ASan/UBSan): every seed in fuzz/corpus/<name>/ is
# run once; each target counts as one test. scripts/fuzz.sh soak <seconds> does the long runs.
if build fuzz; then
  ./scripts/fuzz.sh replay --no-build >"$LOGS/fuzz-replay.log" 2>&1
  fuzz_ok=$(grep -acE '^fuzz replay .*: ok$' "$LOGS/fuzz-replay.log")
  fuzz_failed=$(grep -acE '^fuzz replay .*: FAILED' "$LOGS/fuzz-replay.log")
  # A replay that reports no target at all broke before it started: one failure.
  [ $((fuzz_ok + fuzz_failed)) -gt 0 ] || fuzz_failed=1
  passed=$((passed + fuzz_ok)); failed=$((failed + fuzz_failed))
  echo "fuzz replay: $fuzz_ok passed, $fuzz_failed failed"
  grep -aE -A4 '^fuzz replay .*: FAILED' "$LOGS/fuzz-replay.log" | grep -avE ': ok$|^--$' | sed 's/^/  /'
fi
# --- end of the fuzz replay

# --- The release packages, made from the builds above; the x64 one is unpacked into a fresh
# folder, whose Zelmor.exe the end-to-end run starts (PackageE2E, through ZELMOR_PACKAGE_DIR).
PACKAGE_DIR="$ROOT/build/package-test"
rm -rf "$PACKAGE_DIR"
if ./scripts/package.sh --no-build >"$LOGS/package.log" 2>&1 &&
   (cd build/packages && sha256sum --quiet -c SHA256SUMS) >>"$LOGS/package.log" 2>&1 &&
   mkdir -p "$PACKAGE_DIR" &&
   (cd "$PACKAGE_DIR" && cmake -E tar xf "$ROOT"/build/packages/Zelmor-*-win64.zip) >>"$LOGS/package.log" 2>&1; then
  echo "package: ok ($(cd build/packages && echo Zelmor-*.zip))"
  export ZELMOR_PACKAGE_DIR="Z:${PACKAGE_DIR//\//\\}"
else
  echo "package FAILED:"; tail -5 "$LOGS/package.log" | sed 's/^/  /'
  failed=$((failed + 1))
fi
# --- end of the release packages

source scripts/wine-env.sh
zelmor_wine_setup build/win64
zelmor_xvfb_start

if [ -f build/win64/zelmor_win_tests.exe ]; then
  timeout 900 "$WINE64" build/win64/zelmor_win_tests.exe --gtest_brief=1 >"$LOGS/win32.log" 2>&1
  count_gtest "win32 (wine)" "$LOGS/win32.log" $?
fi
if [ -f build/win64/zelmor_e2e.exe ]; then
  timeout 1200 "$WINE64" build/win64/zelmor_e2e.exe --gtest_brief=1 >"$LOGS/e2e.log" 2>&1
  count_gtest "end-to-end (wine)" "$LOGS/e2e.log" $?
fi

zelmor_cleanup
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
