#pragma once
// When the worked-before hint shows and what it asks of the tracking program, decided apart from
// the windows and the thread that carry it out (worked_before_win.h).

#include <cstdint>
#include <optional>
#include <string>

#include "settings/profile.h"

namespace zelmor::worked {

struct HintSettings {
  bool hints = true;
  int dupe_minutes = 30;  // 0: no dupe hint
  static constexpr int kMostDupeMinutes = 24 * 60;
};

// "Hints" and "DupeMinutes" of section "Zelmor", read at start-up: "Hints=0" turns the hint off
// (any other value, or none, leaves it on); "DupeMinutes" is a whole number of minutes from 0 to a
// day, spaces around allowed, and anything else counts as missing (30).
HintSettings ReadHintSettings(settings::Profile& profile);

// A memo the hint speaks about: its first word has a call sign's shape, or it holds the grid (a
// word with a locator's shape, where the reader takes the memo's grid).
bool WantsHint(const std::wstring& memo);

// What the hint takes for the satellite the tracking program reports now: asked when a memo
// starts to want a hint (a new pass may be on another satellite than the last entry) and again
// while typing once the answer is old, one question at a time. Times are a millisecond clock's.
class SatelliteAsking {
 public:
  // An answer older than this is asked again while typing.
  static constexpr uint64_t kRefreshMs = 10000;
  // How long the hint waits for the answer to a memo's own question before it shows without it.
  static constexpr uint64_t kWaitMs = 300;
  // A question not answered by then is taken for lost (the asking thread's time-out is shorter):
  // another may be asked.
  static constexpr uint64_t kLostMs = 5000;

  // The memo has just begun to want a hint.
  void MemoStarted(uint64_t now_ms) { memo_started_ms_ = now_ms; }
  // True: ask now (then Asked). Nothing is asked while a question is open, unless it is lost.
  bool ShouldAsk(uint64_t now_ms) const;
  void Asked(uint64_t now_ms) { asked_ms_ = now_ms; }
  // The answer to the open question: a name, or none when the tracking program did not answer.
  void Answered(std::optional<std::wstring> satellite, uint64_t now_ms);

  enum class State { Known, Waiting };
  struct Satellite {
    State state = State::Known;
    std::optional<std::wstring> name;  // when Known: none means no tracking program answered
  };
  // The answer to a question asked since the memo started; while that is open (up to kWaitMs),
  // Waiting; then a recent answer from before, or none.
  Satellite Now(uint64_t now_ms) const;
  // Until when Now stays Waiting, when it is.
  uint64_t WaitEnds() const { return asked_ms_ ? *asked_ms_ + kWaitMs : 0; }

 private:
  struct Answer {
    std::optional<std::wstring> name;
    uint64_t asked_ms = 0, answered_ms = 0;
  };
  uint64_t memo_started_ms_ = 0;
  std::optional<uint64_t> asked_ms_;  // the open question
  std::optional<Answer> answer_;
};

}  // namespace zelmor::worked
