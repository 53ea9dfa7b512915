#pragma once
// The satellite the tracking program reports now, for the worked-before hint while a memo is
// typed: asked on a thread of its own over a DDE conversation of its own, so that a tracking
// program that is missing, slow or hung never makes the entry box wait, and so that the Enter's
// five requests on the window's thread stay exactly what they are.
//
// The thread is started at the first ask. It holds the tracking programs' sources made for it
// (CSATmate alone unless told otherwise, with one link, item "Label1"), connects the first of the
// choice that answers when none is, and asks again once when a connection made earlier turns out
// dead. Each answer is kept for the window's thread, which is posted `message` (wParam and lParam
// 0) and takes it with TakeAnswer.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/handles_win.h"
#include "entry/tracker_source.h"

namespace zelmor::entry {

class SatelliteNow {
 public:
  // Shorter than an Enter's: an answer this late is no use to a hint.
  static constexpr DWORD kRequestTimeoutMs = 2000;

  // `trackers` makes the sources on the thread (null: CSATmate alone); `setting`, read at each ask,
  // says which may be used (null: any).
  SatelliteNow(HWND notify, UINT message, DWORD request_timeout_ms = kRequestTimeoutMs,
               std::shared_ptr<TrackerSetMaker> trackers = nullptr, const TrackerSetting* setting = nullptr);
  // Stops the thread, waiting a bounded time (see Stop).
  ~SatelliteNow();
  SatelliteNow(const SatelliteNow&) = delete;
  SatelliteNow& operator=(const SatelliteNow&) = delete;

  // Asks once more; an ask while one is under way is answered by the one after it. False when no
  // thread could be started: there is no answer to wait for.
  bool Ask();

  struct Answer {
    uint64_t number = 0;                    // 1, 2, ... in the order of the answers
    std::optional<std::wstring> satellite;  // as the tracking program gives it; none: no answer
  };
  // The latest answer not taken yet.
  std::optional<Answer> TakeAnswer();

  // Asks the thread to end and waits up to `wait_ms`; true when it has ended. A thread inside a
  // request to a hung tracking program is left to end on its own after the request's time-out.
  bool Stop(DWORD wait_ms);

 private:
  struct Shared;
  static DWORD WINAPI ThreadMain(void* shared);

  HWND notify_;
  UINT message_;
  DWORD request_timeout_ms_;
  std::shared_ptr<TrackerSetMaker> trackers_;
  const TrackerSetting* setting_;
  std::shared_ptr<Shared> shared_;
  base::UniqueHandle thread_;
};

}  // namespace zelmor::entry
