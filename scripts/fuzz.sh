#!/usr/bin/env bash
# libFuzzer on the portable parsers (preset "fuzz": clang, ASan/UBSan, asserts on).
#
#   scripts/fuzz.sh replay [--no-build]   runs every target once over each seed in fuzz/corpus/<name>/;
#                                         one line per target: "fuzz replay <name>: ok|FAILED"
#   scripts/fuzz.sh soak <seconds> [name...]
#                                         fuzzes each target (or those named) for that long, one after
#                                         the other, on a scratch copy of its seeds (build/fuzz/work/
#                                         <name>); one line per target: "fuzz <name>: N executions in
#                                         S s, C crashes"
#
# Crashing inputs land in build/fuzz/artifacts/<name>/, logs in build/fuzz/logs/. Exits non-zero
# when the build fails, a seed breaks a rule, or the soak finds a crash.
set -uo pipefail
cd "$(dirname "$0")/.."

BUILD=build/fuzz
LOGS=$BUILD/logs
ARTIFACTS=$BUILD/artifacts
WORK=$BUILD/work

usage() {
  sed -n '4,11p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
}

build() {
  mkdir -p "$LOGS"
  if ! { cmake --preset fuzz >"$LOGS/configure.log" 2>&1 &&
         cmake --build --preset fuzz -j2 >"$LOGS/build.log" 2>&1; }; then
    echo "fuzz build FAILED:"
    grep -E 'error|Error' -m 20 "$LOGS/build.log" "$LOGS/configure.log"
    exit 1
  fi
}

targets() {
  local source
  for source in fuzz/*_fuzz.cpp; do
    source=${source##*/}
    echo "${source%_fuzz.cpp}"
  done
}

# What libFuzzer reported, for a log that broke: the rule or the sanitizer's verdict.
show_failure() {
  grep -aE -A1 'rule broken' "$1" | grep -av '^--' | head -n 4 | sed 's/^/  /'
  grep -aE 'runtime error|ERROR: AddressSanitizer|SUMMARY: |Test unit written|Running: ' "$1" | head -n 6 | sed 's/^/  /'
}

replay() {
  local failed=0 name seeds log
  mkdir -p "$LOGS"
  for name in $(targets); do
    log=$LOGS/replay-$name.log
    seeds=(fuzz/corpus/"$name"/*)
    if [ ! -e "${seeds[0]}" ]; then
      echo "fuzz replay $name: FAILED (no seeds in fuzz/corpus/$name)"
      failed=1
      continue
    fi
    # Files given as arguments are each run once; nothing is fuzzed or written.
    if timeout 300 "$BUILD/${name}_fuzz" -timeout=20 "${seeds[@]}" >"$log" 2>&1; then
      echo "fuzz replay $name: ok"
    else
      echo "fuzz replay $name: FAILED (${#seeds[@]} seeds, log $log)"
      show_failure "$log"
      failed=1
    fi
  done
  return $failed
}

# One target for `seconds`: libFuzzer stops at a crash, so the run is started again for the time
# that is left (at most 10 times), adding up executions and crashes.
soak_one() {
  local name=$1 seconds=$2
  local work=$WORK/$name artifacts=$ARTIFACTS/$name log=$LOGS/soak-$name.log
  local start now left runs=0 crashes=0 executions=0 n status
  mkdir -p "$work" "$artifacts"
  # The scratch copy keeps what earlier soaks found; the repository's seeds are added to it.
  cp -n fuzz/corpus/"$name"/* "$work"/ 2>/dev/null
  : >"$log"
  start=$(date +%s)
  while :; do
    now=$(date +%s)
    left=$((seconds - (now - start)))
    [ "$left" -ge 1 ] || break
    [ "$runs" -lt 10 ] || break
    runs=$((runs + 1))
    "$BUILD/${name}_fuzz" "$work" -max_total_time="$left" -print_final_stats=1 -timeout=20 \
      -artifact_prefix="$artifacts/" >"$log.run" 2>&1
    status=$?
    cat "$log.run" >>"$log"
    n=$(grep -aoE 'stat::number_of_executed_units: [0-9]+' "$log.run" | tail -1 | grep -oE '[0-9]+$')
    if [ -z "$n" ]; then  # no final stats: take the last progress line
      n=$(grep -aoE '^#[0-9]+' "$log.run" | tail -1 | tr -d '#')
    fi
    executions=$((executions + ${n:-0}))
    if [ "$status" -ne 0 ]; then
      crashes=$((crashes + 1))
      show_failure "$log.run" >&2
    fi
    [ "$status" -eq 0 ] && break
  done
  rm -f "$log.run"
  now=$(date +%s)
  echo "fuzz $name: $executions executions in $((now - start)) s, $crashes crashes"
  [ "$crashes" -eq 0 ]
}

soak() {
  local seconds=$1 failed=0 name names
  shift
  names=("$@")
  [ ${#names[@]} -gt 0 ] || names=($(targets))
  for name in "${names[@]}"; do
    if [ ! -f "fuzz/${name}_fuzz.cpp" ]; then
      echo "fuzz $name: no such target"
      failed=1
      continue
    fi
    soak_one "$name" "$seconds" || failed=1
  done
  [ "$failed" -eq 0 ] || echo "crashing inputs: $ARTIFACTS/"
  return $failed
}

case "${1:-}" in
  replay)
    [ "${2:-}" = "--no-build" ] || build
    replay
    ;;
  soak)
    [[ "${2:-}" =~ ^[0-9]+$ ]] || usage
    build
    shift
    soak "$@"
    ;;
  *)
    usage
    ;;
esac
