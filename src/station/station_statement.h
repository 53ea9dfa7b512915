#pragma once
// The station line a log needs: the operator's station stated in the log before the contacts made
// from it, so that each contact keeps its station wherever the log goes (log_format.h).

#include <cstdint>
#include <optional>
#include <string>

#include "entry/entry_box.h"
#include "entry/log_format.h"
#include "entry/log_pane.h"

namespace zelmor::station {

// The station the operator set, kept by a layer above the entry box.
class StationSource {
 public:
  virtual ~StationSource() = default;
  // The station in force, or nothing when the operator never set one.
  virtual std::optional<entry::StationLine> StationInForce() const = 0;
};

// Whether the pane, as it stands, holds the station in force above the place of the next entry.
// Appends of this run keep it; anything else that changes the pane (a log opened, the safety copy
// viewed or recovered, an edit of the operator's) may have taken it away or put another station
// there, so the next entry states it again. Stating it once too often costs one line; once too
// few would give the contacts after it another station.
class StationStatement : public entry::LineBeforeEntry {
 public:
  explicit StationStatement(const StationSource& source) : source_(source) {}

  // The line (with its line end, and a line end before it when the pane's last line is open) that
  // must come before an entry appended to `pane` now; nothing when none is due or no station is set.
  std::optional<std::wstring> Due(entry::LogPane& pane) const override;
  // The line for the station in force, to append now whatever was stated before (the operator
  // has just set it); nothing when no station is set.
  std::optional<std::wstring> Line(entry::LogPane& pane) const;
  // `pane` now ends with the station in force's line.
  void Stated(entry::LogPane& pane) override { stated_at_ = pane.Replacements(); }

 private:
  const StationSource& source_;
  // The pane's count of replacements when the station was last stated in it.
  std::optional<uint64_t> stated_at_;
};

}  // namespace zelmor::station
