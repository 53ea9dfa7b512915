#pragma once
// Sending the log to LoTW with TQSL, LoTW's own signing tool, in its batch mode: the command line,
// where TQSL is found, and what its exit code and last status line tell the operator.
//
// TQSL without -x (or -q) shows its errors in a window and still ends with 0, so the caller could
// not tell an upload from a failure: the upload always runs with -x. And 0 means only that LoTW
// queued the file for processing, not that it accepted the contacts; the message says so.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelmor::lotw {

inline constexpr wchar_t kTqslFileName[] = L"tqsl.exe";

// TQSL's exit codes that Zelmor tells apart. Its command-line help (trustedqsl 2.6.5) documents
// 0 to 11; later versions add 13 (busy), 14 (already uploaded) and 15 (wrong passphrase).
enum TqslExit : int {
  kTqslQueued = 0,
  kTqslCancelled = 1,
  kTqslRejected = 2,
  kTqslNothingNew = 8,
  kTqslSomeSkipped = 9,
  kTqslNoConnection = 11,
  kTqslWrongPassphrase = 15,
};

// A passphrase: held only here, wiped when it goes (also the buffer a move leaves behind).
class Secret {
 public:
  Secret() = default;
  // Copied straight from the caller's buffer, which the caller wipes.
  explicit Secret(std::wstring_view text) : text_(text) {}
  Secret(Secret&& other) noexcept;
  Secret& operator=(Secret&& other) noexcept;
  Secret(const Secret&) = delete;
  Secret& operator=(const Secret&) = delete;
  ~Secret() { Wipe(text_); }

  const std::wstring& text() const { return text_; }

  // Overwrites the characters in place before emptying the string, in a way the compiler keeps.
  static void Wipe(std::wstring& text);

 private:
  std::wstring text_;
};

// TQSL's arguments for signing `adif_path` with `station_location` and uploading it, in batch mode:
//   -x -d -u -a compliant -f update -l <Station Location> [-p <passphrase>] <file>
// -d skips the date-range dialog; "-a compliant" signs all but the contacts already uploaded or
// outside the certificate's dates; "-f update" takes the station of each contact from the file's
// STATION_CALLSIGN and MY_ fields rather than from the Station Location.
std::vector<std::wstring> UploadArguments(const std::wstring& station_location, const std::wstring& adif_path,
                                          const Secret* passphrase = nullptr);

// One argument written so that CommandLineToArgvW and the C runtime read it back exactly: as it is
// when it has no blank or quote and is not empty; otherwise in quotes, with each quote escaped and
// the backslashes before a quote (or before the closing quote) doubled.
std::wstring QuoteArgument(std::wstring_view argument);
// The whole command line: the program's path in quotes (the first argument is read by other rules:
// no escapes, so a path is only quoted), then each argument quoted as above.
std::wstring CommandLine(const std::wstring& program, const std::vector<std::wstring>& arguments);

// One upload: which TQSL, which Station Location, which file.
struct TqslJob {
  std::wstring tqsl;              // tqsl.exe, as FindTqsl found it
  std::wstring station_location;  // TQSL's Station Location
  std::wstring adif_path;         // the .adi to sign and upload
};

// The .adi an upload sends, named for the local time it was made: "Zelmor-lotw-261207-2105.adi".
// An upload in the same minute replaces it; TQSL's output of both stays in the one .txt.
std::wstring UploadFileName(int year, int month, int day, int hour, int minute);

// Where TQSL's output is kept: the .adi's path with ".txt" for its extension ("log.adi" ->
// "log.txt"; a name without extension gets ".txt" added).
std::wstring OutputPathFor(const std::wstring& adif_path);

// What the finder asks of the system.
class TqslPlaces {
 public:
  virtual ~TqslPlaces() = default;
  // An existing file (not a folder).
  virtual bool FileExists(const std::wstring& path) = 0;
  // The install folders TQSL's installer recorded (HKLM\Software\TrustedQSL, InstallPath): the
  // registry's native view first, then the other one (32-bit on 64-bit Windows, or back).
  virtual std::vector<std::wstring> InstallFolders() = 0;
  // The folders of PATH, in order.
  virtual std::vector<std::wstring> PathFolders() = 0;
};

// Finds tqsl.exe: the path the operator set in "Zelmor.ini" (a file, or a folder holding tqsl.exe),
// then TQSL's install folder from the registry, then PATH. The current folder is never searched:
// a tqsl.exe lying there would be run with the operator's certificate. Nothing when none has it.
std::optional<std::wstring> FindTqsl(const std::optional<std::wstring>& configured, TqslPlaces& places);

// The last line of TQSL's output that holds more than blanks, without its line end ("" when
// none). In batch mode TQSL ends with "<time> Final Status: <description> (<code>)".
std::string LastStatusLine(std::string_view output);

// How one run of TQSL ended.
struct TqslOutcome {
  int exit_code = 0;
  std::wstring status_line;  // TQSL's last status line, as it is
  std::wstring output_path;  // the .txt that holds all TQSL wrote
  bool with_passphrase = false;  // this run was given -p
};

// The code that decides: the exit code, except that an exit code of 0 under a last status line
// naming another final status ("Final Status: ... (2)") takes that one, so that a failure TQSL
// reports is never shown as an upload.
int DecidingCode(const TqslOutcome& outcome);

// True when the certificate's passphrase was wrong or missing and the operator has not been asked
// yet: ask in the passphrase box and run TQSL once more with it.
bool WantsPassphrase(const TqslOutcome& outcome);

// The operator's message for the outcome (Japanese, from the program's texts), naming the .txt.
std::wstring UploadMessage(const TqslOutcome& outcome);

}  // namespace zelmor::lotw
