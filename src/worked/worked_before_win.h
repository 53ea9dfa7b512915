#pragma once
// Worked before, as the main window has it: the index of the operator's contacts (every log of
// the log folder and the pane), the hint next to the entry box while a memo is typed, and the
// summary "交信集計".
//
// Everything here runs on the window's thread, and never makes it wait: the folder is read by the
// index's reader threads (worked_log_win.h), the satellite is asked by a thread of its own
// (entry/satellite_now_win.h), and the work an entry or a key brings is done after it, from a
// message this part posts to itself.
//
// What it follows, and how:
//   - each Enter's lines, told by the entry box (entry::EntryListener);
//   - the pane replaced (LOG Open, the safety-copy viewer, the recovery) or edited by the operator,
//     seen by the pane's count of replacements, handed to the reader once it has stood still for
//     a moment (an edit comes key by key);
//   - the log folder, read from the settings at start-up and whenever a command stores another
//     (this part is the profile's watcher while it lives: LOG Open and LOG Save remember theirs);
//   - the template and the locale that lines are read with: when they change, everything is read
//     again.
//   - LoTW's confirmations kept in the log folder ("Zelmor-lotw-qsl.adi"), read by the folder's
//     reader with the logs, and again when the fetch has written them.
// With the hint turned off, nothing is read until the summary is first asked for.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/clock.h"
#include "base/main_state.h"
#include "confirmations/confirmation.h"
#include "entry/entry_box.h"
#include "entry/locale.h"
#include "entry/log_pane.h"
#include "entry/satellite_now_win.h"
#include "settings/profile.h"
#include "station/station_store.h"
#include "window/base_window_win.h"
#include "worked/hint_plan.h"
#include "worked/hint_window_win.h"
#include "worked/summary_dialog_win.h"
#include "worked/worked_log_win.h"

namespace zelmor::worked {

class WorkedBefore final : public window::Window,
                           public entry::EntryListener,
                           public settings::ProfileWatcher,
                           private WorkedLogListener,
                           private SummarySource {
 public:
  // What the part is wired to when the program starts: state, settings and services it shares.
  struct Wiring {
    MainState& state;
    settings::Profile& profile;
    entry::Locale& locale;
    entry::LogPane& pane;
    entry::EntryField& entry;
    Clock& clock;
    HINSTANCE instance;
    HWND entry_box;  // the hint stands next to it
    std::wstring program_folder;    // without a trailing backslash
    std::wstring safety_copy_name;  // left out of the log folder when that is the program's
    // The tracking programs the satellite is asked of, and which of them may be (null: CSATmate).
    std::shared_ptr<entry::TrackerSetMaker> trackers = nullptr;
    const entry::TrackerSetting* tracker_setting = nullptr;
    // The operator's station: its grids are marked on the summary's map (null: none marked).
    const station::CurrentStation* station = nullptr;
  };
  // Reads the hint's settings; the index starts once the window's thread takes its messages.
  explicit WorkedBefore(Wiring wiring);
  // Stops the reader and the asking thread without waiting long for either.
  ~WorkedBefore() override;

  // EN_CHANGE of the entry box.
  void OnEntryChanged();
  // Esc in the entry box: the hint goes until the text changes again.
  void OnEscape();
  // The main window moved or changed size: a hint shown follows the entry box.
  void OnAnchorMoved();
  // "交信集計(&G)": the summary over `owner`, until the operator closes it.
  void ShowSummary(HWND owner);
  // The kept file of LoTW's confirmations ("Zelmor-lotw-qsl.adi" in the log folder) was written:
  // it is read again now, off the thread, without waiting for the folder's watch.
  void ConfirmationsChanged();
  // How many of `confirmations` confirm a contact of the logs, as far as they are read (a fetch
  // comes long after start-up has read them); 0 before the index starts (hints off, summary not
  // yet asked for).
  size_t MatchingContacts(const std::vector<confirmations::Confirmation>& confirmations) const;

  // entry::EntryListener
  void OnLogAppended(const std::wstring& text) override;
  // settings::ProfileWatcher
  void OnProfileWritten(const std::wstring& section, const std::wstring& key) override;

  static constexpr UINT kUpdateMessage = WM_APP + 1;     // work an entry, a key or the index brought
  static constexpr UINT kSatelliteMessage = WM_APP + 2;  // the asking thread has an answer
  // How often the pane, the template and the locale are looked at: a change is taken once it has
  // stood still for one look.
  static constexpr UINT kLookMs = 300;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  // WorkedLogListener
  void WorkedIndexChanged() override;
  // SummarySource
  uint64_t SummaryVersion() override { return version_; }
  bool SummaryComplete() override;
  Shown SummaryNow() override;

  void PostUpdate();
  void Update();
  void Look();
  // Starts reading the folder and the pane, once.
  void StartIndex();
  LogFolderWatcher::Settings WatchSettings() const;
  void HandPaneOver();
  void UpdateHint();
  bool IndexComplete() const;
  uint64_t Milliseconds() const { return GetTickCount64(); }

  Wiring p_;
  HintSettings settings_;
  WorkedLogKeeper keeper_;
  HintWindow hint_;
  std::unique_ptr<entry::SatelliteNow> satellite_;  // made with this part's window
  SatelliteAsking asking_;

  bool indexing_ = false;
  std::wstring log_folder_;
  bool folder_written_ = false;
  LineReading reading_seen_;  // as the last look found it, to see that it stood still
  uint64_t replacements_handed_ = 0, replacements_seen_ = 0;
  std::vector<std::wstring> logged_;  // what entries appended, for the next update
  bool update_posted_ = false;

  bool memo_wants_hint_ = false;
  bool dismissed_ = false;
  uint64_t version_ = 1;  // of the index, as the summary sees it
};

}  // namespace zelmor::worked
