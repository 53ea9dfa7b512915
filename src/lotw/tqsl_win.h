#pragma once
// TQSL on this machine: where it is (the registry and PATH, for FindTqsl), and running it as a
// child process for one upload at a time while the GUI goes on.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "lotw/tqsl_job.h"

namespace zelmor::lotw {

class Win32TqslPlaces : public TqslPlaces {
 public:
  bool FileExists(const std::wstring& path) override;
  // HKLM\Software\TrustedQSL, InstallPath: the registry view of this build first, then the other
  // (a 32-bit TQSL on 64-bit Windows writes under WOW6432Node).
  std::vector<std::wstring> InstallFolders() override;
  std::vector<std::wstring> PathFolders() override;
};

// Runs TQSL for one upload at a time. Its end is posted to a window, so the caller's message loop
// never waits for it: entries go on during an upload.
class TqslRunner {
 public:
  enum class Start { Started, Busy, Failed };

  TqslRunner();
  // TQSL is not stopped: an upload under way finishes on its own. Nothing is posted any more.
  ~TqslRunner();
  TqslRunner(const TqslRunner&) = delete;
  TqslRunner& operator=(const TqslRunner&) = delete;

  // Starts TQSL with UploadArguments(job.station_location, job.adif_path, passphrase), without a
  // console window, in the .adi's folder. Its stdout and stderr go to OutputPathFor(job.adif_path),
  // appended (a retry keeps the first run's lines); its stdin is empty. When it ends, `message` is
  // posted to `notify` with wParam = TQSL's exit code and lParam = 0; then call Finish.
  // Busy while an earlier run's result has not been taken; Failed when the output file or TQSL
  // could not be opened or started (last_error() has the Win32 error). The command line, which
  // holds the passphrase, is wiped once TQSL has it.
  Start Begin(const TqslJob& job, const Secret* passphrase, HWND notify, UINT message);

  // True from Begin until Finish takes the result, also between TQSL's end and the message.
  bool Running() const { return static_cast<bool>(process_); }

  // After the message: how the run ended (exit code, TQSL's last status line of this run, the .txt).
  // Nothing while TQSL still runs, or when no run waits: a message Finish answers with nothing
  // is stale and is ignored.
  std::optional<TqslOutcome> Finish();

  DWORD last_error() const { return last_error_; }

 private:
  struct Watch;
  void StopWatching();

  base::UniqueHandle process_;
  std::unique_ptr<Watch> watch_;
  std::wstring output_path_;
  LONGLONG output_start_ = 0;
  bool with_passphrase_ = false;
  DWORD last_error_ = ERROR_SUCCESS;
};

// TQSL's output as text: UTF-8 when the bytes are that, the ANSI code page otherwise.
std::wstring TqslText(const std::string& bytes);

}  // namespace zelmor::lotw
