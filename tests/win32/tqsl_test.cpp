// TQSL on a Windows machine: the command line read back by Windows' own parser, TQSL found through
// the registry and PATH, the upload run against tqsl-sim.exe (copied as tqsl.exe) while a message
// loop goes on, and the passphrase box.

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/resource.h"
#include "files_win.h"
#include "lotw/passphrase_box_win.h"
#include "lotw/tqsl_win.h"
#include "modal_win.h"
#include "printable.h"
#include "processes_win.h"
#include "tqsl_sim_win.h"
#include "windows_win.h"

namespace zelmor::lotw {
namespace {

using test_support::TempFolder;
using test_support::TqslSim;
using test_support::Utf8;

// --- The command line ---------------------------------------------------------------------------

TEST(TqslCommandLineTest, WindowsReadsBackEveryArgument) {
  const std::wstring program = L"C:\\Program Files (x86)\\TrustedQSL\\tqsl.exe";
  const Secret passphrase(L"p\"a ss\\");
  const std::vector<std::wstring> rows[] = {
      UploadArguments(L"Home QTH", L"C:\\Logs\\Zelmor-lotw-261207.adi"),
      UploadArguments(L"東京 移動", L"C:\\ログ フォルダ\\Zelmor-lotw-261207.adi"),
      UploadArguments(L"JA1ABC/1", L"\\\\server\\share\\log.adi", &passphrase),
      {L"C:\\My Logs\\", L"", L"a\\\\\"b", L"tab\there", L"\\\"", L"\\\\"},
  };
  for (const auto& arguments : rows) {
    const std::wstring line = CommandLine(program, arguments);
    int count = 0;
    LPWSTR* read = CommandLineToArgvW(line.c_str(), &count);
    ASSERT_NE(read, nullptr);
    std::vector<std::wstring> back(read, read + count);
    LocalFree(read);
    ASSERT_FALSE(back.empty());
    EXPECT_EQ(back[0], program) << Utf8(line);
    back.erase(back.begin());
    EXPECT_EQ(back, arguments) << Utf8(line);
  }
}

// --- Finding TQSL ---------------------------------------------------------------------------------

// HKLM\Software\TrustedQSL in one registry view, removed again whatever the test's outcome.
class InstallKey {
 public:
  InstallKey(REGSAM view, const std::wstring& value, DWORD type = REG_SZ) : view_(view) {
    HKEY key = nullptr;
    ok_ = RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TrustedQSL", 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                          &key, nullptr) == ERROR_SUCCESS;
    if (!ok_) return;
    ok_ = RegSetValueExW(key, L"InstallPath", 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  ~InstallKey() { RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TrustedQSL", view_, 0); }
  bool ok() const { return ok_; }

 private:
  REGSAM view_;
  bool ok_ = false;
};

bool InstallKeyExists(REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TrustedQSL", 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

class TqslFinderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (InstallKeyExists(KEY_WOW64_64KEY) || InstallKeyExists(KEY_WOW64_32KEY)) {
      GTEST_SKIP() << "a TrustedQSL key is in this registry already; it is left alone";
    }
  }
};

TEST_F(TqslFinderTest, InstallFolderComesFromEitherRegistryView) {
  Win32TqslPlaces places;
  EXPECT_TRUE(places.InstallFolders().empty());
  {
    InstallKey native(KEY_WOW64_64KEY, L"C:\\TQSL64");
    ASSERT_TRUE(native.ok());
    EXPECT_EQ(places.InstallFolders(), std::vector<std::wstring>{L"C:\\TQSL64"});
    InstallKey wow(KEY_WOW64_32KEY, L"C:\\Program Files (x86)\\TrustedQSL");
    ASSERT_TRUE(wow.ok());
    const std::vector<std::wstring> both{L"C:\\TQSL64", L"C:\\Program Files (x86)\\TrustedQSL"};
    EXPECT_EQ(places.InstallFolders(), both) << "this build's own view first";
  }
  {
    InstallKey wow(KEY_WOW64_32KEY, L"C:\\Program Files (x86)\\TrustedQSL");
    ASSERT_TRUE(wow.ok());
    EXPECT_EQ(places.InstallFolders(), std::vector<std::wstring>{L"C:\\Program Files (x86)\\TrustedQSL"})
        << "a 32-bit TQSL's record, seen from the 64-bit build";
  }
  {
    InstallKey expand(KEY_WOW64_64KEY, L"%SystemDrive%\\TQSL", REG_EXPAND_SZ);
    ASSERT_TRUE(expand.ok());
    EXPECT_EQ(places.InstallFolders(), std::vector<std::wstring>{L"C:\\TQSL"});
  }
  EXPECT_TRUE(places.InstallFolders().empty()) << "the keys are gone again";
}

TEST_F(TqslFinderTest, FindsTqslInTheRegisteredFolderThenOnPath) {
  TempFolder installed, on_path;
  ASSERT_TRUE(CopyFileW((test_support::BuildFolder() + L"\\tqsl-sim.exe").c_str(), installed.File(L"tqsl.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((test_support::BuildFolder() + L"\\tqsl-sim.exe").c_str(), on_path.File(L"tqsl.exe").c_str(), FALSE));
  const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  std::wstring old_path(size, L'\0');
  old_path.resize(GetEnvironmentVariableW(L"PATH", old_path.data(), size));
  SetEnvironmentVariableW(L"PATH", (old_path + L";" + on_path.path()).c_str());

  Win32TqslPlaces places;
  EXPECT_EQ(FindTqsl(std::nullopt, places), on_path.File(L"tqsl.exe"));
  {
    InstallKey wow(KEY_WOW64_32KEY, installed.path());
    ASSERT_TRUE(wow.ok());
    EXPECT_EQ(FindTqsl(std::nullopt, places), installed.File(L"tqsl.exe"));
    EXPECT_EQ(FindTqsl(on_path.path(), places), on_path.File(L"tqsl.exe")) << "the setting comes first";
  }
  SetEnvironmentVariableW(L"PATH", old_path.c_str());
  EXPECT_EQ(FindTqsl(std::nullopt, places), std::nullopt);
}

// --- Running TQSL ---------------------------------------------------------------------------------

constexpr UINT kDone = WM_APP + 7;
constexpr UINT kPing = WM_APP + 8;

// A message-only window that notes what arrives, in order.
class Receiver {
 public:
  Receiver() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      auto* self = reinterpret_cast<Receiver*>(GetWindowLongPtrW(w, GWLP_USERDATA));
      if (self && (m == kDone || m == kPing)) {
        self->arrived.push_back({m, wp});
        return 0;
      }
      return DefWindowProcW(w, m, wp, lp);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZelmorTqslTestReceiver";
    RegisterClassW(&wc);
    hwnd = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Receiver() { DestroyWindow(hwnd); }

  // Runs the message loop until TQSL's end has arrived; false when it did not within `ms`.
  bool PumpUntilDone(DWORD ms = 20000) {
    return test_support::WaitUntil([&] {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      for (const auto& a : arrived) {
        if (a.first == kDone) return true;
      }
      return false;
    }, ms);
  }

  HWND hwnd = nullptr;
  std::vector<std::pair<UINT, WPARAM>> arrived;
};

using JournalRun = test_support::TqslSimRun;

class TqslRunnerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.ready());
    test_support::WriteBytes(adif_, "<CALL:6>JA1XYZ <QSO_DATE:8>20261207 <EOR>\r\n");
  }

  void Set(const wchar_t* key, const std::wstring& value) { sim_.Set(key, value); }
  std::vector<JournalRun> Journal() { return sim_.Journal(); }
  static std::vector<std::wstring> Arguments(const JournalRun& run) { return TqslSim::Arguments(run); }

  TqslJob Job() const { return {sim_.exe(), L"JA1ABC 移動", adif_}; }

  TqslSim sim_;
  const std::wstring adif_ = sim_.File(L"Zelmor-lotw 261207.adi");
  Receiver receiver_;
  TqslRunner runner_;
};

TEST_F(TqslRunnerTest, EachExitCodeAndLastStatusLineComeBack) {
  const struct {
    int exit_code;
    std::wstring status;
  } rows[] = {
      {0, L"05:57:39 PM: /Final Status: Success (0)"},
      {8, L"Final Status: No QSOs written (8)"},
      {9, L"Final Status: Some QSOs suppressed (9)"},
      {1, L"Final Status: cancelled by user (1)"},
      {2, L"Final Status: Upload Rejected (2)"},
      {11, L"Final Status: LoTW Connection Failed (11)"},
      {15, L"Final Status: Passphrase error (15)"},
      {4, L"10:00:00 AM: 証明書が見つかりません Final Status: TQSL Error (4)"},  // TQSL's own text, Japanese too
  };
  for (const auto& row : rows) {
    Set(L"exit", std::to_wstring(row.exit_code));
    Set(L"status", row.status);
    receiver_.arrived.clear();
    ASSERT_EQ(runner_.Begin(Job(), nullptr, receiver_.hwnd, kDone), TqslRunner::Start::Started) << runner_.last_error();
    ASSERT_TRUE(receiver_.PumpUntilDone()) << row.exit_code;
    EXPECT_EQ(receiver_.arrived.back().second, static_cast<WPARAM>(row.exit_code));
    const auto outcome = runner_.Finish();
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->exit_code, row.exit_code);
    EXPECT_EQ(outcome->status_line, row.status) << Utf8(outcome->status_line);
    EXPECT_EQ(outcome->output_path, sim_.File(L"Zelmor-lotw 261207.txt"));
    EXPECT_FALSE(runner_.Running());
  }
  const auto runs = Journal();
  ASSERT_EQ(runs.size(), std::size(rows));
  const JournalRun& first = runs.front();
  EXPECT_EQ(Arguments(first), UploadArguments(L"JA1ABC 移動", adif_));
  EXPECT_EQ(first.find("file")->second, adif_);
  EXPECT_EQ(test_support::ReadBytes(sim_.File(first.find("copy")->second)), test_support::ReadBytes(adif_))
      << "TQSL was given the file itself";
  // Every run's lines are kept, one after the other.
  const std::string output = test_support::ReadBytes(sim_.File(L"Zelmor-lotw 261207.txt"));
  EXPECT_NE(output.find("Final Status: Success (0)"), std::string::npos);
  EXPECT_NE(output.find("Final Status: TQSL Error (4)"), std::string::npos);
}

TEST_F(TqslRunnerTest, SlowUploadLeavesTheMessageLoopFreeAndRefusesASecond) {
  Set(L"sleep_ms", L"1500");
  ASSERT_EQ(runner_.Begin(Job(), nullptr, receiver_.hwnd, kDone), TqslRunner::Start::Started);
  EXPECT_TRUE(runner_.Running());
  EXPECT_EQ(runner_.Begin(Job(), nullptr, receiver_.hwnd, kDone), TqslRunner::Start::Busy);
  EXPECT_EQ(runner_.Finish(), std::nullopt) << "nothing to take while TQSL runs";
  // The simulator has begun (its journal says so) and sleeps: the loop still answers.
  ASSERT_TRUE(test_support::WaitUntil([&] { return Journal().size() == 1; }));
  PostMessageW(receiver_.hwnd, kPing, 0, 0);
  ASSERT_TRUE(receiver_.PumpUntilDone());
  ASSERT_EQ(receiver_.arrived.size(), 2u);
  EXPECT_EQ(receiver_.arrived[0].first, kPing) << "handled while TQSL was still running";
  EXPECT_EQ(receiver_.arrived[1].first, kDone);
  EXPECT_TRUE(runner_.Running()) << "until the result is taken";
  ASSERT_TRUE(runner_.Finish().has_value());
  EXPECT_EQ(runner_.Finish(), std::nullopt) << "a second message would be stale";
  receiver_.arrived.clear();
  Set(L"sleep_ms", L"0");
  EXPECT_EQ(runner_.Begin(Job(), nullptr, receiver_.hwnd, kDone), TqslRunner::Start::Started) << "free again";
  EXPECT_TRUE(receiver_.PumpUntilDone());
  EXPECT_TRUE(runner_.Finish().has_value());
}

TEST_F(TqslRunnerTest, WrongPassphraseIsRetriedWithTheOneTyped) {
  Set(L"exit", L"15");
  Set(L"passphrase", L"my secret");
  Set(L"retry_exit", L"0");
  Set(L"retry_status", L"Final Status: Success (0)");
  ASSERT_EQ(runner_.Begin(Job(), nullptr, receiver_.hwnd, kDone), TqslRunner::Start::Started);
  ASSERT_TRUE(receiver_.PumpUntilDone());
  const auto first = runner_.Finish();
  ASSERT_TRUE(first.has_value());
  EXPECT_TRUE(WantsPassphrase(*first));

  receiver_.arrived.clear();
  const Secret passphrase(L"my secret");
  ASSERT_EQ(runner_.Begin(Job(), &passphrase, receiver_.hwnd, kDone), TqslRunner::Start::Started);
  ASSERT_TRUE(receiver_.PumpUntilDone());
  const auto retry = runner_.Finish();
  ASSERT_TRUE(retry.has_value());
  EXPECT_EQ(retry->exit_code, 0);
  EXPECT_EQ(retry->status_line, L"Final Status: Success (0)") << "the line of this run, not of the first";
  EXPECT_FALSE(WantsPassphrase(*retry));
  const auto runs = Journal();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(Arguments(runs[1]), UploadArguments(L"JA1ABC 移動", adif_, &passphrase));
}

TEST_F(TqslRunnerTest, MissingTqslFailsToStartAndStaysFree) {
  TqslJob job = Job();
  job.tqsl = sim_.File(L"no-such-tqsl.exe");
  EXPECT_EQ(runner_.Begin(job, nullptr, receiver_.hwnd, kDone), TqslRunner::Start::Failed);
  EXPECT_EQ(runner_.last_error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(runner_.Running());
}

// --- The passphrase box ---------------------------------------------------------------------------

TEST(PassphraseBoxTest, GivesWhatWasTypedOrNothing) {
  std::optional<Secret> typed;
  bool hidden = false;
  ASSERT_TRUE(test_support::DriveModal(
      L"TQSLのパスフレーズ",
      [&](HWND box) {
        HWND edit = GetDlgItem(box, IDC_PASSPHRASE);
        hidden = (GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD) != 0;
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"pass word"));
        test_support::PressButton(box, IDOK);
        test_support::WaitDestroyed(box);
      },
      [&] { typed = AskPassphrase(nullptr, GetModuleHandleW(nullptr)); }));
  EXPECT_TRUE(hidden) << "typed as dots";
  ASSERT_TRUE(typed.has_value());
  EXPECT_EQ(typed->text(), L"pass word");

  bool answered = true;
  ASSERT_TRUE(test_support::DriveModal(
      L"TQSLのパスフレーズ",
      [&](HWND box) {
        SendMessageW(GetDlgItem(box, IDC_PASSPHRASE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"x"));
        test_support::PressButton(box, IDCANCEL);
        test_support::WaitDestroyed(box);
      },
      [&] { answered = AskPassphrase(nullptr, GetModuleHandleW(nullptr)).has_value(); }));
  EXPECT_FALSE(answered);
}

}  // namespace
}  // namespace zelmor::lotw
