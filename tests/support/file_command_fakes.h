#pragma once
// A main window's worth of fakes behind one FileCommandContext, for the tests of File menu
// commands. A test fixture derives from it and makes its command from `context`.

#include <string>

#include "fakes.h"
#include "logfiles/file_command.h"
#include "memory_profile_store.h"
#include "settings/profile.h"

namespace zelmor::fakes {

struct FileCommandFakes {
  explicit FileCommandFakes(std::wstring executable_folder)
      : context{state, profile, dialogs, dialog_state, files, messages, pane, clock, locale, edit_mode,
                std::move(executable_folder)} {
    messages.journal = &journal;
  }
  FileCommandFakes(const FileCommandFakes&) = delete;
  FileCommandFakes& operator=(const FileCommandFakes&) = delete;

  // Every fake notes what happened in one journal, so that tests can check the order.
  Journal journal;
  MainState state;
  settings::MemoryProfileStore store;
  settings::Profile profile{store};
  FakeDialogs dialogs{journal};
  logfiles::FileDialogState dialog_state;
  FakeFiles files;
  FakeMessages messages;
  FakePane pane;
  FixedClock clock;
  FixedLocale locale;
  FakeEditModeSwitch edit_mode{state, journal};
  logfiles::FileCommandContext context;
};

}  // namespace zelmor::fakes
