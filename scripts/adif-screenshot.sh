#!/usr/bin/env bash
# Writes docs/images/adif-summary.png and docs/sample.adi: an operator's evening in Japan's time
# zone on a private Xvfb. Zelmor opens the log of the first pass (made from PM95, with a line that
# is no contact), logs three contacts with the tracking simulator serving and one after it was
# closed, now on the grid line PM95/PM96, exports the log with "ADIF出力(&A)" through real keys,
# and the summary box is photographed. Zelmor runs from C:\Zelmor in the prefix's drive C, with
# the logs in C:\Zelmor\logs, as on an operator's PC.
# Usage: scripts/adif-screenshot.sh
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

WORK="$ROOT/build/adif-shot"
RUN="$WINEPREFIX/drive_c/Zelmor"
rm -rf "$WORK" "$RUN"; mkdir -p "$WORK" "$RUN/logs"
cp build/win64/Zelmor.exe "$RUN/"
cp build/win64/tracker-sim.exe "$WORK/"
# A satellite that this program's copy of LoTW's list lacks, under the tracker's name for it.
printf '[SatNames]\r\nGreenCube=IO-117\r\n' >"$RUN/Zelmor.ini"
# The station in force tonight: on the grid line.
printf '[Station]\r\nCall=JA1ZLM/1\r\nGrid=PM95,PM96\r\nPref=10\r\nCity=100101\r\nTQSLloc=JA1ZLM portable\r\n' \
  >>"$RUN/Zelmor.ini"
# The first pass, logged and saved the evening before, in the locale's short-date picture.
day=$(date -d yesterday +%Y/%-m/%-d)
printf '%s\r\n' \
  "#STATION JA1ZLM/1 GRID=PM95 PREF=10 CITY=100101 LOC=JA1ZLM portable" \
  "$day 19:14J JA1ABC 59 57 PM95 %Sat=RS-44/Rev:21847% 145/435 SSB Up=145.965/Down=435.640" \
  "$day 19:18J JR2XYZ/1 5NN 599 QRP %Sat=RS-44/Rev:21847% 145/435 SSB Up=145.968/Down=435.637" \
  "--- QRT, antenna down ---" \
  "$day 19:52J JE4BBB 59 59 QM06 %Sat=SO-50/Rev:97254% 145/436 FM Up=145.850/Down=436.795" \
  >"$RUN/logs/pass1.txt"

values() {  # name, downlink, uplink, rev, mode
  printf 'Label1=%s\r\nLabel2=%s\r\nLabel3=%s\r\nLabel15=%s\r\nLabel17=%s\r\n' "$@" >"$WORK/values.txt"
}

entry() {  # types a memo and Enter
  xdotool type --delay 20 "$1"
  xdotool key Return
  sleep 0.5
}

values ISS 437.800.000 145.990.000 45123 FM
zelmor_wine_bg "$WORK/tracker-sim.exe" --values "Z:$WORK/values.txt"
tracker=$(wait_window "CSATmate simulator")
tracker_pid=${ZELMOR_PIDS[-1]}
zelmor_wine_bg "$RUN/Zelmor.exe"
main=$(wait_window "Zelmor Ver")
xdotool windowmove "$tracker" 520 0 2>/dev/null || true
sleep 1

# LOG Open(O): the first item of the File menu.
xdotool key alt+f
sleep 0.3
xdotool key Return
open=$(wait_window "LOGﾃﾞｰﾀ閲覧")
xdotool type --delay 10 'C:\Zelmor\logs\pass1.txt'
xdotool key Return
sleep 1

entry "7K1QQQ 59 59 QM05"
values GreenCube 435.310.000 435.310.000 1234 FM
entry "JA6CCC 599 599 PM53"
values SO-124 436.888.000 145.875.000 5501 FM
entry "JH1DDD 59 59"
kill -9 "$tracker_pid"
sleep 0.5
entry "JR7EEE 59 59"

# ADIF出力(&A), and the proposed name in the log folder.
xdotool key alt+f
sleep 0.3
xdotool key a
wait_window "ADIF出力" >/dev/null
sleep 0.5
xdotool key Return
box=$(wait_window "^Zelmor$")
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$box")"
import -window root "$WORK/root.png"
mkdir -p docs/images
convert "$WORK/root.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage docs/images/adif-summary.png
convert "$WORK/root.png" -crop 900x700+0+0 +repage "$WORK/screen.png"
xdotool key Return
sleep 0.5
cp "$RUN"/logs/Zelmor*.adi docs/sample.adi
echo "screenshot: docs/images/adif-summary.png (whole screen: $WORK/screen.png)"
echo "sample: docs/sample.adi"
