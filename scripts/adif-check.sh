#!/usr/bin/env bash
# Reads Zelmor's ADIF export back with an ADIF reader that nobody here wrote (the npm package
# adif-parser-ts, run with node), and checks what it wrote against TQSL's own lists.
#
#   scripts/adif-check.sh [--no-build]
#
# Steps: builds the native sample writer (preset "native"), installs adif-parser-ts into build/node
# with npm ci (pinned by tests/adif/package-lock.json), fetches Debian's trustedqsl package into
# build/tqsl once, writes build/native/sample.adi from tests/adif/sample_log.txt (with the station
# lines of a rover) and reads it back: the records, and each record's station against
# tests/adif/sample_stations.tsv and TQSL's prefecture and city lists.
# One line per check: "adif check <name>: ok|FAILED". Exits non-zero when a check fails.
set -uo pipefail
cd "$(dirname "$0")/.."

NODE_DIR=build/node
TQSL_DIR=build/tqsl
SAMPLE=build/native/sample.adi
failed=0

report() {  # name, status (0 = ok), detail shown on failure
  if [ "$2" -eq 0 ]; then
    echo "adif check $1: ok"
  else
    echo "adif check $1: FAILED"
    [ -n "${3:-}" ] && printf '%s\n' "$3" | sed 's/^/  /'
    failed=1
  fi
}

if [ "${1:-}" != "--no-build" ]; then
  if ! { [ -f build/native/build.ninja ] || cmake --preset native >/dev/null; } ||
     ! cmake --build --preset native -j2 --target zelmor_adif_sample >/dev/null; then
    report build 1 "cmake --build --preset native --target zelmor_adif_sample failed"
    exit 1
  fi
fi

# The reader, as the lock file pins it; reinstalled only when the lock file changed.
mkdir -p "$NODE_DIR"
if ! cmp -s tests/adif/package-lock.json "$NODE_DIR/package-lock.json" || [ ! -d "$NODE_DIR/node_modules/adif-parser-ts" ]; then
  cp tests/adif/package.json tests/adif/package-lock.json "$NODE_DIR"/
  if ! (cd "$NODE_DIR" && npm ci --no-audit --no-fund --silent >npm.log 2>&1); then
    report "install adif-parser-ts" 1 "$(tail -5 "$NODE_DIR/npm.log")"
    exit 1
  fi
fi

# TQSL's configuration: the lists LoTW's signing tool accepts.
CONFIG=$TQSL_DIR/root/usr/share/TrustedQSL/config.xml
if [ ! -f "$CONFIG" ]; then
  mkdir -p "$TQSL_DIR"
  if ! (cd "$TQSL_DIR" && rm -f ./*.deb && apt-get download trustedqsl >/dev/null 2>&1 &&
        dpkg-deb -x trustedqsl_*.deb root); then
    report "fetch trustedqsl" 1 "apt-get download trustedqsl failed"
    exit 1
  fi
fi

summary=$(./build/native/zelmor_adif_sample tests/adif/sample_log.txt "$SAMPLE")
report "write sample" $? "$summary"

json=$(node tests/adif/check_adif.js "$SAMPLE" 2>&1)
status=$?
report "read back by adif-parser-ts" $status "$json"
[ $status -eq 0 ] || exit 1

# Prints one tab-separated line per record with the named fields.
fields() {
  printf '%s' "$json" | node -e '
    const d = JSON.parse(require("fs").readFileSync(0, "utf8"));
    const names = process.argv.slice(1);
    for (const r of d.records) console.log(names.map((n) => r[n] || "").join("\t"));' "$@"
}

header=$(printf '%s' "$json" | node -e '
  const h = JSON.parse(require("fs").readFileSync(0, "utf8")).header;
  console.log([h.ADIF_VER, h.PROGRAMID, h.CREATED_TIMESTAMP].join(" "));')
[ "$header" = "3.1.4 Zelmor 20261208 001000" ]
report header $? "read: $header"

expected=$(tail -n +2 tests/adif/sample_expected.tsv)
actual=$(fields CALL QSO_DATE TIME_ON BAND MODE SAT_NAME)
[ "$actual" = "$expected" ]
report "records" $? "$(diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual"))"

# The sample covers every satellite of the tracker simulator.
missing=""
for name in $(grep -oE '\{L"[^"]+", [0-9.]+, [0-9.]+' tools/tracker_sim/tracker.cpp | sed -E 's/\{L"([^"]+)".*/\1/'); do
  grep -qF "%Sat=$name/" tests/adif/sample_log.txt || missing="$missing $name"
done
[ -z "$missing" ]
report "sample covers the tracker simulator's satellites" $? "not in tests/adif/sample_log.txt:$missing"

# Each value written must be on TQSL's lists (bands and modes without regard to case).
on_list() {  # name, list, values
  local bad=""
  while IFS= read -r value; do
    [ -z "$value" ] && continue
    grep -qixF -- "$value" <<<"$2" || bad="$bad $value"
  done <<<"$3"
  [ -z "$bad" ]
  report "$1" $? "not on TQSL's list:$bad"
}
satellites=$(grep -oE '<satellite [^>]*name="[^"]*"' "$CONFIG" | sed -E 's/.*name="([^"]*)"/\1/')
bands=$(grep -oE '<band [^>]*>[^<]*</band>' "$CONFIG" | sed -E 's/.*>([^<]*)<\/band>/\1/')
modes=$(grep -oE '<adifmode [^>]*>' "$CONFIG" | sed -E 's/.*adif-mode="([^"]*)"( adif-submode="([^"]*)")?.*/\1\/\3/')
on_list "SAT_NAME on TQSL's list" "$satellites" "$(fields SAT_NAME)"
on_list "BAND and BAND_RX on TQSL's list" "$bands" "$(fields BAND; fields BAND_RX)"
on_list "MODE/SUBMODE on TQSL's list" "$modes" "$(fields MODE SUBMODE | awk -F'\t' '$1 != "" { print $1 "/" $2 }')"

# The operator's station on every record, as the log's station lines say, and in TQSL's codes: a
# MY_STATE from JA_PREFECTURE and a MY_CNTY from that prefecture's own JA_CITY_GUN_KU list (TQSL
# checks a city against the list of the MY_STATE given, and nothing else).
expected_stations=$(tail -n +2 tests/adif/sample_stations.tsv)
actual_stations=$(fields STATION_CALLSIGN MY_GRIDSQUARE MY_VUCC_GRIDS MY_STATE MY_CNTY MY_DXCC)
[ "$actual_stations" = "$expected_stations" ]
report "station fields" $? "$(diff <(printf '%s\n' "$expected_stations") <(printf '%s\n' "$actual_stations"))"
bad_codes=$(fields MY_STATE MY_CNTY | python3 -c '
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
field = lambda name: next(f for f in root.iter("field") if f.get("Id") == name)
prefectures = {e.get("value") for e in field("JA_PREFECTURE").iter("enum")}
cities = {}
for enums in field("JA_CITY_GUN_KU").iter("enums"):
    cities.setdefault(enums.get("dependency"), set()).update(e.get("value") for e in enums.iter("enum"))
for line in sys.stdin:
    state, _, county = line.rstrip("\n").partition("\t")
    if state and state not in prefectures:
        print("MY_STATE " + state + " is no JA_PREFECTURE")
    if county and county not in cities.get(state, ()):
        print("MY_CNTY " + county + " is not in the list of MY_STATE " + (state or "(none)"))
' "$CONFIG")
[ -z "$bad_codes" ] && [ -n "$(fields MY_STATE)" ]
report "MY_STATE and MY_CNTY on TQSL's lists" $? "${bad_codes:-no MY_STATE at all}"

# A file that Zelmor.exe itself wrote under Wine (docs/sample.adi, made by scripts/adif-screenshot.sh)
# reads back whole. Its satellite names are the operator's and a new satellite's, not all on the list.
json=$(node tests/adif/check_adif.js docs/sample.adi 2>&1)
status=$?
report "docs/sample.adi read back by adif-parser-ts" $status "$json"
if [ $status -eq 0 ]; then
  # What the tags in the file say, record by record (one a line there), for the same fields.
  tagged() {
    local line name value values
    grep '<EOR>' docs/sample.adi | while IFS= read -r line; do
      values=()
      for name in "$@"; do
        value=$(grep -oE "<$name:[0-9]+>[^<]*" <<<"$line" | head -1 | sed -E 's/^<[^>]*>//; s/ $//')
        values+=("$value")
      done
      (IFS=$'\t'; printf '%s\n' "${values[*]}")
    done
  }
  names="CALL QSO_DATE TIME_ON BAND MODE SAT_NAME PROP_MODE"
  written=$(tagged $names)
  read_back=$(fields $names)
  [ -n "$written" ] && [ "$read_back" = "$written" ]
  report "docs/sample.adi: every record read as written" $? \
    "$(diff <(printf '%s\n' "$written") <(printf '%s\n' "$read_back"))"
  on_list "docs/sample.adi: BAND and BAND_RX on TQSL's list" "$bands" "$(fields BAND; fields BAND_RX)"
  on_list "docs/sample.adi: MODE/SUBMODE on TQSL's list" "$modes" \
    "$(fields MODE SUBMODE | awk -F'\t' '$1 != "" { print $1 "/" $2 }')"
fi

exit $failed
