#pragma once
// The window's thread's side of the worked-before index: the index itself, kept current from what
// the folder watcher (log_folder_watcher_win.h) sends and from the line of each Enter.
//
// What the reader sends is merged in slices of a few thousand contacts (a millisecond or two), so
// that the window's thread can take a key between two of them however much came at once.
//
// The pane is read off the thread when it is replaced whole (LOG Open, the recovery), and its
// reading comes back later; the lines entered meanwhile go into the index at once and are put
// after that reading when it arrives. A reading of an older hand-over is dropped.

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "base/time_zone.h"
#include "confirmations/confirmation.h"
#include "worked/worked_index.h"
#include "worked/worked_source.h"
#include "worked/worked_summary.h"

namespace zelmor::worked {

// What the folder watcher hands to the window's thread, applied in order.
struct FolderUpdate {
  enum class Kind {
    Replace,     // a file read (again): `source`, `reading`
    Remove,      // a file gone: `source`
    PaneRead,    // the pane's text of hand-over `pane`, read: `reading`
    FolderRead,  // the folder read whole: `sources` (every log file it has now), `not_read`
    Confirmations,  // the kept file of LoTW's confirmations read (again): `confirmations`
  };
  Kind kind = Kind::Replace;
  std::wstring source;
  SourceReading reading;
  uint64_t pane = 0;
  std::vector<std::wstring> sources;
  std::vector<std::wstring> not_read;  // paths of files that could not be read (locked, too large)
  std::vector<confirmations::Confirmation> confirmations;
};

class WorkedLog {
 public:
  // `zone` converts the log's local times to UTC for LoTW's confirmations (WorkedIndex).
  explicit WorkedLog(LineReading reading = {}, contact::SatelliteNames names = {}, const TimeZoneRules* zone = nullptr)
      : reading_(std::move(reading)), index_(std::move(names), zone) {}

  // How lines are read from now on (the template or the locale changed): the sources must be
  // read again, by the caller.
  void SetReading(LineReading reading) { reading_ = std::move(reading); }
  const LineReading& reading() const { return reading_; }

  // The pane's text goes to the reader as hand-over number <result>.
  uint64_t PaneHandedOver();
  // The line an Enter appended to the pane: about one reading of a line, some microseconds.
  void LineAdded(const std::wstring& line);
  // A new folder is being read: it counts as read once the reader says so.
  void FolderWatchStarted() { folder_read_ = false; }

  // What the reader sent, to be merged in order by Merge.
  void Receive(std::vector<FolderUpdate> updates);
  // Merges what was received until about `contacts` contacts went in; true when something is left
  // for another call. `changed` is set when the index changed.
  bool Merge(size_t contacts, bool& changed);
  // Receives and merges it all; true when the index changed.
  bool Apply(std::vector<FolderUpdate> updates);

  const WorkedIndex& index() const { return index_; }
  bool folder_read() const { return folder_read_; }
  bool pane_pending() const { return pane_pending_; }
  uint64_t pane_number() const { return pane_; }
  WorkedSummary Summary() const;

 private:
  LineReading reading_;
  WorkedIndex index_;
  uint64_t pane_ = 0;
  bool pane_pending_ = false;
  SourceReading tail_;  // lines entered since the pending hand-over
  std::deque<FolderUpdate> received_;
  size_t staged_ = 0;  // contacts of the first received update staged so far
  bool folder_read_ = false;
  std::vector<std::wstring> not_read_;
};

}  // namespace zelmor::worked
