#include "logfiles/recovery.h"

#include "app/resource.h"
#include "logfiles/log_text.h"
#include "settings/keys.h"

namespace zelmor::logfiles {
namespace {

constexpr wchar_t kRunning[] = L"1";
constexpr wchar_t kClosed[] = L"0";

}  // namespace

void OfferRecovery(RecoveryContext& c) {
  c.profile.CurrentSection = settings::kMainSection;
  std::wstring mark;
  c.profile.ProfileRead(settings::kRunningKey, mark);
  std::wstring text;
  if (mark == kRunning && c.files.Read(c.temp_log_path, text) && !text.empty()) {
    const MessageAnswer answer = c.messages.Show(LoadText(IDS_RECOVERY_QUESTION), LoadText(IDS_APP_TITLE),
                                                 MessageButtons::YesNo, MessageIcon::Question);
    if (answer == MessageAnswer::Yes) {
      c.pane.SetText(PaneTextFromFile(text));
      c.pane.CaretToEnd();
      // Those entries were never saved.
      c.state.unsaved_log = 1;
    } else {
      c.files.Rename(c.temp_log_path, c.backup_path);
    }
  }
  c.profile.CurrentSection = settings::kMainSection;
  c.profile.ProfileWrite(settings::kRunningKey, kRunning);
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
