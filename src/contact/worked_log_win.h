#pragma once
// The worked-before index as the main window keeps it: WorkedLog on the window's thread, fed by a
// FolderReader watching the log folder.
//
// Threading: every method runs on the window's thread. The reader posts `message` to `notify`
// when it has read something; the window's procedure answers it with OnUpdates(). Lookups and the
// summary read log().index() directly: it is the window thread's own, never locked.

#include <windows.h>

#include <memory>
#include <string>

#include "contact/folder_reader_win.h"
#include "contact/worked_log.h"

namespace zelmor::contact {

class WorkedLogKeeper {
 public:
  WorkedLogKeeper(HWND notify, UINT message, std::shared_ptr<LogFolderAccess> access = nullptr);

  // Reads and watches a folder (again) with `settings.reading`; the files of a folder watched
  // before go once the new one is read. A pane text still being read is read again.
  void Watch(FolderReader::Settings settings);
  // The pane was replaced whole (LOG Open, the recovery): its text is read off the thread.
  // Without a folder watched it is read here, at once.
  void PaneReplaced(std::wstring pane_text);
  // The line an Enter appended to the pane.
  void LineAdded(const std::wstring& line) { log_.LineAdded(line); }
  // Takes what the reader sent; true when the index changed.
  bool OnUpdates();
  bool Stop(DWORD wait_ms = 2000) { return reader_.Stop(wait_ms); }

  const WorkedLog& log() const { return log_; }

 private:
  WorkedLog log_;
  FolderReader reader_;
  std::shared_ptr<const std::wstring> pane_text_;  // until its reading is in
};

}  // namespace zelmor::contact
