#!/usr/bin/env bash
# The benchmarks behind the figures in the README, built through the win64 preset (installing what
# is missing, as ./test.sh does):
#   startup  the time from CreateProcess until the window is ready for input (shown, the keyboard
#            focus in the entry box, nothing left to paint, answering a sent message): Zelmor.exe
#            beside the tracking-program simulator, Zelmor.exe alone, bare-window.exe (a window
#            program that does nothing else) and same-look-window.exe (one that shows what Zelmor's
#            window shows at start-up and does nothing else), started the same way in turns; medians
#            of 11 starts (ZELMOR_STARTUP_RUNS=n: of n; ZELMOR_STARTUP_COMPARE=<Windows path of
#            another build's Zelmor.exe>: that one too, started in turns with this one's).
#   entry    the time from Enter to the safety copy on disk at 1,000, 10,000 and 100,000 lines in
#            the log pane, for the first entry after the log was loaded and for the next one,
#            against two floors measured in the same run: (a) five DDE requests to the same
#            simulator plus the replacement of a file with the same bytes, from the driver itself;
#            (b) that plus the pane's own append: a bare EDIT control of the driver's, with the
#            pane's styles, font and size, holding the same text and appending the same line the
#            way Zelmor's pane does; and both until repainted. Each measurement follows the same pause
#            (200 ms), as an operator's Enter does. Medians of 21, 21 and 7 loads. Then an Enter
#            with the worked-before hint on screen against one with Hints=0 (two Zelmors side by
#            side, 10,000 lines in each pane, 10,000 contacts in the log folder): to the safety
#            copy, until repainted and until the hint has gone; medians of 21.
#   worked   the worked-before index of a log folder of 10,000 contacts in 20 files and 100,000 in
#            200: from the start of the folder reader until the window's thread has it all (on the
#            reader's threads, and on one), the longest hand-over to the window's thread, the
#            private memory it adds, and the hint's lookups (mean and slowest of 20,000); and LoTW's
#            kept file of 10,000 confirmations read and matched against 100,000 contacts; three
#            runs each. Then the summary with its map of grids for 100,000 contacts: counted, the
#            squares taken, fitted and drawn at 100 % and 200 % scaling; medians of 11.
# Usage: scripts/bench.sh [startup|entry|worked]...   (default: startup and entry)
set -euo pipefail
cd "$(dirname "$0")/.."

filters=()
for part in "${@:-startup entry}"; do
  for name in $part; do
    case $name in
      startup) filters+=("StartupBenchmark.*") ;;
      entry) filters+=("EntryBenchmark.*") ;;
      worked) filters+=("WorkedBenchmark.*") ;;
      *) sed -n '2,27p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
    esac
  done
done

./scripts/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target Zelmor tracker-sim bare-window same-look-window zelmor_e2e >/dev/null

source scripts/wine-env.sh
zelmor_wine_setup build/win64
zelmor_xvfb_start
filter=$(IFS=:; echo "${filters[*]}")
"$WINE64" build/win64/zelmor_e2e.exe --gtest_also_run_disabled_tests --gtest_filter="$filter" --gtest_brief=1 </dev/null
