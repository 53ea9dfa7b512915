#include "worked/log_folder_watcher_win.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/atomic_file_win.h"
#include "base/codepage_win.h"
#include "base/handles_win.h"
#include "base/paths.h"
#include "base/text.h"
#include "confirmations/lotw_report.h"

namespace zelmor::worked {
namespace {

// Lines read between two hand-overs to the window's thread: it merges them in a few
// milliseconds, and the memory of the texts in between stays small. (A file is handed over whole,
// however long.)
constexpr size_t kLinesPerHandOver = 5000;
// A save writes a temporary file and renames it: the folder is read once it has been quiet this long.
constexpr DWORD kQuietMs = 100;
constexpr DWORD kMostSettleMs = 2000;

// The window's thread comes first: typing must never wait for the reading.
void LowerPriority() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

// One processor is left to the window's thread, which merges what the readers hand over (Wine
// leaves thread priorities to Linux, which ignores them): on two cores one reader read 100,000
// contacts in 0.48 s, two in 0.62 to 0.85 s.
unsigned ThreadCount(unsigned asked) {
  if (asked > 0) return asked;
  const unsigned processors = std::thread::hardware_concurrency();
  return std::clamp(processors > 1 ? processors - 1 : 1u, 1u, 4u);
}

}  // namespace

std::optional<std::vector<FileStamp>> DiskLogFolder::List(const std::wstring& folder) {
  std::vector<FileStamp> files;
  WIN32_FIND_DATAW found{};
  const base::UniqueFind search(FindFirstFileExW(base::JoinPath(folder, L"*").c_str(), FindExInfoBasic, &found,
                                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
  if (!search) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return files;
    return std::nullopt;
  }
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    FileStamp f;
    f.name = found.cFileName;
    f.size = uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow;
    f.written = uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32 | found.ftLastWriteTime.dwLowDateTime;
    files.push_back(std::move(f));
  } while (FindNextFileW(search.get(), &found));
  return files;
}

std::optional<std::wstring> DiskLogFolder::Read(const std::wstring& path) {
  auto bytes = ReadBytes(path);
  if (!bytes) return std::nullopt;
  return base::FromAnsi(*bytes);
}

std::optional<std::string> DiskLogFolder::ReadBytes(const std::wstring& path) {
  std::string bytes;
  if (base::ReadFileContent(path, bytes) != ERROR_SUCCESS) return std::nullopt;
  return bytes;
}

struct LogFolderWatcher::Shared {
  HWND notify = nullptr;
  UINT message = 0;
  std::shared_ptr<LogFolderAccess> access;
  Settings settings;
  base::UniqueHandle stop_event, wake_event;
  std::atomic<bool> stop{false};
  std::atomic<bool> kept_asked{false};  // the kept file to be read again at the next scan

  std::mutex lock;  // guards what follows, only ever for a swap or a push
  std::vector<FolderUpdate> updates;
  std::shared_ptr<const std::wstring> pane_text;
  uint64_t pane = 0;
  bool posted = false;

  void Hand(std::vector<FolderUpdate> more) {
    bool post = false;
    {
      std::lock_guard<std::mutex> hold(lock);
      for (auto& u : more) updates.push_back(std::move(u));
      post = !posted;
      posted = true;
    }
    if (post && !PostMessageW(notify, message, 0, 0)) {
      std::lock_guard<std::mutex> hold(lock);
      posted = false;  // the next hand-over tries again
    }
  }

  // The reader's own state, on its thread only.
  std::vector<FileStamp> known;  // files read, as they were when read
  bool kept_read = false;
  bool kept_due = false;  // asked for, and not read yet
  FileStamp kept;  // the kept file as it was when read; no name when there was none

  void ReadPaneIfAny() {
    std::shared_ptr<const std::wstring> text;
    uint64_t number = 0;
    {
      std::lock_guard<std::mutex> hold(lock);
      text = std::move(pane_text);
      number = pane;
    }
    if (!text) return;
    const auto lines = IndexedLines(*text);
    text.reset();
    auto read = ReadInParallel({&lines}, settings.reading, ThreadCount(settings.threads), stop, LowerPriority);
    if (!read) return;
    FolderUpdate u;
    u.kind = FolderUpdate::Kind::PaneRead;
    u.pane = number;
    u.reading = std::move(read->front());
    std::vector<FolderUpdate> one;
    one.push_back(std::move(u));
    Hand(std::move(one));
  }

  enum class Scanned { Whole, FilesNotRead, FolderNotListed };

  // The log files of the folder's listing that are small enough to read; the others go to
  // `not_read`. None when the folder could not be listed.
  std::vector<FileStamp> LogFiles(std::optional<std::vector<FileStamp>> listed, std::vector<std::wstring>& not_read) {
    std::vector<FileStamp> files;
    for (auto& f : listed.value_or(std::vector<FileStamp>())) {
      if (!IsLogFileName(f.name, settings.skipped)) continue;
      if (f.size > kMaxFileBytes) {
        not_read.push_back(base::JoinPath(settings.folder, f.name));
        continue;
      }
      files.push_back(std::move(f));
    }
    return files;
  }

  // Files gone from the folder leave the index, and the reader forgets them.
  void Forget(const std::vector<std::wstring>& names) {
    std::vector<FolderUpdate> removed;
    for (const auto& name : names) {
      FolderUpdate u;
      u.kind = FolderUpdate::Kind::Remove;
      u.source = base::JoinPath(settings.folder, name);
      removed.push_back(std::move(u));
    }
    std::unordered_set<std::wstring> gone(names.begin(), names.end());
    known.erase(std::remove_if(known.begin(), known.end(), [&](const FileStamp& f) { return gone.count(f.name) != 0; }),
                known.end());
    if (!removed.empty()) Hand(std::move(removed));
  }

  // The scan is over: every file of `now` is in the index, as are those named in `not_read`.
  void HandFolderRead(const std::vector<FileStamp>& now, std::vector<std::wstring> not_read) {
    FolderUpdate read_whole;
    read_whole.kind = FolderUpdate::Kind::FolderRead;
    for (const auto& f : now) read_whole.sources.push_back(base::JoinPath(settings.folder, f.name));
    for (const auto& path : not_read) read_whole.sources.push_back(path);
    read_whole.not_read = std::move(not_read);
    std::vector<FolderUpdate> one;
    one.push_back(std::move(read_whole));
    Hand(std::move(one));
  }

  // Reads the kept file of confirmations when it is not as it was read (or gone), or when asked;
  // false when it could not be read.
  bool ReadKeptFile(const std::optional<std::vector<FileStamp>>& listed) {
    if (!listed) return true;  // the folder's listing failed: the scan is tried again anyway
    FileStamp now;
    for (const auto& f : *listed) {
      if (SameAsciiCaseless(f.name, confirmations::kKeptFileName)) now = f;
    }
    if (kept_asked.exchange(false)) kept_due = true;
    if (kept_read && now == kept && !kept_due) return true;
    FolderUpdate u;
    u.kind = FolderUpdate::Kind::Confirmations;
    if (!now.name.empty()) {
      const auto bytes = access->ReadBytes(base::JoinPath(settings.folder, now.name));
      if (!bytes) return false;
      u.confirmations = confirmations::ReadKept(*bytes).confirmations;
    }
    kept_read = true;
    kept_due = false;
    kept = now;
    std::vector<FolderUpdate> one;
    one.push_back(std::move(u));
    Hand(std::move(one));
    return true;
  }

  // Reads what changed since the last scan, and says what is to be tried again.
  Scanned Scan() {
    Scanned result = Scanned::Whole;
    auto listed = access->List(settings.folder);
    if (!listed) result = Scanned::FolderNotListed;
    // Before the logs: their contacts are matched as they come, and hints and the summary wait
    // for the folder read whole.
    if (!ReadKeptFile(listed)) result = Scanned::FilesNotRead;
    std::vector<std::wstring> not_read;
    const std::vector<FileStamp> now = LogFiles(std::move(listed), not_read);
    const FolderChanges changes = CompareListings(known, now);
    Forget(changes.removed);

    std::unordered_map<std::wstring, const FileStamp*> stamp_of;
    for (const auto& f : now) stamp_of[f.name] = &f;
    std::vector<std::wstring> names;
    std::vector<std::vector<std::wstring>> texts;
    size_t lines = 0;
    auto hand_over = [&]() -> bool {
      std::vector<const std::vector<std::wstring>*> pointers;
      for (const auto& t : texts) pointers.push_back(&t);
      auto read = ReadInParallel(pointers, settings.reading, ThreadCount(settings.threads), stop, LowerPriority);
      if (!read) return false;
      std::vector<FolderUpdate> done;
      for (size_t i = 0; i < names.size(); ++i) {
        FolderUpdate u;
        u.kind = FolderUpdate::Kind::Replace;
        u.source = base::JoinPath(settings.folder, names[i]);
        u.reading = std::move((*read)[i]);
        done.push_back(std::move(u));
        const FileStamp& stamp = *stamp_of[names[i]];
        auto old = std::find_if(known.begin(), known.end(), [&](const FileStamp& f) { return f.name == stamp.name; });
        if (old != known.end()) *old = stamp;
        else known.push_back(stamp);
      }
      Hand(std::move(done));
      names.clear();
      texts.clear();
      lines = 0;
      ReadPaneIfAny();
      return !stop.load();
    };
    for (const auto& name : changes.changed) {
      if (stop.load()) return result;
      const std::wstring path = base::JoinPath(settings.folder, name);
      auto text = access->Read(path);
      if (!text) {
        not_read.push_back(path);
        if (result == Scanned::Whole) result = Scanned::FilesNotRead;
        continue;
      }
      texts.push_back(IndexedLines(*text));
      names.push_back(name);
      lines += texts.back().size();
      if (lines >= kLinesPerHandOver && !hand_over()) return result;
    }
    if (!names.empty() && !hand_over()) return result;
    HandFolderRead(now, std::move(not_read));
    return result;
  }

  // Waits until the folder has been quiet for a moment: a save is a write and a rename.
  void Settle(HANDLE change) {
    const DWORD start = GetTickCount();
    const HANDLE handles[] = {stop_event.get(), change};
    while (GetTickCount() - start < kMostSettleMs) {
      const DWORD r = WaitForMultipleObjects(2, handles, FALSE, kQuietMs);
      if (r != WAIT_OBJECT_0 + 1) return;
      FindNextChangeNotification(change);
    }
  }

  void Run() {
    base::UniqueChangeNotification change;
    bool scan = true, retry = false;
    while (!stop.load()) {
      ReadPaneIfAny();
      if (kept_asked.load()) scan = true;
      if (scan) {
        // The watch is made afresh before each scan: what changes from now on is signalled, what
        // changed before the scan sees, and a folder deleted meanwhile is let go.
        change.reset();
        change.reset(FindFirstChangeNotificationW(
            settings.folder.c_str(), FALSE,
            FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));
        retry = Scan() != Scanned::Whole;
        scan = false;
        continue;  // a pane handed over meanwhile is read before waiting
      }
      HANDLE handles[] = {stop_event.get(), wake_event.get(), change.get()};
      const DWORD count = change ? 3 : 2;
      const DWORD r = WaitForMultipleObjects(count, handles, FALSE,
                                             retry || !change ? settings.retry_ms : settings.rescan_ms);
      if (r == WAIT_OBJECT_0 + 2) {
        FindNextChangeNotification(change.get());
        Settle(change.get());
        scan = true;
      } else if (r == WAIT_TIMEOUT) {
        scan = true;
      } else if (r == WAIT_FAILED) {
        change.reset();
        Sleep(100);
      }
    }
  }
};

LogFolderWatcher::LogFolderWatcher(HWND notify, UINT message, std::shared_ptr<LogFolderAccess> access)
    : notify_(notify), message_(message), access_(access ? std::move(access) : std::make_shared<DiskLogFolder>()) {}

LogFolderWatcher::~LogFolderWatcher() { Stop(); }

DWORD WINAPI LogFolderWatcher::ThreadMain(void* parameter) {
  // The thread holds the state as long as it runs, even when its owner has given up on it.
  std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(parameter));
  const std::shared_ptr<Shared> shared = *owned;
  LowerPriority();
  try {
    shared->Run();
  } catch (...) {
    // Out of memory or the like: the index keeps what it has; nothing else to tell.
  }
  return 0;
}

void LogFolderWatcher::Start(Settings settings) {
  Stop();
  auto shared = std::make_shared<Shared>();
  shared->notify = notify_;
  shared->message = message_;
  shared->access = access_;
  shared->settings = std::move(settings);
  shared->stop_event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  shared->wake_event.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  if (!shared->stop_event || !shared->wake_event) return;
  auto* parameter = new std::shared_ptr<Shared>(shared);
  thread_.reset(CreateThread(nullptr, 0, &LogFolderWatcher::ThreadMain, parameter, 0, nullptr));
  if (!thread_) {
    delete parameter;
    return;
  }
  shared_ = std::move(shared);
}

void LogFolderWatcher::ReadPane(std::shared_ptr<const std::wstring> text, uint64_t pane) {
  if (!shared_) return;
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    shared_->pane_text = std::move(text);
    shared_->pane = pane;
  }
  SetEvent(shared_->wake_event.get());
}

void LogFolderWatcher::ConfirmationsChanged() {
  if (!shared_) return;
  shared_->kept_asked = true;
  SetEvent(shared_->wake_event.get());
}

bool LogFolderWatcher::Stop(DWORD wait_ms) {
  if (!shared_) return true;
  shared_->stop = true;
  SetEvent(shared_->stop_event.get());
  bool ended = true;
  if (thread_) {
    // A read blocked on a drive that does not answer is cancelled where the system can.
    CancelSynchronousIo(thread_.get());
    ended = WaitForSingleObject(thread_.get(), wait_ms) == WAIT_OBJECT_0;
  }
  thread_.reset();
  shared_.reset();
  return ended;
}

std::vector<FolderUpdate> LogFolderWatcher::TakeUpdates() {
  std::vector<FolderUpdate> taken;
  if (!shared_) return taken;
  std::lock_guard<std::mutex> hold(shared_->lock);
  taken.swap(shared_->updates);
  shared_->posted = false;
  return taken;
}

}  // namespace zelmor::worked
