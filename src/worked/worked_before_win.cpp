#include "worked/worked_before_win.h"

#include <exception>
#include <utility>

#include "base/resource.h"
#include "base/text.h"
#include "base/texts.h"
#include "settings/keys.h"
#include "settings/log_folder.h"
#include "worked/worked_hint.h"
#include "worked/worked_source.h"
#include "worked/worked_summary.h"

namespace zelmor::worked {
namespace {

constexpr wchar_t kClassName[] = L"ZelmorWorkedBefore";
constexpr UINT_PTR kLookTimer = 1;
constexpr UINT_PTR kWaitTimer = 2;
// At close, each thread is waited for this long; one stuck on a drive that does not answer or on
// a hung tracking program ends with the process.
constexpr DWORD kStopWaitMs = 500;

// The clock reading a reading began with is no difference in how lines read.
bool SameReading(const LineReading& a, const LineReading& b) {
  return a.template_text == b.template_text && a.formats.short_date == b.formats.short_date &&
         a.formats.time_separator == b.formats.time_separator && a.formats.decimal_mark == b.formats.decimal_mark;
}

}  // namespace

WorkedBefore::WorkedBefore(Wiring wiring)
    : p_(std::move(wiring)),
      settings_(ReadHintSettings(p_.profile)),
      // The operator's satellite spellings as the ADIF export reads them, taken once a run.
      keeper_(this, nullptr, contact::SatelliteNames(p_.profile.ProfileEntries(settings::kSatNamesSection))) {
  CreateMessageOnlyWindow(kClassName);
  satellite_ = std::make_unique<entry::SatelliteNow>(hwnd(), kSatelliteMessage, entry::SatelliteNow::kRequestTimeoutMs,
                                                      p_.trackers, p_.tracker_setting);
  if (settings_.hints) hint_.Create(p_.entry_box);
  p_.profile.set_watcher(this);
  // Start-up goes on once this part is made (the template is loaded, a crashed run's log offered
  // back); the index starts from the first message, when all that is done.
  PostUpdate();
  SetTimer(hwnd(), kLookTimer, kLookMs, nullptr);
}

WorkedBefore::~WorkedBefore() {
  p_.profile.set_watcher(nullptr);
  if (hwnd()) KillTimer(hwnd(), kLookTimer);
  keeper_.Stop(kStopWaitMs);
  satellite_->Stop(kStopWaitMs);
}

void WorkedBefore::OnEntryChanged() {
  dismissed_ = false;
  PostUpdate();
}

void WorkedBefore::OnEscape() {
  dismissed_ = true;
  memo_wants_hint_ = false;
  hint_.Hide();
}

void WorkedBefore::OnAnchorMoved() {
  if (hint_.shown()) PostUpdate();
}

void WorkedBefore::ShowSummary(HWND owner) {
  if (!indexing_) StartIndex();
  worked::ShowSummary(owner, p_.instance, *this);
}

void WorkedBefore::ConfirmationsChanged() {
  if (indexing_) keeper_.ConfirmationsChanged();
}

size_t WorkedBefore::MatchingContacts(const std::vector<confirmations::Confirmation>& confirmations) const {
  return keeper_.log().index().MatchingContacts(confirmations);
}

void WorkedBefore::OnLogAppended(const std::wstring& text) {
  logged_.push_back(text);
  PostUpdate();
}

void WorkedBefore::OnProfileWritten(const std::wstring& section, const std::wstring& key) {
  // Settings names match without regard to ASCII case, as the settings file's do.
  if (SameAsciiCaseless(section, settings::kMainSection) && SameAsciiCaseless(key, settings::kLogFolderKey)) {
    folder_written_ = true;
  }
}

void WorkedBefore::WorkedIndexChanged() {
  ++version_;
  PostUpdate();
}

bool WorkedBefore::IndexComplete() const {
  return keeper_.log().folder_read() && !keeper_.log().pane_pending() &&
         p_.pane.Replacements() == replacements_handed_;
}

bool WorkedBefore::SummaryComplete() { return indexing_ && IndexComplete(); }

SummarySource::Shown WorkedBefore::SummaryNow() {
  Shown shown;
  if (SummaryComplete()) {
    const WorkedSummary summary = keeper_.log().Summary();
    shown.text = worked::SummaryText(summary);
    shown.squares = SquaresOnMap(summary);
  } else {
    shown.text = LoadText(IDS_SUMMARY_READING);
  }
  if (p_.station && p_.station->Get()) {
    for (const std::wstring& grid : p_.station->Get()->grids) {
      const int square = GridNumber(grid);
      if (square >= 0) shown.squares.own.push_back(square);
    }
  }
  return shown;
}

void WorkedBefore::PostUpdate() {
  if (update_posted_ || !hwnd()) return;
  update_posted_ = PostMessageW(hwnd(), kUpdateMessage, 0, 0) != FALSE;
}

LRESULT WorkedBefore::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case kUpdateMessage:
      update_posted_ = false;
      Update();
      return 0;
    case kSatelliteMessage:
      while (auto answer = satellite_->TakeAnswer()) asking_.Answered(std::move(answer->satellite), Milliseconds());
      UpdateHint();
      return 0;
    case WM_TIMER:
      if (wparam == kLookTimer) Look();
      if (wparam == kWaitTimer) {
        KillTimer(hwnd(), kWaitTimer);
        UpdateHint();
      }
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}

void WorkedBefore::Update() {
  if (!indexing_ && settings_.hints) StartIndex();
  // Before the index starts, the pane it is handed holds these lines already.
  if (indexing_) {
    for (const auto& text : logged_) {
      for (const auto& line : IndexedLines(text)) keeper_.LineAdded(line);
    }
  }
  logged_.clear();
  UpdateHint();
}

void WorkedBefore::StartIndex() {
  indexing_ = true;
  logged_.clear();
  log_folder_ = settings::LogFolder(p_.profile, p_.program_folder);
  folder_written_ = false;
  keeper_.Watch(WatchSettings());
  reading_seen_ = keeper_.log().reading();
  HandPaneOver();
}

LogFolderWatcher::Settings WorkedBefore::WatchSettings() const {
  LogFolderWatcher::Settings settings;
  settings.folder = log_folder_;
  settings.reading = LineReading{p_.state.template_text, p_.locale.Formats(), p_.clock.Now()};
  settings.skipped = SkippedLogFiles(log_folder_, p_.program_folder, p_.safety_copy_name);
  return settings;
}

void WorkedBefore::HandPaneOver() {
  replacements_handed_ = replacements_seen_ = p_.pane.Replacements();
  keeper_.PaneReplaced(p_.pane.Text());
  ++version_;
}

void WorkedBefore::Look() {
  if (!indexing_) return;
  if (folder_written_) {
    folder_written_ = false;
    std::wstring folder = settings::LogFolder(p_.profile, p_.program_folder);
    if (folder != log_folder_) {
      log_folder_ = std::move(folder);
      keeper_.Watch(WatchSettings());
      ++version_;
    }
  }
  // The template changes key by key while the operator edits it: it is taken once it stands still.
  const LineReading now{p_.state.template_text, p_.locale.Formats(), {}};
  if (!SameReading(now, keeper_.log().reading())) {
    if (SameReading(now, reading_seen_)) {
      keeper_.Watch(WatchSettings());
      HandPaneOver();
    }
    reading_seen_ = now;
  }
  const uint64_t replacements = p_.pane.Replacements();
  if (replacements != replacements_handed_) {
    if (replacements == replacements_seen_) HandPaneOver();
    replacements_seen_ = replacements;
  }
}

void WorkedBefore::UpdateHint() {
  if (!hint_.hwnd()) return;
  try {
    const std::wstring memo = p_.entry.Text();
    if (dismissed_ || !WantsHint(memo)) {
      memo_wants_hint_ = false;
      KillTimer(hwnd(), kWaitTimer);
      hint_.Hide();
      return;
    }
    const uint64_t now = Milliseconds();
    if (!memo_wants_hint_) {
      asking_.MemoStarted(now);
      memo_wants_hint_ = true;
    }
    if (asking_.ShouldAsk(now)) {
      if (satellite_->Ask()) {
        asking_.Asked(now);
      } else {
        asking_.Answered(std::nullopt, now);
      }
    }
    // A hint of half an index would call a station new that is in a log not read yet; the index's
    // next change brings another update.
    if (!IndexComplete()) {
      hint_.Hide();
      return;
    }
    const SatelliteAsking::Satellite satellite = asking_.Now(now);
    if (satellite.state == SatelliteAsking::State::Waiting) {
      hint_.Hide();
      SetTimer(hwnd(), kWaitTimer, static_cast<UINT>(asking_.WaitEnds() > now ? asking_.WaitEnds() - now : 1), nullptr);
      return;
    }
    HintRequest request;
    request.memo = memo;
    request.satellite = satellite.name;
    request.now = p_.clock.Now();
    request.dupe_window_minutes = settings_.dupe_minutes;
    request.time_separator = p_.locale.Formats().time_separator;
    const Hint hint = WorkedHint(keeper_.log().index(), request);
    hint_.Show(hint.lines, hint.same_pass);
  } catch (const std::exception&) {
    // A hint that cannot be made is no entry lost: it is simply not shown.
    hint_.Hide();
  }
}

}  // namespace zelmor::worked
