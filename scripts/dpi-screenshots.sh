#!/usr/bin/env bash
# Writes docs/zelmor-96dpi.png and docs/zelmor-144dpi.png: Zelmor's window with one contact logged
# from the tracking simulator, at 100 % and 150 % display scaling (the prefix's LogPixels), on a
# private Xvfb. Zelmor runs from C:\Zelmor in the prefix's drive C, in Japan's time zone, as on an
# operator's PC. Usage: scripts/dpi-screenshots.sh
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
./scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target Zelmor tracker-sim >/dev/null

source scripts/wine-env.sh
source scripts/desktop-wait.sh
export TZ=Asia/Tokyo
zelmor_wine_setup build/win64
zelmor_xvfb_start

for dpi in 96 144; do
  WORK="$ROOT/build/dpi-$dpi"
  RUN="$WINEPREFIX/drive_c/Zelmor"
  rm -rf "$WORK" "$RUN"; mkdir -p "$WORK" "$RUN"
  cp build/win64/Zelmor.exe "$RUN/"
  cp build/win64/tracker-sim.exe "$WORK/"
  "$WINE64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  zelmor_wine_bg "$WORK/tracker-sim.exe"
  tracker=$(wait_window "CSATmate simulator")
  zelmor_wine_bg "$RUN/Zelmor.exe"
  main=$(wait_window "Zelmor Ver")
  xdotool windowmove "$tracker" 0 $((dpi * 45 / 10)) 2>/dev/null || true
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  xdotool type --window "$main" "JA1ABC 59 59"
  xdotool key --window "$main" Return
  wait_for_text "$RUN/Zelmor_temp.txt" "JA1ABC"
  shot="docs/zelmor-${dpi}dpi.png"
  import -window root "$WORK/root.png"
  # Zelmor's window alone (Wine draws its frame and caption inside the X window).
  eval "$(xdotool getwindowgeometry --shell "$main")"
  convert "$WORK/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
  echo "screenshot: $shot"
  for pid in "${ZELMOR_PIDS[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  ZELMOR_PIDS=()
  sleep 1
done
"$WINE64" reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true
