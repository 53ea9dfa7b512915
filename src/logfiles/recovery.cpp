#include "logfiles/recovery.h"

#include "app/resource.h"
#include "logfiles/log_text.h"
#include "settings/keys.h"

namespace zelmor::logfiles {
namespace {

constexpr wchar_t kRunning[] = L"1";
constexpr wchar_t kClosed[] = L"0";

}  // namespace

bool OfferRecovery(RecoveryContext& c) {
  c.profile.CurrentSection = settings::kMainSection;
  std::wstring mark;
  c.profile.ProfileRead(settings::kRunningKey, mark);
  bool in_the_way = false;
  std::wstring text;
  if (mark == kRunning && !c.files.Read(c.temp_log_path, text)) {
    // There but unreadable for now: it cannot be offered, and must not be overwritten either.
    in_the_way = c.files.Exists(c.temp_log_path);
  } else if (mark == kRunning && !text.empty()) {
    const MessageAnswer answer = c.messages.Show(LoadText(IDS_RECOVERY_QUESTION), LoadText(IDS_APP_TITLE),
                                                 MessageButtons::YesNo, MessageIcon::Question);
    if (answer == MessageAnswer::Yes) {
      c.pane.SetText(PaneTextFromFile(text));
      c.pane.CaretToEnd();
      // Those entries were never saved.
      c.state.unsaved_log = 1;
    } else {
      in_the_way = !SetEarlierCopyAside(c.files, c.temp_log_path, c.backup_path);
    }
  }
  c.profile.CurrentSection = settings::kMainSection;
  c.profile.ProfileWrite(settings::kRunningKey, kRunning);
  return in_the_way;
}

bool SetEarlierCopyAside(TextFiles& files, const std::wstring& temp_log_path, const std::wstring& backup_path) {
  return !files.Exists(temp_log_path) || files.Rename(temp_log_path, backup_path);
}

void KeepMarkedRunning(settings::Profile& profile) {
  profile.CurrentSection = settings::kMainSection;
  std::wstring mark;
  profile.ProfileRead(settings::kRunningKey, mark);
  if (mark == kRunning) return;
  profile.CurrentSection = settings::kMainSection;
  profile.ProfileWrite(settings::kRunningKey, kRunning);
}

void MarkClosedNormally(settings::Profile& profile) {
  profile.CurrentSection = settings::kMainSection;
  profile.ProfileWrite(settings::kRunningKey, kClosed);
}

}  // namespace zelmor::logfiles
