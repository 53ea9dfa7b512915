#include "contact/worked_log_win.h"

#include <utility>
#include <vector>

namespace zelmor::contact {

WorkedLogKeeper::WorkedLogKeeper(HWND notify, UINT message, std::shared_ptr<LogFolderAccess> access)
    : reader_(notify, message, std::move(access)) {}

void WorkedLogKeeper::Watch(FolderReader::Settings settings) {
  log_.SetReading(settings.reading);
  log_.FolderWatchStarted();
  reader_.Start(std::move(settings));
  if (pane_text_ && log_.pane_pending()) reader_.ReadPane(pane_text_, log_.pane_number());
}

void WorkedLogKeeper::PaneReplaced(std::wstring pane_text) {
  const uint64_t pane = log_.PaneHandedOver();
  if (!reader_.running()) {
    FolderUpdate read;
    read.kind = FolderUpdate::Kind::PaneRead;
    read.pane = pane;
    read.reading = ReadLines(IndexedLines(pane_text), log_.reading());
    std::vector<FolderUpdate> one;
    one.push_back(std::move(read));
    log_.Apply(std::move(one));
    return;
  }
  pane_text_ = std::make_shared<const std::wstring>(std::move(pane_text));
  reader_.ReadPane(pane_text_, pane);
}

bool WorkedLogKeeper::OnUpdates() {
  const bool changed = log_.Apply(reader_.TakeUpdates());
  if (!log_.pane_pending()) pane_text_.reset();
  return changed;
}

}  // namespace zelmor::contact
