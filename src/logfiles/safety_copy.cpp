#include "logfiles/safety_copy.h"

#include <cwchar>
#include <exception>
#include <optional>
#include <utility>

#include "base/paths.h"
#include "base/resource.h"
#include "base/texts.h"
#include "logfiles/log_text.h"
#include "settings/keys.h"

namespace zelmor::logfiles {
namespace {

constexpr wchar_t kRunning[] = L"1";
constexpr wchar_t kClosed[] = L"0";

// Enough for any number of crashes answered "No" within one minute.
constexpr int kDatedNameAttempts = 100;

}  // namespace

std::wstring DatedSetAsideName(const LocalTime& when, int attempt) {
  wchar_t name[64];
  std::swprintf(name, 64, L"Zelmor_temp-%04d%02d%02d-%02d%02d", when.year, when.month, when.day, when.hour,
                when.minute);
  std::wstring text = name;
  if (attempt > 1) text += L"-" + std::to_wstring(attempt);
  return text + L".bak";
}

SafetyCopy::SafetyCopy(TextFiles& files, settings::Profile& profile, Clock& clock, std::wstring folder)
    : files_(files),
      profile_(profile),
      clock_(clock),
      folder_(std::move(folder)),
      path_(base::JoinPath(folder_, kSafetyCopyName)) {}

void SafetyCopy::OfferEarlierCopy(MessageBoxes& messages, entry::LogPane& pane, MainState& state) {
  // Leftovers of a write that a crash interrupted; the copy itself is always whole.
  files_.RemoveLeftovers(path_);
  const bool crashed = profile_.ProfileRead(settings::kMainSection, settings::kRunningKey) == kRunning;
  std::wstring text;
  if (crashed && !files_.Read(path_, text)) {
    // There but unreadable for now: it cannot be offered, and must not be overwritten either.
    earlier_copy_in_the_way_ = files_.Exists(path_);
  } else if (crashed && !text.empty()) {
    const MessageAnswer answer = messages.Show(LoadText(IDS_RECOVERY_QUESTION), LoadText(IDS_APP_TITLE),
                                               MessageButtons::YesNo, MessageIcon::Question);
    if (answer == MessageAnswer::Yes) {
      pane.SetText(PaneTextFromFile(text));
      pane.CaretToEnd();
      // Those entries were never saved.
      state.log_unsaved = true;
    } else {
      earlier_copy_in_the_way_ = !SetEarlierCopyAside();
    }
  }
  marked_running_ = profile_.ProfileWrite(settings::kMainSection, settings::kRunningKey, kRunning);
}

bool SafetyCopy::Write(entry::LogPane& pane, const std::wstring& appended) {
  const bool follows = known_ && pane.Replacements() == known_replacements_ &&
                       known_length_ + appended.size() == pane.Length();
  if (!(follows && Add(appended)) && !ReadPaneBack(pane)) return false;
  // An earlier run's copy that start-up could neither offer back nor set aside goes aside before
  // this run replaces it; while it cannot, this run writes no copy and keeps its lines in the pane.
  if (earlier_copy_in_the_way_) {
    if (!SetEarlierCopyAside()) return false;
    earlier_copy_in_the_way_ = false;
  }
  if (!files_.ReplaceEncoded(path_, copy_bytes_)) return false;
  KeepMarkedRunning();
  return true;
}

bool SafetyCopy::Add(const std::wstring& appended) {
  const std::optional<std::string> added = files_.Encode(appended);
  if (!added) return false;
  copy_bytes_.insert(copy_bytes_.size() - line_end_bytes_, *added);
  known_length_ += appended.size();
  return true;
}

void SafetyCopy::OnPaneTextSet(const std::wstring& text, uint64_t replacements) {
  // The load itself must not fail for the copy's sake: a log that cannot be converted now (out of
  // memory) is read back at the next entry, whose failure takes the fallback path.
  try {
    Know(text, replacements);
  } catch (const std::exception&) {
    known_ = false;
  }
}

bool SafetyCopy::ReadPaneBack(entry::LogPane& pane) {
  const uint64_t replacements = pane.Replacements();
  return Know(pane.Text(), replacements);
}

bool SafetyCopy::Know(const std::wstring& text, uint64_t replacements) {
  known_ = false;
  std::optional<std::string> body = files_.Encode(text);
  const std::optional<std::string> line_end = files_.Encode(L"\r\n");
  if (!body || !line_end) return false;
  // Moved, not copied: a copy of the bytes cost 6 ms at 100,000 lines.
  copy_bytes_ = std::move(*body);
  copy_bytes_ += *line_end;
  line_end_bytes_ = line_end->size();
  known_length_ = text.size();
  known_replacements_ = replacements;
  known_ = true;
  return true;
}

void SafetyCopy::MarkClosedNormally() {
  profile_.ProfileWrite(settings::kMainSection, settings::kRunningKey, kClosed);
  marked_running_ = false;
}

bool SafetyCopy::SetEarlierCopyAside() {
  if (!files_.Exists(path_)) return true;
  const std::wstring set_aside = base::JoinPath(folder_, kSetAsideName);
  if (files_.Exists(set_aside)) {
    // The newest crashed run keeps the plain name; the one before it is kept too, under its date.
    const LocalTime now = clock_.Now();
    bool moved = false;
    for (int attempt = 1; attempt <= kDatedNameAttempts && !moved; ++attempt) {
      const std::wstring dated = base::JoinPath(folder_, DatedSetAsideName(now, attempt));
      moved = !files_.Exists(dated) && files_.Rename(set_aside, dated);
    }
    if (!moved) return false;
  }
  return files_.Rename(path_, set_aside);
}

void SafetyCopy::KeepMarkedRunning() {
  if (!marked_running_) marked_running_ = profile_.ProfileWrite(settings::kMainSection, settings::kRunningKey, kRunning);
}

}  // namespace zelmor::logfiles
