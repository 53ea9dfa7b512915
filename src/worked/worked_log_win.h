#pragma once
// The worked-before index as the main window keeps it: WorkedLog on the window's thread, fed by a
// LogFolderWatcher on the log folder.
//
// Threading: make it, call it and destroy it on the window's thread (the thread with the message
// loop). It owns a message-only window of that thread: the watcher posts to it, and it merges what
// came in slices, giving way to the keyboard between two slices (what is left goes on at a timer,
// which comes after the keys). Lookups and the summary read log().index() at any time: it is this
// thread's own and never locked.

#include <windows.h>

#include <memory>
#include <string>

#include "base/time_zone_win.h"
#include "window/base_window_win.h"
#include "worked/log_folder_watcher_win.h"
#include "worked/worked_log.h"

namespace zelmor::worked {

// Told, on the window's thread, when the index has changed (a hint on screen may be out of date).
class WorkedLogListener {
 public:
  virtual ~WorkedLogListener() = default;
  virtual void WorkedIndexChanged() = 0;
};

class WorkedLogKeeper : public window::Window {
 public:
  // `names` tell satellites apart (WorkedIndex); `zone` converts the logs' local times for LoTW's
  // confirmations (none: the computer's rules).
  explicit WorkedLogKeeper(WorkedLogListener* listener = nullptr, std::shared_ptr<LogFolderAccess> access = nullptr,
                           contact::SatelliteNames names = {}, const TimeZoneRules* zone = nullptr);
  ~WorkedLogKeeper() override;

  // Reads and watches a folder (again) with `settings.reading`; the files of a folder watched
  // before go once the new one is read. A pane text still being read is read again.
  void Watch(LogFolderWatcher::Settings settings);
  // The pane was replaced whole (LOG Open, the recovery): its text is read off the thread.
  // Without a folder watched it is read here, at once.
  void PaneReplaced(std::wstring pane_text);
  // The line an Enter appended to the pane: read here, some microseconds.
  void LineAdded(const std::wstring& line) { log_.LineAdded(line); }
  // The kept file of LoTW's confirmations was written: it is read again off the thread.
  void ConfirmationsChanged() { watcher_->ConfirmationsChanged(); }
  bool Stop(DWORD wait_ms = 2000) { return watcher_ ? watcher_->Stop(wait_ms) : true; }

  const WorkedLog& log() const { return log_; }

  static constexpr UINT kReadMessage = WM_APP + 1;      // the watcher has handed something over
  static constexpr UINT kContinueMessage = WM_APP + 2;  // more to merge, no key waiting
  // Contacts merged at a time: one to two milliseconds under Wine.
  static constexpr size_t kContactsPerSlice = 2000;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Merge();

  WorkedLogListener* listener_;
  ComputerTimeZone computer_zone_;
  WorkedLog log_;
  std::unique_ptr<LogFolderWatcher> watcher_;
  std::shared_ptr<const std::wstring> pane_text_;  // until its reading is in
  bool continue_posted_ = false;
};

}  // namespace zelmor::worked
