#include "contact/worked_log.h"

#include <algorithm>
#include <utility>

namespace zelmor::contact {

uint64_t WorkedLog::PaneHandedOver() {
  pane_pending_ = true;
  tail_ = SourceReading();
  return ++pane_;
}

void WorkedLog::LineAdded(const std::wstring& line) {
  const SourceReading read = ReadLines({line}, reading_);
  index_.Append(WorkedIndex::kPane, read);
  if (pane_pending_) tail_.Append(read);
}

bool WorkedLog::Apply(std::vector<FolderUpdate> updates) {
  bool changed = false;
  for (FolderUpdate& u : updates) {
    switch (u.kind) {
      case FolderUpdate::Kind::Replace:
        index_.Replace(u.source, u.reading);
        changed = true;
        break;
      case FolderUpdate::Kind::Remove:
        if (u.source != WorkedIndex::kPane && index_.Has(u.source)) {
          index_.Remove(u.source);
          changed = true;
        }
        break;
      case FolderUpdate::Kind::PaneRead:
        if (!pane_pending_ || u.pane != pane_) break;
        u.reading.Append(tail_);
        index_.Replace(WorkedIndex::kPane, u.reading);
        tail_ = SourceReading();
        pane_pending_ = false;
        changed = true;
        break;
      case FolderUpdate::Kind::FolderRead:
        std::sort(u.sources.begin(), u.sources.end());
        for (const auto& source : index_.SourceNames()) {
          if (source != WorkedIndex::kPane && !std::binary_search(u.sources.begin(), u.sources.end(), source)) {
            index_.Remove(source);
            changed = true;
          }
        }
        not_read_ = std::move(u.not_read);
        folder_read_ = true;
        break;
    }
  }
  return changed;
}

WorkedSummary WorkedLog::Summary() const {
  WorkedSummary summary = Summarize(index_);
  for (const auto& path : not_read_) summary.files_not_read.push_back(path.substr(path.find_last_of(L"\\/") + 1));
  return summary;
}

}  // namespace zelmor::contact
