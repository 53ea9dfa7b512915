#pragma once
// What the template settings window decides: the box drives the template at every change, and
// the settings file receives the template at every close.

#include <string>

#include "base/main_state.h"
#include "settings/profile.h"

namespace zelmor::template_window {

class TemplateEditor {
 public:
  TemplateEditor(MainState& state, settings::Profile& profile) : state_(state), profile_(profile) {}

  // What the box shows when the window opens.
  const std::wstring& Template() const { return state_.template_text; }
  // Every change of the box, the text set when the window opens included: the next entry in the
  // main window uses the template as it stands now. The box keeps its spaces.
  void OnTextChanged(const std::wstring& box_text);
  // Every close, changed or not: "LOGdat" in section "Zelmor" receives the trimmed box text.
  void OnClose(const std::wstring& box_text);

 private:
  MainState& state_;
  settings::Profile& profile_;
};

}  // namespace zelmor::template_window
