#include "worked/worked_log.h"

#include <algorithm>
#include <utility>

#include "base/paths.h"

namespace zelmor::worked {

uint64_t WorkedLog::PaneHandedOver() {
  pane_pending_ = true;
  tail_ = SourceReading();
  return ++pane_;
}

void WorkedLog::LineAdded(const std::wstring& line) {
  const SourceReading read = ReadSourceLines({line}, reading_);
  index_.Append(WorkedIndex::kPane, read);
  if (pane_pending_) tail_.Append(read);
}

void WorkedLog::Receive(std::vector<FolderUpdate> updates) {
  for (auto& u : updates) received_.push_back(std::move(u));
}

bool WorkedLog::Merge(size_t contacts, bool& changed) {
  while (!received_.empty()) {
    if (contacts == 0) return true;
    FolderUpdate& u = received_.front();
    switch (u.kind) {
      case FolderUpdate::Kind::Replace:
      case FolderUpdate::Kind::PaneRead: {
        const bool pane = u.kind == FolderUpdate::Kind::PaneRead;
        if (pane && (!pane_pending_ || u.pane != pane_)) {
          if (staged_ > 0) index_.Unstage(WorkedIndex::kPane);
          break;  // a reading of an older hand-over
        }
        const std::wstring& source = pane ? std::wstring(WorkedIndex::kPane) : u.source;
        const size_t total = u.reading.records.size();
        const size_t take = std::min(total - staged_, contacts);
        index_.Stage(source, u.reading, staged_, staged_ + take);
        staged_ += take;
        contacts -= take;
        changed = true;
        if (staged_ < total) return true;
        index_.StageOddLines(source, u.reading);
        if (pane) {
          index_.Stage(source, tail_, 0, tail_.records.size());
          index_.StageOddLines(source, tail_);
          tail_ = SourceReading();
          pane_pending_ = false;
        }
        index_.Commit(source);
        break;
      }
      case FolderUpdate::Kind::Remove:
        if (u.source != WorkedIndex::kPane && index_.Has(u.source)) {
          index_.Remove(u.source);
          changed = true;
        }
        break;
      case FolderUpdate::Kind::FolderRead: {
        std::sort(u.sources.begin(), u.sources.end());
        for (const auto& source : index_.SourceNames()) {
          if (source != WorkedIndex::kPane && !std::binary_search(u.sources.begin(), u.sources.end(), source)) {
            index_.Remove(source);
            changed = true;
          }
        }
        not_read_ = std::move(u.not_read);
        // Whole from now on, even when nothing in it changed: hints and the summary wait for this.
        if (!folder_read_) changed = true;
        folder_read_ = true;
        break;
      }
      case FolderUpdate::Kind::Confirmations:
        index_.SetConfirmations(u.confirmations);
        changed = true;
        break;
    }
    staged_ = 0;
    received_.pop_front();
  }
  return false;
}

bool WorkedLog::Apply(std::vector<FolderUpdate> updates) {
  Receive(std::move(updates));
  bool changed = false;
  Merge(SIZE_MAX, changed);
  return changed;
}

WorkedSummary WorkedLog::Summary() const {
  WorkedSummary summary = Summarize(index_);
  for (const auto& path : not_read_) summary.files_not_read.push_back(base::NameOf(path));
  return summary;
}

}  // namespace zelmor::worked
