#!/usr/bin/env bash
# Fails when a source file includes from a layer above its own. The layers, bottom first:
#   0 base             clock, message boxes, texts and resource IDs, handles, code pages, files
#   1 window           the one window base class, DPI, twips, fonts, menu-bar items
#   2 settings         "Zelmor.ini"
#   3 entry            feed, log line, entry box, the pane and entry-box ports
#   4 trackers, logfiles, template_window, contact
#                      the tracking programs other than CSATmate and the choice among them, the
#                      log files, the template window, what a log line says about a contact
#   5 station, confirmations
#                      the operator's station: its dialog, store, Japan tables, line in the log;
#                      LoTW's confirmations: its report, the kept file, the ADIF reader
#   6 worked, transfer, adif
#                      worked-before and its hint; the logging program; the ADIF export
#   7 lotw             the upload to LoTW with TQSL
#   8 app              creates and wires
#   9 tools            the simulators
# A folder may include from itself and from any lower layer, never from a peer of its own layer.
set -uo pipefail
cd "$(dirname "$0")/.."

rank() {
  case "$1" in
    base) echo 0 ;;
    window) echo 1 ;;
    settings) echo 2 ;;
    entry) echo 3 ;;
    trackers|logfiles|template_window|contact) echo 4 ;;
    station|confirmations) echo 5 ;;
    worked|transfer|adif) echo 6 ;;
    lotw) echo 7 ;;
    app) echo 8 ;;
    tools) echo 9 ;;
    *) echo "" ;;
  esac
}

bad=0
checked=0
while IFS= read -r file; do
  case "$file" in
    tools/*) own=tools ;;
    *) own=${file#src/}; own=${own%%/*} ;;
  esac
  own_rank=$(rank "$own")
  if [ -z "$own_rank" ]; then
    echo "layers: $file is in no known layer ($own)"; bad=$((bad + 1)); continue
  fi
  checked=$((checked + 1))
  while IFS= read -r included; do
    folder=${included%%/*}
    [ "$folder" = "$included" ] && continue  # a file of its own folder, by bare name
    r=$(rank "$folder")
    [ -z "$r" ] && continue                  # not one of ours
    if [ "$folder" != "$own" ] && [ "$r" -ge "$own_rank" ]; then
      echo "layers: $file (layer $own) includes $included (layer $folder)"
      bad=$((bad + 1))
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find src tools -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' \) | sort)

echo "layers: $checked files checked, $bad includes from above"
[ "$bad" -eq 0 ]
