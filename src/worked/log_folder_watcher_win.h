#pragma once
// The log folder read off the window's thread, for the worked-before index.
//
// One thread per folder watched: it reads every log file (ANSI code page), then waits for the
// folder to change (FindFirstChangeNotificationW, or a while without one) and reads again only
// the files whose size or write time changed; it also reads the pane's text when handed one, and
// the kept file of LoTW's confirmations (confirmations::kKeptFileName, UTF-8) when it is new,
// changed or gone, or when asked to.
// Lines are read on up to four threads, one fewer than the processors. What it read waits in a
// queue; the window given is posted `message` (wParam and lParam 0, at most one such message
// waiting at a time), and its handler takes the queue with TakeUpdates and gives it to
// WorkedLog::Apply. The window's thread never waits for the watcher: the queue's lock is held only
// to swap it.
//
// Stopping asks the thread to end and waits a bounded time; a thread stuck on a slow or gone
// drive is left to finish on its own (it owns everything it touches, and what it posts later is
// taken by nobody and freed with it).

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "worked/worked_log.h"
#include "worked/worked_source.h"

namespace zelmor::worked {

// How the watcher reaches the files: the real folder, or a stand-in in tests.
class LogFolderAccess {
 public:
  virtual ~LogFolderAccess() = default;
  // The files of the folder (not its subfolders), or nothing when it cannot be listed.
  virtual std::optional<std::vector<FileStamp>> List(const std::wstring& folder) = 0;
  // The file's text converted from the ANSI code page, or nothing when it cannot be read.
  virtual std::optional<std::wstring> Read(const std::wstring& path) = 0;
  // The file's bytes as they are, or nothing when it cannot be read.
  virtual std::optional<std::string> ReadBytes(const std::wstring& path) = 0;
};

// Files on the disk, in the ANSI code page as Zelmor writes them.
class DiskLogFolder : public LogFolderAccess {
 public:
  std::optional<std::vector<FileStamp>> List(const std::wstring& folder) override;
  std::optional<std::wstring> Read(const std::wstring& path) override;
  std::optional<std::string> ReadBytes(const std::wstring& path) override;
};

class LogFolderWatcher {
 public:
  struct Settings {
    std::wstring folder;
    LineReading reading;
    std::vector<std::wstring> skipped;  // file names left out (IsLogFileName)
    unsigned threads = 0;               // 0: one per processor but one, at most four
    // A folder that cannot be listed or watched, or a file that could not be read, is tried
    // again after this long.
    DWORD retry_ms = 5000;
    // Without a change, the folder is looked at again after this long, its watch made afresh: a
    // network drive may not tell of every change, and a watch keeps a folder that was deleted
    // (under Wine, and before Windows 10) from going until it is let go.
    DWORD rescan_ms = 30000;
  };

  // Files larger than this are not read (a log of 620,000 lines is 50 MB): listed as not read.
  static constexpr uint64_t kMaxFileBytes = 64ull << 20;

  LogFolderWatcher(HWND notify, UINT message, std::shared_ptr<LogFolderAccess> access = nullptr);
  ~LogFolderWatcher();
  LogFolderWatcher(const LogFolderWatcher&) = delete;
  LogFolderWatcher& operator=(const LogFolderWatcher&) = delete;

  // Starts reading and watching a folder; a watcher already running is stopped first, and what it
  // had not handed over is dropped.
  void Start(Settings settings);
  // Reads the pane's text as hand-over `pane` (WorkedLog::PaneHandedOver); only the latest text
  // waiting is read. Nothing happens when not started.
  void ReadPane(std::shared_ptr<const std::wstring> text, uint64_t pane);
  // The kept file of confirmations was written: it is read again, whatever its listing says (a
  // write within the file system's time resolution may leave size and time as they were).
  // Nothing happens when not started.
  void ConfirmationsChanged();
  // Asks the thread to end and waits up to `wait_ms`; true when it has ended.
  bool Stop(DWORD wait_ms = 2000);
  bool running() const { return static_cast<bool>(thread_); }

  // Everything read since the last call, in order.
  std::vector<FolderUpdate> TakeUpdates();

 private:
  struct Shared;
  static DWORD WINAPI ThreadMain(void* shared);

  HWND notify_;
  UINT message_;
  std::shared_ptr<LogFolderAccess> access_;
  std::shared_ptr<Shared> shared_;
  base::UniqueHandle thread_;
};

}  // namespace zelmor::worked
