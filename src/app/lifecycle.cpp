#include "app/lifecycle.h"

#include <exception>

#include "app/geometry.h"
#include "base/resource.h"
#include "base/texts.h"
#include "entry/log_format.h"
#include "settings/keys.h"

namespace zelmor::app {

void Lifecycle::Start(const Version& version) {
  // Leftovers of a settings write that a crash interrupted; the file itself is always whole.
  p_.files.RemoveLeftovers(p_.settings_path);
  try {
    p_.state.log_unsaved = false;
    p_.state.edit_mode = false;
    p_.view.HideEditModeMenus();
    p_.view.SetCaption(LoadText(IDS_CAPTION_PREFIX) + FormatVersion(version.major, version.minor, version.revision));
    RestoreGeometry();
    LoadTemplate();
    p_.feed.SetUp();
  } catch (const std::exception&) {
    // Start-up never stops the logger: it then runs without the feed until an entry finds it.
    p_.feed.CloseAll();
  }
  p_.view.Show();
  p_.safety_copy.OfferEarlierCopy(p_.boxes, p_.pane, p_.state);
  p_.view.FocusEntryBox();
}

void Lifecycle::RestoreGeometry() {
  struct Key {
    const wchar_t* name;
    float fallback;
    void (MainView::*apply)(float);
  };
  static const Key kKeys[] = {
      {settings::kTopKey, kDefaultTop, &MainView::SetTop},
      {settings::kLeftKey, kDefaultLeft, &MainView::SetLeft},
      {settings::kWidthKey, kDefaultWidth, &MainView::SetWidth},
      {settings::kHeightKey, kDefaultHeight, &MainView::SetHeight},
  };
  p_.profile.CurrentSection = settings::kPositionSection;
  for (const auto& key : kKeys) {
    std::wstring value;
    p_.profile.ProfileRead(key.name, value);
    // A value that is not a number counts as missing: one bad key must not cost the template
    // and the feed of the whole run.
    std::optional<int32_t> twips;
    if (value != settings::kPositionSection) twips = ParseTwips(value);
    (p_.view.*key.apply)(twips ? static_cast<float>(*twips) : key.fallback);
  }
  p_.view.KeepOnScreen();
}

void Lifecycle::LoadTemplate() {
  p_.profile.CurrentSection = settings::kMainSection;
  p_.profile.ProfileRead(settings::kTemplateKey, p_.state.template_text);
  if (p_.state.template_text == settings::kMainSection) p_.state.template_text = entry::kDefaultTemplate;
}

bool Lifecycle::ConfirmClose() {
  if (!p_.state.log_unsaved) return true;
  return p_.boxes.Show(LoadText(IDS_CLOSE_QUESTION), LoadText(IDS_APP_TITLE), MessageButtons::YesNo,
                       MessageIcon::Question) == MessageAnswer::Yes;
}

void Lifecycle::Close() {
  if (closed_) return;
  closed_ = true;
  p_.view.EndEditModeWatch();
  p_.profile.CurrentSection = settings::kPositionSection;
  p_.profile.ProfileWrite(settings::kTopKey, FormatTwips(p_.view.Top()));
  p_.profile.ProfileWrite(settings::kLeftKey, FormatTwips(p_.view.Left()));
  p_.profile.ProfileWrite(settings::kWidthKey, FormatTwips(p_.view.Width()));
  p_.profile.ProfileWrite(settings::kHeightKey, FormatTwips(p_.view.Height()));
  p_.feed.CloseAll();
  p_.view.CloseTemplateWindow();
  p_.safety_copy.MarkClosedNormally();
}

}  // namespace zelmor::app
