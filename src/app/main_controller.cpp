#include "app/main_controller.h"

#include "app/resource.h"
#include "app/startup.h"
#include "settings/keys.h"

namespace zelmor::app {

void MainController::Form_Load(const Version& version) {
  try {
    state_.unsaved_log = 0;
    state_.edit_mode = 0;
    view_.HideEditModeMenus();
    view_.SetCaption(LoadText(IDS_CAPTION_PREFIX) +
                     FormatVersion(version.major, version.minor, version.revision));
    RestoreGeometry();
    LoadTemplate();
    feed_.SetUp();
  } catch (...) {
    // Start-up never stops the logger: it then runs without the feed.
    feed_.CloseAll();
  }
}

void MainController::RestoreGeometry() {
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
  profile_.CurrentSection = settings::kPositionSection;
  for (const auto& key : kKeys) {
    std::wstring value;
    profile_.ProfileRead(key.name, value);
    // A value that is not a number counts as missing: one bad key must not cost the template
    // and the feed of the whole run.
    std::optional<int32_t> twips;
    if (value != settings::kPositionSection) twips = ParseTwips(value);
    (view_.*key.apply)(twips ? static_cast<float>(*twips) : key.fallback);
  }
}

void MainController::LoadTemplate() {
  profile_.CurrentSection = settings::kMainSection;
  profile_.ProfileRead(settings::kTemplateKey, state_.TemplateText);
  if (state_.TemplateText == settings::kMainSection) state_.TemplateText = settings::kDefaultTemplate;
}

bool MainController::Form_QueryUnload() {
  if (state_.unsaved_log != 1) return false;
  return boxes_.Show(LoadText(IDS_CLOSE_QUESTION), LoadText(IDS_APP_TITLE), MessageButtons::YesNo,
                     MessageIcon::Question) == MessageAnswer::No;
}

void MainController::Form_Unload() {
  view_.RestoreOwnWindowProcedure();
  profile_.CurrentSection = settings::kPositionSection;
  profile_.ProfileWrite(settings::kTopKey, FormatTwips(view_.Top()));
  profile_.ProfileWrite(settings::kLeftKey, FormatTwips(view_.Left()));
  profile_.ProfileWrite(settings::kWidthKey, FormatTwips(view_.Width()));
  profile_.ProfileWrite(settings::kHeightKey, FormatTwips(view_.Height()));
  feed_.CloseAll();
  view_.CloseTemplateWindow();
}

}  // namespace zelmor::app
