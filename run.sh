#!/usr/bin/env bash
# Builds Zelmor and runs it beside the two simulators (tracking program and logging program).
# With no DISPLAY it runs under a private Xvfb, writes a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

./scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target Zelmor tracker-sim logbook-sim >/dev/null

source scripts/wine-env.sh
zelmor_wine_setup build/win64

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  zelmor_xvfb_start
fi

# Zelmor keeps its settings and safety copy beside its executable: give it a folder that lasts.
RUN="$ROOT/build/run"
mkdir -p "$RUN"
cp build/win64/Zelmor.exe build/win64/tracker-sim.exe build/win64/logbook-sim.exe "$RUN/"
export ZELMOR_BG_LOG="$RUN/wine.log"

zelmor_wine_bg "$RUN/tracker-sim.exe"
zelmor_wine_bg "$RUN/logbook-sim.exe" --journal "$(winepath -w "$RUN/logbook-journal.txt" 2>/dev/null || echo 'Z:'"${RUN//\//\\}"'\logbook-journal.txt')"
sleep 2

if [ "$headless" -eq 1 ]; then
  zelmor_wine_bg "$RUN/Zelmor.exe"
  sleep 6
  if command -v xdotool >/dev/null; then
    # Type one contact so the picture shows a logged line.
    w=$(xdotool search --name "Zelmor Ver" | head -1 || true)
    if [ -n "$w" ]; then
      xdotool windowactivate --sync "$w" 2>/dev/null || true
      xdotool type --window "$w" "JA1ZLM 59 59"
      xdotool key --window "$w" Return
      sleep 2
    fi
  fi
  shot="$RUN/zelmor-screenshot.png"
  import -window root "$shot"
  echo "screenshot: $shot"
else
  "$WINE64" "$RUN/Zelmor.exe"
fi
