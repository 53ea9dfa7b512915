#pragma once
// The state that the main window owns and its subsystems share for the whole run.

#include <string>

namespace zelmor {

struct MainState {
  // Lines were added to the log since start-up or since the last successful save; closing asks.
  bool log_unsaved = false;
  bool edit_mode = false;
  // The log-line template every entry is composed with; the template window edits it.
  std::wstring template_text;
};

}  // namespace zelmor
