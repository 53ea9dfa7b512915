#pragma once
// After a crash, a kill or a power loss the safety copy holds the log that was never saved. The
// first entry of the next run would overwrite it, so start-up offers it back before anything else.

#include <string>

#include "app/ports.h"
#include "settings/profile.h"

namespace zelmor::logfiles {

inline constexpr wchar_t kTempLogBackupName[] = L"Zelmor_temp.bak";

struct RecoveryContext {
  MainState& state;
  settings::Profile& profile;
  TextFiles& files;
  MessageBoxes& messages;
  LogPane& pane;
  std::wstring temp_log_path;
  std::wstring backup_path;
};

// The end of start-up: when the previous run did not close normally and its safety copy holds
// text, asks whether to load it (Yes: into the pane, marked unsaved; No: the copy is kept as the
// backup file). Then marks this run as running.
// True when the earlier run's copy stays where this run writes its own: it could not be read to be
// offered (another program holds it), or not be set aside after a No. The caller then sets it
// aside with SetEarlierCopyAside before writing a copy of its own.
bool OfferRecovery(RecoveryContext& context);

// Moves an earlier run's safety copy to the backup file; true when nothing of it is in the way.
bool SetEarlierCopyAside(TextFiles& files, const std::wstring& temp_log_path, const std::wstring& backup_path);

// After each write of the safety copy. The mark of OfferRecovery is lost when the settings file
// refused it (a full disk, a read-only folder); once the copy can be written, the run is marked
// again, so that a crash still has that copy offered back rather than overwritten.
void KeepMarkedRunning(settings::Profile& profile);

// The regular close: the next start has nothing to recover.
void MarkClosedNormally(settings::Profile& profile);

}  // namespace zelmor::logfiles
