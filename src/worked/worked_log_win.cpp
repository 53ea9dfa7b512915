#include "worked/worked_log_win.h"

#include <utility>
#include <vector>

namespace zelmor::worked {
namespace {

constexpr wchar_t kClassName[] = L"ZelmorWorkedLog";
constexpr UINT_PTR kContinueTimer = 1;
// One handling of a message merges slices for at most this long.
constexpr double kMostMsPerTurn = 5;

double Milliseconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool KeyOrMouseWaiting() { return HIWORD(GetQueueStatus(QS_INPUT)) != 0; }

}  // namespace

WorkedLogKeeper::WorkedLogKeeper(WorkedLogListener* listener, std::shared_ptr<LogFolderAccess> access,
                                 contact::SatelliteNames names, const TimeZoneRules* zone)
    : listener_(listener), log_({}, std::move(names), zone ? zone : &computer_zone_) {
  CreateMessageOnlyWindow(kClassName);
  watcher_ = std::make_unique<LogFolderWatcher>(hwnd(), kReadMessage, std::move(access));
}

WorkedLogKeeper::~WorkedLogKeeper() { watcher_.reset(); }

void WorkedLogKeeper::Watch(LogFolderWatcher::Settings settings) {
  log_.SetReading(settings.reading);
  log_.FolderWatchStarted();
  watcher_->Start(std::move(settings));
  if (pane_text_ && log_.pane_pending()) watcher_->ReadPane(pane_text_, log_.pane_number());
}

void WorkedLogKeeper::PaneReplaced(std::wstring pane_text) {
  const uint64_t pane = log_.PaneHandedOver();
  if (!watcher_->running()) {
    FolderUpdate read;
    read.kind = FolderUpdate::Kind::PaneRead;
    read.pane = pane;
    read.reading = ReadSourceLines(IndexedLines(pane_text), log_.reading());
    std::vector<FolderUpdate> one;
    one.push_back(std::move(read));
    log_.Apply(std::move(one));
    return;
  }
  pane_text_ = std::make_shared<const std::wstring>(std::move(pane_text));
  watcher_->ReadPane(pane_text_, pane);
}

void WorkedLogKeeper::Merge() {
  KillTimer(hwnd(), kContinueTimer);
  const double start = Milliseconds();
  bool changed = false, more = false;
  do {
    more = log_.Merge(kContactsPerSlice, changed);
  } while (more && !KeyOrMouseWaiting() && Milliseconds() - start < kMostMsPerTurn);
  if (!log_.pane_pending()) pane_text_.reset();
  if (more) {
    // A key waiting goes first: the timer's message comes after it. Otherwise on at once.
    if (KeyOrMouseWaiting()) SetTimer(hwnd(), kContinueTimer, USER_TIMER_MINIMUM, nullptr);
    else if (!continue_posted_) continue_posted_ = PostMessageW(hwnd(), kContinueMessage, 0, 0) != FALSE;
  }
  if (changed && listener_) listener_->WorkedIndexChanged();
}

LRESULT WorkedLogKeeper::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kReadMessage:
      log_.Receive(watcher_->TakeUpdates());
      Merge();
      return 0;
    case kContinueMessage:
      continue_posted_ = false;
      Merge();
      return 0;
    case WM_TIMER:
      if (wparam == kContinueTimer) Merge();
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}

}  // namespace zelmor::worked
