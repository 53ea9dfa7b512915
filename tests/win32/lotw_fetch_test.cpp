// Fetching LoTW's confirmations on a Windows machine: the password in the Credential Manager, the
// password box, and the request made with WinHTTP against lotw-sim.exe while a message loop waits
// for its end.

#include <winsock2.h>
#include <windows.h>

#include <wincred.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/resource.h"
#include "lotw/credentials_win.h"
#include "lotw/passphrase_box_win.h"
#include "lotw/report_fetch_win.h"
#include "lotw_sim_win.h"
#include "modal_win.h"
#include "printable.h"
#include "windows_win.h"

namespace zelmor::lotw {
namespace {

using test_support::LotwSim;
using test_support::Utf8;

// A login no operator has: the test's credential never meets a real one.
constexpr wchar_t kLogin[] = L"ZL9ZZZ";

class CredentialTest : public ::testing::Test {
 protected:
  void SetUp() override { vault_.Delete(kLogin); }
  void TearDown() override { vault_.Delete(kLogin); }
  Win32PasswordVault vault_;
};

TEST_F(CredentialTest, StoredAsAGenericCredentialAndReadBack) {
  EXPECT_FALSE(vault_.Read(kLogin).has_value());
  const std::wstring password = L"pa ss&=ワード\U0001F600";
  ASSERT_TRUE(vault_.Write(kLogin, Secret(password)));
  const std::optional<Secret> read = vault_.Read(kLogin);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->text(), password);

  // As another program sees it in the Credential Manager.
  PCREDENTIALW raw = nullptr;
  ASSERT_TRUE(CredReadW(L"Zelmor/LoTW/ZL9ZZZ", CRED_TYPE_GENERIC, 0, &raw)) << GetLastError();
  const UniqueCredential owned(raw);
  EXPECT_EQ(raw->Type, static_cast<DWORD>(CRED_TYPE_GENERIC));
  EXPECT_EQ(std::wstring(raw->UserName ? raw->UserName : L""), kLogin);
  EXPECT_EQ(raw->Persist, static_cast<DWORD>(CRED_PERSIST_LOCAL_MACHINE));

  ASSERT_TRUE(vault_.Write(kLogin, Secret(L"second")));
  EXPECT_EQ(vault_.Read(kLogin)->text(), L"second") << "written over, not beside";
  vault_.Delete(kLogin);
  EXPECT_FALSE(vault_.Read(kLogin).has_value());
  vault_.Delete(kLogin);  // nothing kept: no harm
}

// --- The password box -----------------------------------------------------------------------------

TEST(LoginBoxTest, ShowsTheKeptPasswordAndGivesWhatIsLeft) {
  const Secret saved(L"kept pw");
  std::optional<LoginAnswer> answer;
  std::wstring shown_login;
  bool ticked = false, hidden = false, refused_empty = false;
  ASSERT_TRUE(test_support::DriveModal(
      L"LoTWのパスワード",
      [&](HWND box) {
        shown_login = test_support::TextOf(GetDlgItem(box, IDC_LOTW_LOGIN));
        ticked = IsDlgButtonChecked(box, IDC_LOTW_SAVE) == BST_CHECKED;
        HWND password = GetDlgItem(box, IDC_LOTW_PASSWORD);
        hidden = (GetWindowLongW(password, GWL_STYLE) & ES_PASSWORD) != 0;
        // OK without a password keeps the box.
        SendMessageW(password, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        refused_empty = IsWindowVisible(box) != FALSE;
        SendMessageW(password, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed pw"));
        SendMessageW(GetDlgItem(box, IDC_LOTW_SAVE), BM_CLICK, 0, 0);
        test_support::PressButton(box, IDOK);
        test_support::WaitDestroyed(box);
      },
      [&] { answer = AskLogin(nullptr, GetModuleHandleW(nullptr), L"JA1ABC", &saved); }));
  EXPECT_EQ(shown_login, L"JA1ABC");
  EXPECT_TRUE(ticked) << "a kept password comes with the box ticked";
  EXPECT_TRUE(hidden) << "typed as dots";
  EXPECT_TRUE(refused_empty);
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->login, L"JA1ABC");
  EXPECT_EQ(answer->password.text(), L"typed pw");
  EXPECT_FALSE(answer->save) << "unticked by the click";

  bool answered = true;
  ASSERT_TRUE(test_support::DriveModal(
      L"LoTWのパスワード",
      [&](HWND box) {
        test_support::PressButton(box, IDCANCEL);
        test_support::WaitDestroyed(box);
      },
      [&] { answered = AskLogin(nullptr, GetModuleHandleW(nullptr), L"", nullptr).has_value(); }));
  EXPECT_FALSE(answered);
}

// --- The request ----------------------------------------------------------------------------------

// A window of this thread that the transport posts its end to, and a message loop until it comes.
class FetchWindow {
 public:
  FetchWindow() : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
  ~FetchWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }
  // Runs the loop until the end is posted: true when it came within `ms`.
  bool WaitEnd(DWORD ms = 30000) {
    const ULONGLONG until = GetTickCount64() + ms;
    MSG msg;
    while (GetTickCount64() < until) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.hwnd == window_ && msg.message == kReportFetchedMessage) return true;
        DispatchMessageW(&msg);
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    return false;
  }

 private:
  HWND window_;
};

std::optional<ReportAnswer> Fetch(const std::wstring& url, const std::wstring& password,
                                  FetchTimeouts timeouts = {}) {
  FetchWindow window;
  Win32ReportTransport transport(window.get(), timeouts);
  const std::optional<ReportAddress> address = ReadReportAddress(url);
  if (!address) return std::nullopt;
  if (transport.Begin(*address, ReportQuery(LotwSim::kLogin, Secret(password), "2026-12-04")) !=
      ReportTransport::Start::Started) {
    return std::nullopt;
  }
  EXPECT_TRUE(transport.Running());
  EXPECT_EQ(transport.Begin(*address, Secret(L"")), ReportTransport::Start::Busy) << "one request at a time";
  if (!window.WaitEnd()) return std::nullopt;
  std::optional<ReportAnswer> answer = transport.Finish();
  EXPECT_FALSE(transport.Running());
  return answer;
}

TEST(ReportTransportTest, EachAnswerAsItCame) {
  const struct {
    const wchar_t* mode;
    const wchar_t* password;
    ReportAnswer::Fault fault;
    int status;
    const char* in_body;
    bool whole;  // ends with APP_LoTW_EOF
  } rows[] = {
      {L"normal", LotwSim::kPassword, ReportAnswer::Fault::kNone, 200, "<CALL:5>BV2AA", true},
      {L"normal", L"wrong", ReportAnswer::Fault::kNone, 200, "password incorrect", false},
      {L"server-error", LotwSim::kPassword, ReportAnswer::Fault::kNone, 500, "Internal Server Error", false},
      {L"slow", LotwSim::kPassword, ReportAnswer::Fault::kNone, 200, "<CALL:5>BV2AA", true},
  };
  for (const auto& row : rows) {
    LotwSim sim({row.mode});
    ASSERT_TRUE(sim.ready()) << Utf8(row.mode);
    const std::optional<ReportAnswer> answer = Fetch(sim.url(), row.password);
    ASSERT_TRUE(answer.has_value()) << Utf8(row.mode);
    EXPECT_EQ(answer->fault, row.fault) << Utf8(row.mode) << ": " << Utf8(answer->detail);
    EXPECT_EQ(answer->status, row.status) << Utf8(row.mode);
    EXPECT_NE(answer->body.find(row.in_body), std::string::npos) << Utf8(row.mode) << ": " << answer->body;
    EXPECT_EQ(answer->body.find("<APP_LoTW_EOF>") != std::string::npos, row.whole) << Utf8(row.mode);
    // Only what LoTW received on or after the date asked for.
    EXPECT_EQ(answer->body.find("JR2XYZ"), std::string::npos) << Utf8(row.mode);
    const auto requests = sim.Requests();
    ASSERT_EQ(requests.size(), 1u) << Utf8(row.mode);
    EXPECT_EQ(requests[0].at("path"), "/lotwuser/lotwreport.adi");
    EXPECT_EQ(requests[0].at("login"), "JA1ABC");
    EXPECT_EQ(requests[0].at("qso_qslsince"), "2026-12-04");
  }

  // Cut off: whatever WinHTTP makes of the closed connection, the answer does not come whole.
  LotwSim cut({L"cut-off"});
  ASSERT_TRUE(cut.ready());
  const std::optional<ReportAnswer> answer = Fetch(cut.url(), LotwSim::kPassword);
  ASSERT_TRUE(answer.has_value());
  EXPECT_TRUE(answer->fault == ReportAnswer::Fault::kBroken || answer->fault == ReportAnswer::Fault::kNone)
      << Utf8(answer->detail);
  EXPECT_EQ(answer->body.find("<APP_LoTW_EOF>"), std::string::npos);
}

TEST(ReportTransportTest, NoServerAndNoAnswerInTimeAreTold) {
  // A port taken and given back at once: nothing listens there.
  WSADATA winsock{};
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &winsock), 0);
  const SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  ASSERT_EQ(bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
  closesocket(probe);
  WSACleanup();
  const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(ntohs(address.sin_port)) + L"/lotwuser/lotwreport.adi";
  std::optional<ReportAnswer> answer = Fetch(url, LotwSim::kPassword, {2000, 2000, 2000, 2000});
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->fault, ReportAnswer::Fault::kNoConnection) << Utf8(answer->detail);
  EXPECT_FALSE(answer->detail.empty());

  // Also where WinHTTP itself waits past its receive time-out (Wine 8 does): the fetch ends.
  LotwSim held({L"normal", true});
  ASSERT_TRUE(held.ready());
  answer = Fetch(held.url(), LotwSim::kPassword, {2000, 2000, 2000, 1000});
  held.Release();
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->fault, ReportAnswer::Fault::kTimedOut) << Utf8(answer->detail);
}

// Zelmor closed during a fetch: the transport goes at once, the request ends on its own and
// posts to no one.
TEST(ReportTransportTest, ATransportGoneDuringARequestIsNotWaitedFor) {
  LotwSim held({L"normal", true});
  ASSERT_TRUE(held.ready());
  FetchWindow window;
  {
    Win32ReportTransport transport(window.get());
    ASSERT_EQ(transport.Begin(*ReadReportAddress(held.url()), ReportQuery(L"JA1ABC", Secret(L"x"), "1900-01-01")),
              ReportTransport::Start::Started);
    ASSERT_TRUE(held.WaitRequests(1));
  }
  held.Release();
  EXPECT_FALSE(window.WaitEnd(3000)) << "nothing is posted once the transport has gone";
}

}  // namespace
}  // namespace zelmor::lotw
