#pragma once
// What to tell the operator while a memo is typed: whether the station is already in the log for
// this pass, whether it was worked before on this satellite or at all, and whether the grid is new.
//
// The call hint shows only when the memo's first word has a call sign's shape. The grid hint is
// for the memo's grid as the reader finds it (the first word with a locator's shape after the call
// and reports, or anywhere in a memo without a call): the same word the ADIF export and the
// transfer take for the grid, so the hint speaks of what will be logged.

#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "worked/worked_index.h"

namespace zelmor::worked {

struct HintRequest {
  std::wstring memo;                      // the entry box's text as it stands
  std::optional<std::wstring> satellite;  // what the tracking program reports now, or none
  LocalTime now;
  int dupe_window_minutes = 30;  // 0 or less: no dupe hint
  std::wstring time_separator = L":";  // the locale's, as the log writes times
};

struct Hint {
  std::vector<std::wstring> lines;  // empty: nothing to show
  bool same_pass = false;           // the first line warns of a dupe
};

// Lines, in this order:
//   - the call: "同じパスで交信済み 10:14J" (a dupe), else "RS-44で交信済み 2026/12/01 (3回目)"
//     (this contact would be the third on RS-44), "RS-44では初" or "初めての局"; without a
//     satellite, "交信済み 2026/12/01 (3回目)" counts every satellite;
//   - "JA1ABCとして交信済み" when the operator is in the log under other forms only;
//   - the grid: "PM95: 新グリッド" (on no satellite), "PM95: RS-44で新" (on others only), or,
//     once LoTW's confirmations are kept, "PM95: 交信済み・未確認" (worked here, but no
//     confirmation gave the square).
// A dupe needs no satellite: a contact within the window logged on the same satellite, without
// one, or while none is known, is the same pass; the line shows its time for the operator to judge.
Hint WorkedHint(const WorkedIndex& index, const HintRequest& request);

}  // namespace zelmor::worked
