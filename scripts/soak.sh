#!/usr/bin/env bash
# The long runs behind the figures in the README: 1,000 random kills, the hung-peer cases over and
# over for their worst times, the 50 MB log opened, and every fuzz target (fuzz/*_fuzz.cpp, the log
# line's round trip among them) for ten minutes.
# Prints "[ figure   ]" lines as the tests report them and a summary at the end. Builds through the
# presets (win64 here, fuzz in scripts/fuzz.sh), installing what is missing, as ./test.sh does.
# Usage: scripts/soak.sh [kills] [fuzz-seconds-per-target] [peer-repeats]
set -uo pipefail
cd "$(dirname "$0")/.."
KILLS=${1:-1000}
FUZZ_SECONDS=${2:-600}
PEER_REPEATS=${3:-10}
BUILD=build/win64
OUT=build/soak
mkdir -p "$OUT"

./scripts/install-deps.sh || exit 1
{ cmake --preset win64 >/dev/null &&
  cmake --build --preset win64 -j2 --target Zelmor tracker-sim logbook-sim zelmor_e2e >/dev/null; } || exit 1

source scripts/wine-env.sh
zelmor_wine_setup "$BUILD"
zelmor_xvfb_start

failures=0
e2e() {
  local name=$1; shift
  local started=$SECONDS
  timeout 14400 "$WINE64" "$BUILD/zelmor_e2e.exe" --gtest_brief=1 "$@" >"$OUT/$name.log" 2>&1 </dev/null
  local status=$?
  grep -a '^\[ figure' "$OUT/$name.log"
  grep -aE '^\[  (PASSED|FAILED)  \]' "$OUT/$name.log" | sed "s/^/$name: /"
  echo "$name: $((SECONDS - started)) s"
  [ "$status" -eq 0 ] || failures=$((failures + 1))
}

# The fuzzers run beside the Wine parts: one core each.
./scripts/fuzz.sh soak "$FUZZ_SECONDS" >"$OUT/fuzz.log" 2>&1 &
fuzz_pid=$!

ZELMOR_KILLS=$KILLS e2e kills --gtest_filter='KillE2E.*'
e2e peers --gtest_filter='PeersE2E.*' --gtest_repeat="$PEER_REPEATS" >/dev/null
echo "worst of $PEER_REPEATS rounds:"
grep -a '^\[ figure' "$OUT/peers.log" | tr -d '\r' | sed 's/^\[ figure   \] //' |
  awk -F': ' '{ ms = $NF + 0; key = $0; sub(/: [0-9]+ ms$/, "", key)
               if (!(key in worst) || ms > worst[key]) worst[key] = ms; if (!(key in order)) order[key] = ++n }
         END { for (k in order) list[order[k]] = k; for (i = 1; i <= n; i++) printf "  %s: %d ms\n", list[i], worst[list[i]] }'
grep -aE '^\[  (PASSED|FAILED)  \]' "$OUT/peers.log" | sort | uniq -c
ZELMOR_BIG_LOG_MB=50 e2e oddfiles --gtest_filter='OddFilesE2E.BigLog*'
zelmor_cleanup

wait "$fuzz_pid" || failures=$((failures + 1))
grep -a '^fuzz ' "$OUT/fuzz.log"

echo "soak: $failures part(s) failed"
[ "$failures" -eq 0 ]
