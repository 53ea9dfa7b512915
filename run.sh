#!/usr/bin/env bash
# Builds Zelmor and runs it beside the two simulators, side by side: the tracking program on the
# left, Zelmor in the middle, the logging program on the right. A stand-in for LoTW's report of
# confirmations (lotw-sim) serves on 127.0.0.1, and [LoTW] ReportURL points there: "LoTW確認の
# 取得(&Q)" fetches its confirmations with the login JA1ABC and the password "lotw pass".
# With no DISPLAY it runs under a private Xvfb as a short demo: two contacts typed, one call sign
# copied from the log and sent to the logging program, then the whole second contact sent, then a
# screenshot of the three windows.
# Usage: ./run.sh [--tracker csatmate|satpc32|orbitron] [screenshot.png]
#   --tracker     which tracking program the simulator stands in for (default csatmate)
#   screenshot    used headless only; default build/run/zelmor-screenshot.png
set -euo pipefail
cd "$(dirname "$0")"
TRACKER=csatmate
if [ "${1:-}" = "--tracker" ]; then
  TRACKER=${2:?--tracker needs csatmate, satpc32 or orbitron}
  shift 2
fi
case "$TRACKER" in
  csatmate) TRACKER_CAPTION="CSATmate simulator" ;;
  satpc32) TRACKER_CAPTION="SatPC32 simulator" ;;
  orbitron) TRACKER_CAPTION="Orbitron simulator" ;;
  *) echo "run.sh: unknown tracker $TRACKER (csatmate, satpc32 or orbitron)" >&2; exit 2 ;;
esac
ROOT=$(pwd)
SHOT=${1:-$ROOT/build/run/zelmor-screenshot.png}
case "$SHOT" in /*) ;; *) SHOT="$ROOT/$SHOT" ;; esac

./scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target Zelmor tracker-sim logbook-sim lotw-sim >/dev/null

source scripts/wine-env.sh
source scripts/desktop-wait.sh
zelmor_wine_setup build/win64

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  # Wide enough for the three windows in one row.
  ZELMOR_XVFB_SCREEN=1760x1050x24 zelmor_xvfb_start
fi

# Zelmor keeps its settings and safety copy beside its executable: give it a folder that lasts.
# The headless demo starts afresh each time, so that the last demo's log is not offered back.
RUN="$ROOT/build/run"
if [ "$headless" -eq 1 ]; then rm -rf "$RUN"; fi
mkdir -p "$RUN"
cp build/win64/Zelmor.exe build/win64/tracker-sim.exe build/win64/logbook-sim.exe build/win64/lotw-sim.exe "$RUN/"
export ZELMOR_BG_LOG="$RUN/wine.log"
winpath() { echo "Z:${1//\//\\}"; }

# The row, in pixels: tracker-sim (420 wide), Zelmor, logbook-sim (420 wide).
GAP=10
ZELMOR_LEFT=$((420 + GAP))
ZELMOR_WIDTH=900
ZELMOR_HEIGHT=330
LOGBOOK_LEFT=$((ZELMOR_LEFT + ZELMOR_WIDTH + GAP))

# Zelmor has no placement option of its own: its place is in its settings, in twips (15 a pixel
# at 96 DPI). Only that section is replaced; the template and the log folder stay.
place_zelmor() {
  local ini="$RUN/Zelmor.ini" rest=""
  if [ -f "$ini" ]; then rest=$(LC_ALL=C awk 'BEGIN { skip = 0 } /^\[/ { skip = (tolower($0) ~ /^\[logpos\]/) } !skip' "$ini"); fi
  {
    printf '[LOGpos]\r\nELTop=0\r\nELLeft=%d\r\nELWidth=%d\r\nELHeight=%d\r\n' \
      $((ZELMOR_LEFT * 15)) $((ZELMOR_WIDTH * 15)) $((ZELMOR_HEIGHT * 15))
    # Its lines keep their CR; the last newline went with the command substitution.
    if [ -n "$rest" ]; then printf '%s\n' "$rest"; fi
  } >"$ini.new"
  mv "$ini.new" "$ini"
}

# LoTW's stand-in takes a free port and says which; Zelmor asks it instead of LoTW. Only the
# ReportURL line of [LoTW] is replaced: the login last used stays.
point_lotw() {
  local ini="$RUN/Zelmor.ini" url
  url="http://127.0.0.1:$(LC_ALL=C tr -dc 0-9 <"$RUN/lotw-sim-port.txt")/lotwuser/lotwreport.adi"
  touch "$ini"
  LC_ALL=C awk -v url="$url" '
    /^\[/ { section = (tolower($0) ~ /^\[lotw\]/); print; if (section && !done) { printf "ReportURL=%s\r\n", url; done = 1 }; next }
    section && tolower($0) ~ /^reporturl=/ { next }
    { print }
    END { if (!done) printf "[LoTW]\r\nReportURL=%s\r\n", url }' "$ini" >"$ini.new"
  mv "$ini.new" "$ini"
}

rm -f "$RUN/lotw-sim-port.txt"
zelmor_wine_bg "$RUN/lotw-sim.exe" --port 0 --port-file "$(winpath "$RUN/lotw-sim-port.txt")" \
  --journal "$(winpath "$RUN/lotw-sim-journal.txt")"
zelmor_wine_bg "$RUN/tracker-sim.exe" --program "$TRACKER" --position 0,0
zelmor_wine_bg "$RUN/logbook-sim.exe" --position "$LOGBOOK_LEFT,0" --journal "$(winpath "$RUN/logbook-journal.txt")"
# Zelmor opens its links to the tracking program at start-up: the tracker must be serving first.
wait_window "$TRACKER_CAPTION" >/dev/null
wait_window "Turbo HAMLOG/Win simulator" >/dev/null
wait_for_text "$RUN/lotw-sim-port.txt" "[0-9]"
place_zelmor
point_lotw

if [ "$headless" -eq 0 ]; then
  "$WINE64" "$RUN/Zelmor.exe"
  exit 0
fi

zelmor_wine_bg "$RUN/Zelmor.exe"
zelmor=$(wait_window "^Zelmor Ver")
# A click on the caption activates the window; the keyboard goes to the entry box.
xdotool mousemove $((ZELMOR_LEFT + 300)) 8 click 1
for contact in "JA1ZLM 59 59" "JR2XYZ 57 59 PM95 tnx"; do
  xdotool type --delay 30 "$contact"
  xdotool key Return
  wait_for_text "$RUN/Zelmor_temp.txt" "${contact%% *}"
done

# Edit mode (File > LOG編集(&E)), then the first call sign selected in the log and copied: the
# transfer menu comes up at the mouse pointer, and its third item is "to HL CALL".
xdotool key alt+f e
xdotool mousemove $((ZELMOR_LEFT + 600)) 120 click 1
first_line=$(head -1 "$RUN/Zelmor_temp.txt" | LC_ALL=C tr -d '\r')
before=${first_line%%JA1ZLM*}
xdotool key ctrl+Home
xdotool key --delay 5 $(printf 'Right %.0s' $(seq ${#before}))
xdotool key --delay 5 $(printf 'shift+Right %.0s' $(seq 6))
xdotool key ctrl+c
wait_zelmor_windows 2
xdotool key --delay 50 Down Down Down Return
wait_for_text "$RUN/logbook-journal.txt" "dwData=0x20001"

# Then the whole second line copied, and "to HL 1QSO全項目" (after the eleven fields and a
# separator, the twelfth item) sends every field of that contact. The line is selected from its
# end back to its start, so that the caret, and the view, stay at the start of the lines.
xdotool key ctrl+Home Down End shift+Home ctrl+c
wait_zelmor_windows 2
xdotool key --delay 50 $(printf 'Down %.0s' $(seq 12)) Return
wait_for_text "$RUN/logbook-journal.txt" "dwData=0x2000E"

import -window root "$SHOT.full.png"
# The background is black: trimming it leaves the three windows; then a desktop colour goes
# behind them, filled from the bottom-left corner, under the (shorter) tracker window.
convert "$SHOT.full.png" -trim +repage "$SHOT"
convert "$SHOT" -fill '#3a6ea5' -draw "color 0,$(($(identify -format %h "$SHOT") - 1)) floodfill" "$SHOT"
rm -f "$SHOT.full.png"
echo "screenshot: $SHOT"
