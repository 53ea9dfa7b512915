#!/usr/bin/env bash
# Takes the pictures of the operator's guide (docs/images/*.png) under a private Xvfb: Zelmor
# beside the simulators, driven with real keys and clicks through xdotool. Run it again after a
# change that shows on screen, and look at every picture before committing it.
# Usage: scripts/guide-screenshots.sh [output-folder]   (default docs/images)
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT=${1:-docs/images}
case "$OUT" in /*) ;; *) OUT="$ROOT/$OUT" ;; esac
mkdir -p "$OUT"

./scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target Zelmor tracker-sim logbook-sim tqsl-sim lotw-sim >/dev/null

source scripts/wine-env.sh
source scripts/desktop-wait.sh
# The log's times are Japan's ("J"), as on an operator's PC in Japan.
export TZ=Asia/Tokyo
zelmor_wine_setup build/win64
zelmor_xvfb_start

WORK="$ROOT/build/guide-shots"
# Zelmor runs from the folders an operator would have, inside the prefix's drive C: the program
# in C:\Zelmor, the logs in C:\Zelmor\logs, TQSL where its installer puts it. Whatever Zelmor
# shows of a path (the upload's report names its files) is then a path of the operator's own.
RUN="$WINEPREFIX/drive_c/Zelmor"
TQSL="$WINEPREFIX/drive_c/Program Files/TrustedQSL"
rm -rf "$WORK" "$RUN" "$TQSL"
mkdir -p "$WORK/crashed" "$RUN/logs" "$TQSL"
export ZELMOR_BG_LOG="$WORK/wine.log"
winpath() { echo "Z:${1//\//\\}"; }

# Zelmor's window, in pixels (15 twips each at 96 DPI).
WIDTH=850
HEIGHT=330
settings() {
  printf '[LOGpos]\r\nELTop=0\r\nELLeft=0\r\nELWidth=%d\r\nELHeight=%d\r\n' $((WIDTH * 15)) $((HEIGHT * 15))
}

# A picture of the screen area x,y,w,h.
shot_area() { import -window root -crop "$3x$4+$1+$2" +repage "$OUT/$5"; echo "$OUT/$5"; }
shot_window() { import -window "$1" "$OUT/$2"; echo "$OUT/$2"; }

# Fixed values, so that the pictures do not change with the simulated pass.
printf 'Label1=RS-44\r\nLabel2=435.640.000\r\nLabel3=145.965.000\r\nLabel15=21847\r\nLabel17=USB\r\n' >"$WORK/values.txt"
cp build/win64/Zelmor.exe "$RUN/"
cp build/win64/tracker-sim.exe build/win64/logbook-sim.exe build/win64/lotw-sim.exe "$WORK/"
# TQSL's stand-in, as TQSL's installer would leave it, ending as a real upload that LoTW queued.
cp build/win64/tqsl-sim.exe "$TQSL/tqsl.exe"
printf '[tqsl-sim]\r\nexit=0\r\nsleep_ms=1500\r\n' >"$TQSL/tqsl-sim.ini"
# Logs of earlier outings in the log folder: the worked-before hint and the summary "交信集計"
# count them.
{
  printf '2026/10/20 20:41J JA1ABC 59 59 PM95 %%Sat=SO-50/Rev:98765%% 145/436 FM Up=145.850/Down=436.795\r\n'
  printf '2026/10/20 20:44J JE1DEF 59 59 QM06 %%Sat=SO-50/Rev:98765%% 145/436 FM Up=145.850/Down=436.795\r\n'
  printf '2026/11/03 21:02J JA1ABC 59 57 PM95 %%Sat=RS-44/Rev:21650%% 145/435 SSB Up=145.965/Down=435.640\r\n'
  printf '2026/11/03 21:06J 7L4GHI 59 59 PM85 %%Sat=RS-44/Rev:21650%% 145/435 SSB Up=145.965/Down=435.640\r\n'
  printf '2026/11/03 21:09J BV2JKL 59 59 PL05 %%Sat=RS-44/Rev:21650%% 145/435 SSB Up=145.965/Down=435.640\r\n'
  printf '2026/11/15 19:30J JH1MNO 59 59 PM95 %%Sat=ISS/Rev:49311%% 145/437 FM Up=145.990/Down=437.800\r\n'
} >"$RUN/logs/Zelmor261020.TXT"
# Two of them confirmed on LoTW, as "LoTW確認の取得" keeps its confirmations beside the logs: the
# summary counts them and its map shows their squares as confirmed.
adif() { printf '<%s:%d>%s' "$1" "${#2}" "$2"; }
{
  printf 'Zelmor LoTW confirmations\r\n'; adif APP_LoTW_LASTQSL "2026-11-20 10:00:00"; printf '\r\n<EOH>\r\n'
  for r in "JA1ABC RS-44 2M SSB 20261103 120200 PM95" "JE1DEF SO-50 2M FM 20261020 114400 QM06"; do
    read -r call sat band mode date time grid <<<"$r"
    adif CALL "$call"; adif PROP_MODE SAT; adif SAT_NAME "$sat"; adif BAND "$band"; adif MODE "$mode"
    adif QSO_DATE "$date"; adif TIME_ON "$time"; adif QSL_RCVD Y; adif GRIDSQUARE "$grid"; printf '<EOR>\r\n'
  done
} >"$RUN/logs/Zelmor-lotw-qsl.adi"
# LoTW's stand-in, serving confirmations received after the kept file's last fetch: two of
# contacts in the logs, one of today's outing, and one on HF that Zelmor does not keep. 7L4GHI's
# PM85 stays unconfirmed, for the hint. It takes a free port; [LoTW] ReportURL points Zelmor there.
{
  for r in "BV2JKL RS-44 2M SSB 20261103 120900 PL05 20261201" "JH1MNO ISS 2M FM 20261115 103000 PM95 20261202" \
    "JA1ABC SO-50 2M FM 20261020 114100 PM95 20261203" "JA1ABC - 20M SSB 20261101 093000 PM95 20261203"; do
    read -r call sat band mode date time grid received <<<"$r"
    adif STATION_CALLSIGN JA1ZLM; adif CALL "$call"; adif BAND "$band"; adif MODE "$mode"
    adif QSO_DATE "$date"; adif TIME_ON "$time"
    if [ "$sat" != - ]; then adif PROP_MODE SAT; adif SAT_NAME "$sat"; fi
    adif QSL_RCVD Y; adif QSLRDATE "$received"; adif GRIDSQUARE "$grid"; printf '<EOR>\r\n'
  done
} >"$WORK/lotw-records.adi"
zelmor_wine_bg "$WORK/lotw-sim.exe" --port 0 --port-file "$(winpath "$WORK/lotw-sim-port.txt")" \
  --records "$(winpath "$WORK/lotw-records.adi")" --login JA1ZLM --password "lotw pass"
wait_for_text "$WORK/lotw-sim-port.txt" "[0-9]"
{
  settings
  printf '[Zelmor]\r\nLOGfol=C:\\Zelmor\\logs\r\nTQSLpath=C:\\Program Files\\TrustedQSL\\tqsl.exe\r\n'
  printf '[LoTW]\r\nReportURL=http://127.0.0.1:%s/lotwuser/lotwreport.adi\r\n' "$(LC_ALL=C tr -dc 0-9 <"$WORK/lotw-sim-port.txt")"
} >"$RUN/Zelmor.ini"
zelmor_wine_bg "$WORK/tracker-sim.exe" --position 900,0 --values "$(winpath "$WORK/values.txt")"
zelmor_wine_bg "$WORK/logbook-sim.exe" --position 900,250
wait_window "CSATmate simulator" >/dev/null
wait_window "Turbo HAMLOG/Win simulator" >/dev/null

# Waits until the worked-before hint has gone: Zelmor shows its main window alone.
wait_no_hint() {
  for _ in $(seq 600); do
    [ "$(xdotool search --onlyvisible --class zelmor.exe 2>/dev/null | wc -l)" -le 1 ] && return 0
    sleep 0.05
  done
  echo "$(basename "$0"): the hint did not go" >&2
  return 1
}

zelmor_wine_bg "$RUN/Zelmor.exe"
zelmor=$(wait_window "^Zelmor Ver")
xdotool mousemove 400 8 click 1

# The station for the outing: "局情報(M)..." from the File menu, filled from the keyboard (the
# prefecture's and the city's lists by their place: Tokyo-to is the 10th after "（指定しない）",
# Chiyoda-ku the 2nd of its city list).
xdotool key alt+f
wait_zelmor_windows 2
xdotool key m
station=$(wait_window "^局情報$")
xdotool type --delay 20 "JA1ZLM/1"
xdotool key Tab
xdotool type --delay 20 "PM95,PM96"
xdotool key Tab
xdotool key --delay 20 $(printf 'Down %.0s' $(seq 10))
xdotool key Tab
xdotool key --delay 20 Down Down
xdotool key Tab
xdotool type --delay 20 "JA1ZLM portable"
shot_window "$station" station-dialog.png
xdotool key Return
for _ in $(seq 200); do xdotool search --onlyvisible --name "^局情報$" >/dev/null 2>&1 || break; sleep 0.05; done
wait_for_text "$RUN/Zelmor_temp.txt" "#STATION"

for contact in "JA1ABC 59 59" "JR2XYZ 57 55 PM85" "7K1ABC 59 59 QSL via bureau"; do
  xdotool type --delay 20 "$contact"
  xdotool key Return
  wait_for_text "$RUN/Zelmor_temp.txt" "${contact%% *}"
done
xdotool type --delay 20 "JH1QRP 5"
# The main window as it is: Esc takes the hint of the typed call away.
xdotool key Escape
wait_no_hint
shot_window "$zelmor" main-window.png

# The worked-before hint: a station logged a moment ago under another form, in the earlier logs
# too, from a grid never worked. It stands under the entry box, below the window's edge here.
xdotool key BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
xdotool type --delay 20 "JA1ABC/1 59 59 PM96"
wait_zelmor_windows 2
sleep 0.5
shot_area 0 0 "$WIDTH" $((HEIGHT + 80)) worked-hint.png
# Xvfb's screen is black where an operator sees the desktop: the desktop's colour goes there.
convert "$OUT/worked-hint.png" -fill '#3a6ea5' -draw "color 0,$((HEIGHT + 79)) floodfill" "$OUT/worked-hint.png"
xdotool key shift+Home BackSpace
wait_no_hint

# A square worked on this satellite that LoTW has not confirmed: 7L4GHI's PM85.
xdotool type --delay 20 "7L4GHI 59 59 PM85"
wait_zelmor_windows 2
sleep 0.5
shot_area 0 0 "$WIDTH" $((HEIGHT + 80)) unconfirmed-hint.png
convert "$OUT/unconfirmed-hint.png" -fill '#3a6ea5' -draw "color 0,$((HEIGHT + 79)) floodfill" "$OUT/unconfirmed-hint.png"
xdotool key shift+Home BackSpace
wait_no_hint

# The File menu, opened from the keyboard.
xdotool key alt+f
wait_zelmor_windows 2
shot_area 0 0 "$WIDTH" "$HEIGHT" file-menu.png
xdotool key Escape Escape

# Clicks a report window's OK, at its bottom right, as the operator would: it goes, and the main
# window has the keyboard again.
click_ok() {
  local geometry
  geometry=$(xdotool getwindowgeometry --shell "$1")
  at() { sed -n "s/^$1=//p" <<<"$geometry"; }
  xdotool mousemove $(($(at X) + $(at WIDTH) - 55)) $(($(at Y) + $(at HEIGHT) - 27)) click 1
  for _ in $(seq 200); do xdotool search --onlyvisible --name "^$2$" >/dev/null 2>&1 || break; sleep 0.05; done
}

# The fetch of LoTW's confirmations: "LoTW確認の取得(Q)" asks for the website's password (the
# user name is the station's call without its /1), kept only when "保存する" is ticked.
xdotool key alt+f
wait_zelmor_windows 2
xdotool key q
password=$(wait_window "^LoTWのパスワード$")
xdotool key alt+p
xdotool type --delay 20 "lotw pass"
xdotool key alt+s
sleep 0.3
shot_window "$password" lotw-password.png
xdotool key Return
fetch=$(wait_window "^LoTW確認の取得$")
wait_for_text "$RUN/logs/Zelmor-lotw-qsl.adi" "BV2JKL"
sleep 1
shot_window "$fetch" lotw-fetch-report.png
click_ok "$fetch" "LoTW確認の取得"

# The summary of every log: "交信集計(G)" from the File menu.
xdotool key alt+f
wait_zelmor_windows 2
xdotool key g
summary=$(wait_window "^交信集計$")
sleep 0.5
shot_window "$summary" worked-summary.png
# The map of grids alone, as its button "PNGで保存(S)..." writes it. The last run's picture goes
# first: the save would ask before replacing it, and its being there proves nothing.
rm -f "$OUT/grid-map.png"
xdotool key alt+s
wait_window "^地図をPNGで保存$" >/dev/null
xdotool type --delay 10 "$(winpath "$OUT/grid-map.png")"
xdotool key Return
for _ in $(seq 200); do [ -s "$OUT/grid-map.png" ] && break; sleep 0.05; done
for _ in $(seq 200); do xdotool search --onlyvisible --name "^地図をPNGで保存$" >/dev/null 2>&1 || break; sleep 0.05; done
# ImageMagick reads the PNG back (a check of Zelmor's writer) and compresses it harder.
convert "$OUT/grid-map.png" "$OUT/grid-map.png"
xdotool key Escape
for _ in $(seq 200); do xdotool search --onlyvisible --name "^交信集計$" >/dev/null 2>&1 || break; sleep 0.05; done

# The upload to LoTW: its report stands beside the main window while TQSL runs and tells how it
# went; the keyboard stays in the entry box.
xdotool key alt+f
wait_zelmor_windows 2
xdotool key l
report=$(wait_window "^LoTWへ送信$")
for _ in $(seq 200); do [ -n "$(ls "$RUN/logs"/Zelmor-lotw-*.txt 2>/dev/null)" ] && break; sleep 0.05; done
wait_for_text "$(ls "$RUN/logs"/Zelmor-lotw-*.txt)" "Final Status"
sleep 1
shot_window "$report" lotw-report.png
click_ok "$report" "LoTWへ送信"

# The template window: "定形フォームの編集" has no letter of its own. It is the item before the
# last, "閉じる(X)": End, then Up, whatever items come above it.
xdotool key alt+f
wait_zelmor_windows 2
xdotool key End Up Return
template=$(wait_window "定形フォームの設定")
shot_window "$template" template-window.png
xdotool key alt+x
for _ in $(seq 200); do xdotool search --onlyvisible --name "定形フォームの設定" >/dev/null 2>&1 || break; sleep 0.05; done

# Edit mode: a call sign selected in the log and copied brings up the transfer menu. A click in
# the entry box first: the keyboard comes back to the main window some time after the template
# window closed, and an Alt+F before that opened no menu.
xdotool mousemove 400 305 click 1
xdotool key alt+f
wait_zelmor_windows 2
xdotool key e
xdotool mousemove 400 150 click 1
# The first contact is the second line, under the station line.
first_line=$(sed -n 2p "$RUN/Zelmor_temp.txt" | LC_ALL=C tr -d '\r')
before=${first_line%%JA1ABC*}
xdotool key ctrl+Home Down
xdotool key --delay 5 $(printf 'Right %.0s' $(seq ${#before}))
xdotool key --delay 5 $(printf 'shift+Right %.0s' $(seq 6))
xdotool mousemove $((${#before} * 9 + 40)) 80
xdotool key ctrl+c
wait_zelmor_windows 2
shot_area 0 0 "$WIDTH" "$HEIGHT" transfer-menu.png
xdotool key Escape

# The question after a crash: a run marked running whose safety copy holds text.
cp build/win64/Zelmor.exe "$WORK/crashed/"
{ settings; printf '[Zelmor]\r\nRunning=1\r\n'; } >"$WORK/crashed/Zelmor.ini"
head -3 "$RUN/Zelmor_temp.txt" >"$WORK/crashed/Zelmor_temp.txt"
zelmor_wine_bg "$WORK/crashed/Zelmor.exe"
question=$(wait_window "^Zelmor$")
shot_window "$question" recovery-question.png
