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

# Runs a GoogleTest program ($3...) and counts its tests from the JSON report it writes. A run that
# leaves no report (a crash, a time-out) counts as one failure more than the tests its output names
# as failed; so does a run that ends badly although its report shows no failure.
run_gtest() {
  local name=$1 log=$2; shift 2
  local report="${log%.log}.json"
  rm -f "$report"
  # Relative to the current folder: a Windows program under Wine takes "/..." for a path on its drive.
  "$@" --gtest_brief=1 --gtest_output="json:${report#"$PWD"/}" >"$log" 2>&1
  local status=$?
  local p=0 f=0 failed_tests=""
  if jq -e '.testsuites' "$report" >/dev/null 2>&1; then
    p=$(jq '[.testsuites[].testsuite[] | select(.result == "COMPLETED" and ((.failures // []) | length) == 0)]
            | length' "$report")
    failed_tests=$(jq -r '.testsuites[] | .name as $suite | .testsuite[]
                          | select(((.failures // []) | length) > 0) | "\($suite).\(.name)"' "$report")
    f=$(printf '%s' "$failed_tests" | grep -c .)
    if [ "$status" -ne 0 ] && [ "$f" -eq 0 ]; then
      f=1; echo "$name: exited with $status although its report shows no failure"
    fi
  else
    failed_tests=$(grep -aE '^\[  FAILED  \] [A-Za-z]' "$log" | sed -E 's/^\[  FAILED  \] //; s/ \(.*//' | sort -u)
    f=$(( $(printf '%s' "$failed_tests" | grep -c .) + 1 ))
    echo "$name: exited with $status before writing its report"
  fi
  passed=$((passed + p)); failed=$((failed + f))
  echo "$name: $p passed, $f failed"
  [ -z "$failed_tests" ] || printf '%s\n' "$failed_tests" | sed 's/^/  /'
}

# The layers of src/ only point down: a file never includes from a layer above its own.
if ./scripts/check-layers.sh >"$LOGS/layers.log" 2>&1; then
  passed=$((passed + 1)); echo "layers: ok"
else
  failed=$((failed + 1)); echo "layers: FAILED"; grep -v ' checked,' "$LOGS/layers.log" | sed 's/^/  /'
fi

build native
build win64
build win32 --target Zelmor tracker-sim logbook-sim

if [ -x build/native/zelmor_unit_tests ]; then
  run_gtest "unit (native)" "$LOGS/unit.log" ./build/native/zelmor_unit_tests
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

# The ADIF export read back by a reader nobody here wrote, and checked against LoTW's own lists.
./scripts/adif-check.sh --no-build >"$LOGS/adif-check.log" 2>&1
adif_ok=$(grep -acE '^adif check .*: ok$' "$LOGS/adif-check.log")
adif_failed=$(grep -acE '^adif check .*: FAILED' "$LOGS/adif-check.log")
[ $((adif_ok + adif_failed)) -gt 0 ] || adif_failed=1
passed=$((passed + adif_ok)); failed=$((failed + adif_failed))
echo "adif check: $adif_ok passed, $adif_failed failed"
grep -aE -A4 '^adif check .*: FAILED' "$LOGS/adif-check.log" | sed 's/^/  /'

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
# The operators' computers keep Japan's time, and the ADIF export's UTC times are checked against
# it. A Wine program takes its zone from TZ, which it inherits from here and from nowhere else.
export TZ=Asia/Tokyo
zelmor_wine_setup build/win64
zelmor_xvfb_start

if [ -f build/win64/zelmor_win_tests.exe ]; then
  run_gtest "win32 (wine)" "$LOGS/win32.log" timeout 900 "$WINE64" build/win64/zelmor_win_tests.exe
fi
if [ -f build/win64/zelmor_e2e.exe ]; then
  run_gtest "end-to-end (wine)" "$LOGS/e2e.log" timeout 1200 "$WINE64" build/win64/zelmor_e2e.exe
fi

zelmor_cleanup
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
