#pragma once
// The tracking-program simulator: what it serves, and the two ways it serves it over DDE.

#include <windows.h>
#include <dde.h>
#include <ddeml.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "window/base_window_win.h"

namespace tracker_sim {

inline constexpr int kItemCount = 5;

// The tracking program it stands in for.
enum class Program { kCsatmate, kSatPc32, kOrbitron };

// A program's DDE names and the window that stands for it.
struct ProgramNames {
  const wchar_t* service;
  const wchar_t* topic;
  int item_count;
  const wchar_t* items[kItemCount];  // in the order the display lists them
  const wchar_t* window_class;
  const wchar_t* caption;
};
const ProgramNames& NamesOf(Program program);

struct Options {
  Program program = Program::kCsatmate;
  bool decimal_comma = false;  // SatPC32's AZ, EL and MA written with a decimal comma
  std::wstring values_file;   // empty: simulate a pass
  std::wstring hang_file;     // empty: never
  long long hang_after = -1;  // negative: never
  bool ddeml = false;
  bool ack_request = false;
  bool crlf = false;
  // Where the window's top-left corner goes, in pixels; CW_USEDEFAULT: where Windows puts it.
  int left = CW_USEDEFAULT;
  int top = CW_USEDEFAULT;
};

// Why it could not start, as one line on its standard error for whoever started it ("making the
// window: error 1400"); nothing when it has no standard error.
void ReportFailure(const char* step, unsigned long error);

// Parses the command line (without the program name); false on anything it does not know.
bool ParseOptions(int argc, wchar_t** argv, Options& options);

// "435640120" -> "435.640.120", the way tracking programs write hertz.
std::wstring GroupedHertz(std::uint64_t hertz);

// The five values of a simulated pass, elapsed_ms after the simulator started.
std::array<std::wstring, kItemCount> SimulatedValues(std::uint64_t elapsed_ms);
// The same moment as the program's items give it: CSATmate's five values, SatPC32's one text,
// Orbitron's TrackingDataEx and TrackingData.
std::array<std::wstring, kItemCount> SimulatedItems(const Options& options, std::uint64_t elapsed_ms);

// A values file's text: UTF-8 (with or without a byte-order mark) when it is valid UTF-8,
// otherwise the ANSI code page.
std::wstring DecodeTextFile(const std::string& bytes);
// "item=value" lines; item names compare as DDE atoms do, without regard to case.
std::map<std::wstring, std::wstring> ParseValues(const std::wstring& text);

// Answers requests, the same for both servers.
class Tracker {
 public:
  explicit Tracker(Options options);

  const Options& options() const { return options_; }
  // Called at each request before it is answered: hangs (stops pumping) when the options say so.
  void HangIfAsked();
  // The CF_TEXT bytes (with the closing NUL) for an item, or false to refuse the request.
  bool Answer(const std::wstring& item, std::string& cf_text);

  // What the window shows: the values served last (or, when simulating, the current ones).
  std::array<std::wstring, kItemCount> Shown();
  std::uint64_t answered() const { return answered_; }

 private:
  bool Lookup(int index, std::wstring& value);

  Options options_;
  ULONGLONG started_ = GetTickCount64();
  std::uint64_t answered_ = 0;
  std::uint64_t requests_ = 0;
  std::array<std::uint64_t, kItemCount> answers_per_item_{};
  std::array<std::wstring, kItemCount> last_served_;
};

// The DDE server on the raw messages: the main window answers the initiate broadcast, and each
// conversation gets a window of its own.
class RawServer {
 public:
  RawServer(Tracker& tracker, HWND main_window);
  ~RawServer();
  RawServer(const RawServer&) = delete;
  RawServer& operator=(const RawServer&) = delete;

  // The main window's WM_DDE_INITIATE.
  void OnInitiate(HWND client, LPARAM lparam);
  // Ends every conversation (the simulator is closing).
  void TerminateAll();

 private:
  class Conversation;
  LRESULT OnConversationMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  void OnRequest(HWND conversation, HWND client, LPARAM lparam);

  Tracker& tracker_;
  HWND main_window_;
  std::map<HWND, HWND> conversations_;  // our window -> the client's
};

// The DDE server built with DDEML, as many Windows programs are; for checking the client
// against Wine's DDEML behaviour.
class DdemlServer {
 public:
  explicit DdemlServer(Tracker& tracker);
  ~DdemlServer();
  DdemlServer(const DdemlServer&) = delete;
  DdemlServer& operator=(const DdemlServer&) = delete;
  bool ok() const { return service_ != nullptr; }

 private:
  static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conversation, HSZ topic, HSZ item,
                                    HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);

  Tracker& tracker_;
  DWORD instance_ = 0;
  HSZ service_ = nullptr;
  HSZ topic_ = nullptr;
};

}  // namespace tracker_sim
