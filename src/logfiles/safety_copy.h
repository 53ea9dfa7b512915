#pragma once
// The safety copy: the log pane written beside the program after every entry, so that a crash, a
// kill or a power loss before a save loses nothing the pane showed; and, at the next start, the
// offer to load back what an earlier run left there unsaved.

#include <cstdint>
#include <string>

#include "base/clock.h"
#include "base/main_state.h"
#include "base/message_boxes.h"
#include "entry/entry_box.h"
#include "entry/log_pane.h"
#include "logfiles/text_files.h"
#include "settings/profile.h"

namespace zelmor::logfiles {

inline constexpr wchar_t kSafetyCopyName[] = L"Zelmor_temp.txt";
// Where an earlier run's copy goes when the operator does not load it back.
inline constexpr wchar_t kSetAsideName[] = L"Zelmor_temp.bak";

// The name an older set-aside copy moves to when a newer one takes kSetAsideName: the moment it
// was moved, "Zelmor_temp-20261207-1449.bak", and "-2", "-3" ... after it when that name is taken.
std::wstring DatedSetAsideName(const LocalTime& when, int attempt);

class SafetyCopy : public entry::SafetyCopyWriter, public entry::PaneTextWatcher {
 public:
  // `folder` is the program's folder, without a trailing backslash.
  SafetyCopy(TextFiles& files, settings::Profile& profile, Clock& clock, std::wstring folder);

  const std::wstring& path() const { return path_; }

  // The end of start-up. When the previous run did not close normally and its copy holds text,
  // asks whether to load it (Yes: into the pane, marked unsaved; No: the copy is set aside). Then
  // marks this run as running. A copy that can neither be offered (another program holds it) nor
  // set aside stays in the way, and goes aside before this run writes a copy of its own.
  void OfferEarlierCopy(MessageBoxes& messages, entry::LogPane& pane, MainState& state);

  // After `appended` went onto the end of the pane: replaces the copy with the pane's text and
  // one CR LF. The text written last is kept and the new lines added to it; the pane is read back
  // whole only when something other than an append changed it. False when the copy could not be
  // replaced; the previous copy then stays whole. Reads no settings: the run's mark is known.
  bool Write(entry::LogPane& pane, const std::wstring& appended) override;

  // A log the program loads into the pane (LOG Open, the viewer, the recovery) is converted while
  // it loads: the next entry then neither reads a long log back from the pane nor converts it,
  // about 35 ms at 100,000 lines under Wine. Nothing is written until that entry.
  void OnPaneTextSet(const std::wstring& text, uint64_t replacements) override;

  // The regular close: the next start has nothing to offer back.
  void MarkClosedNormally();

 private:
  // Moves an earlier run's copy to kSetAsideName, never over an earlier set-aside copy (that one
  // moves to a dated name first). True when nothing of it is in the way any more.
  bool SetEarlierCopyAside();
  // The mark of OfferEarlierCopy is lost when the settings file refused it (a full disk, a
  // read-only folder); once a copy can be written, the run is marked again, so that a crash still
  // has that copy offered back rather than overwritten.
  void KeepMarkedRunning();

  TextFiles& files_;
  settings::Profile& profile_;
  Clock& clock_;
  std::wstring folder_;
  std::wstring path_;
  bool earlier_copy_in_the_way_ = false;
  // The settings file holds this run's running mark, as far as this run's writes tell: an entry
  // need not read the file to know.
  bool marked_running_ = false;

  // The copy's bytes are the pane's text and one CR LF, as written last. An entry's lines go in
  // before that CR LF, so that a long log is neither read back, copied nor converted again for
  // each entry; only the operator's edits (or a text the pane did not take whole) make the copy
  // read the pane back at the next entry.
  bool Add(const std::wstring& appended);
  bool ReadPaneBack(entry::LogPane& pane);
  bool Know(const std::wstring& text, uint64_t replacements);

  bool known_ = false;
  std::string copy_bytes_;
  size_t line_end_bytes_ = 0;
  size_t known_length_ = 0;  // the pane's length in characters, as the copy knows it
  uint64_t known_replacements_ = 0;
};

}  // namespace zelmor::logfiles
