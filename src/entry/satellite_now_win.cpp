#include "entry/satellite_now_win.h"

#include <mutex>
#include <utility>

#include "entry/dde_feed_links_win.h"
#include "entry/feed.h"

namespace zelmor::entry {

struct SatelliteNow::Shared {
  HWND notify = nullptr;
  UINT message = 0;
  DWORD request_timeout_ms = 0;
  std::shared_ptr<TrackerSetMaker> trackers;
  TrackerSetting choice;  // the owner's, as it stood at the last ask
  base::UniqueHandle stop_event, ask_event;

  std::mutex lock;  // guards what follows, only ever for a copy or a swap
  std::optional<Answer> answer;
  uint64_t answers = 0;

  void Give(std::optional<std::wstring> satellite) {
    {
      std::lock_guard<std::mutex> hold(lock);
      answer = Answer{++answers, std::move(satellite)};
    }
    PostMessageW(notify, message, 0, 0);
  }

  // One answer, connecting first when the source in use is down; a connection that turns out
  // dead (the tracking program closed and started again) is made again once. Refused, or too
  // slow: asking again would only wait again.
  static std::optional<std::wstring> Fetch(Feed& feed) {
    feed.BeginEntry();
    if (!feed.Request(kSatelliteName)) return std::nullopt;
    return feed.Text(kSatelliteName);
  }

  void Run() {
    // The links' windows belong to this thread and must go with it, before it ends.
    DdeFeedLinks links(request_timeout_ms);
    CsatmateSource csatmate(links, 1);
    std::unique_ptr<TrackerSet> made = trackers ? trackers->Make(true) : nullptr;
    Feed feed(made ? made->Sources() : std::vector<TrackerSource*>{&csatmate}, &choice);
    const HANDLE events[] = {stop_event.get(), ask_event.get()};
    for (;;) {
      const DWORD woken = MsgWaitForMultipleObjects(2, events, FALSE, INFINITE, QS_ALLINPUT);
      if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) break;
      if (woken == WAIT_OBJECT_0 + 1) {
        Give(Fetch(feed));
        continue;
      }
      // A late answer or the server's terminate, for the link's window.
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    feed.CloseAll();
  }
};

SatelliteNow::SatelliteNow(HWND notify, UINT message, DWORD request_timeout_ms,
                           std::shared_ptr<TrackerSetMaker> trackers,
                           const TrackerSetting* setting)
    : notify_(notify),
      message_(message),
      request_timeout_ms_(request_timeout_ms),
      trackers_(std::move(trackers)),
      setting_(setting) {}

SatelliteNow::~SatelliteNow() { Stop(500); }

DWORD WINAPI SatelliteNow::ThreadMain(void* parameter) {
  // The thread keeps the state alive as long as it runs, even when its owner has given up on it.
  std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(parameter));
  const std::shared_ptr<Shared> shared = *owned;
  try {
    shared->Run();
  } catch (...) {
    // Out of memory or the like: the hint goes on without the satellite.
  }
  return 0;
}

bool SatelliteNow::Ask() {
  if (!shared_) {
    auto shared = std::make_shared<Shared>();
    shared->notify = notify_;
    shared->message = message_;
    shared->request_timeout_ms = request_timeout_ms_;
    shared->trackers = trackers_;
    shared->stop_event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    shared->ask_event.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (shared->stop_event && shared->ask_event) {
      auto* parameter = new std::shared_ptr<Shared>(shared);
      thread_.reset(CreateThread(nullptr, 0, &SatelliteNow::ThreadMain, parameter, 0, nullptr));
      if (thread_) {
        shared_ = std::move(shared);
      } else {
        delete parameter;
      }
    }
    if (!shared_) return false;
  }
  if (setting_) shared_->choice.Set(setting_->Get());
  SetEvent(shared_->ask_event.get());
  return true;
}

std::optional<SatelliteNow::Answer> SatelliteNow::TakeAnswer() {
  if (!shared_) return std::nullopt;
  std::lock_guard<std::mutex> hold(shared_->lock);
  return std::exchange(shared_->answer, std::nullopt);
}

bool SatelliteNow::Stop(DWORD wait_ms) {
  if (!shared_) return true;
  SetEvent(shared_->stop_event.get());
  const bool ended = !thread_ || WaitForSingleObject(thread_.get(), wait_ms) == WAIT_OBJECT_0;
  thread_.reset();
  shared_.reset();
  return ended;
}

}  // namespace zelmor::entry
