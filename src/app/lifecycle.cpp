#include "app/lifecycle.h"

#include <exception>

#include "app/geometry.h"
#include "base/resource.h"
#include "base/texts.h"
#include "entry/log_format.h"
#include "settings/keys.h"
#include "settings/window_geometry.h"

namespace zelmor::app {

void Lifecycle::Start(const Version& version) {
  // Leftovers of a settings write that a crash interrupted; the file itself is always whole.
  p_.files.RemoveLeftovers(p_.settings_path);
  try {
    p_.state.log_unsaved = false;
    p_.state.edit_mode = false;
    p_.view.HideEditModeMenus();
    p_.view.SetCaption(LoadText(IDS_CAPTION_PREFIX) + FormatVersion(version.major, version.minor, version.revision));
    p_.view.Place(settings::ReadWindowPlacement(p_.profile));
    LoadTemplate();
  } catch (const std::exception&) {
    // Start-up never stops the logger: what could not be read stays at its default.
  }
  p_.view.Show();
  p_.safety_copy.OfferEarlierCopy(p_.boxes, p_.pane, p_.state);
  p_.view.FocusEntryBox();
  // Last: nothing the operator sees waits for the tracking programs to answer. An entry made
  // before the set-up has ended waits for it (entry/feed.h).
  p_.feed.BeginSetUp();
}

void Lifecycle::LoadTemplate() {
  p_.state.template_text =
      p_.profile.ProfileRead(settings::kMainSection, settings::kTemplateKey).value_or(entry::kDefaultTemplate);
}

bool Lifecycle::ConfirmClose(CloseRequest request) {
  const auto ask = [&](int question) {
    return p_.boxes.Show(LoadText(question), LoadText(IDS_APP_TITLE), MessageButtons::YesNo, MessageIcon::Question) ==
           MessageAnswer::Yes;
  };
  // The log's question comes first, as it always has; the upload's is a second one.
  if (p_.state.log_unsaved && !ask(IDS_CLOSE_QUESTION)) return false;
  if (p_.tqsl.Running()) {
    return ask(request == CloseRequest::EndSession ? IDS_LOTW_END_SESSION_QUESTION : IDS_LOTW_CLOSE_QUESTION);
  }
  return true;
}

void Lifecycle::Close() {
  if (closed_) return;
  closed_ = true;
  p_.view.EndEditModeWatch();
  settings::WriteWindowPlacement(p_.profile, p_.view.Placement());
  p_.feed.CloseAll();
  p_.view.CloseTemplateWindow();
  p_.safety_copy.MarkClosedNormally();
}

}  // namespace zelmor::app
