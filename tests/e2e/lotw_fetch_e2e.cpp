// Confirmations fetched from LoTW, seen from outside: "LoTW確認の取得(&Q)" against lotw-sim.exe
// (tools/lotw_sim), its answer kept beside the logs and told in the report window; a second
// fetch asking only for what is new; the password kept in the Credential Manager and in no file;
// what a fetch brought, shown by the running Zelmor in the summary, its map and the hint; a wrong
// password, a cut-off answer and a slow answer with the operator logging on meanwhile; and Zelmor
// closed while a fetch runs.

#include <windows.h>

#include <wincred.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/resource.h"
#include "harness.h"
#include "logfiles_support.h"
#include "lotw_answers.h"
#include "modal_win.h"
#include "lotw_sim_win.h"
#include "worked/worked_source.h"
#include "worked_logs.h"
#include "worked_support.h"

namespace e2e {
namespace {

using test_support::LotwSim;

constexpr wchar_t kKept[] = L"Zelmor-lotw-qsl.adi";
constexpr wchar_t kPasswordBox[] = L"LoTWのパスワード";
constexpr char kTarget[] = "Zelmor/LoTW/JA1ABC";

// One of LoTW's records, as lotw-sim serves it from its file.
std::string Record(const std::string& call, const std::string& band, const std::string& satellite,
                   const std::string& date, const std::string& time, const std::string& received) {
  test_support::LotwQsl qsl;
  qsl.call = call;
  qsl.band = band;
  qsl.satellite = satellite;
  qsl.prop_mode = satellite.empty() ? "" : "SAT";
  qsl.date = date;
  qsl.time = time;
  qsl.received = received;
  return test_support::LotwRecord(qsl);
}

std::wstring FirstLine(const std::wstring& text) { return text.substr(0, text.find(L"\r\n")); }

class LotwFetchE2E : public ::testing::Test {
 protected:
  void SetUp() override { CredDeleteA(kTarget, CRED_TYPE_GENERIC, 0); }
  void TearDown() override { CredDeleteA(kTarget, CRED_TYPE_GENERIC, 0); }

  // Zelmor with the station JA1ABC/1, asking `sim` for LoTW's report; its logs in `log_folder`
  // when one is given, else in its own.
  ::testing::AssertionResult Start(const LotwSim& sim, const std::wstring& log_folder = L"") {
    if (!sim.ready()) return ::testing::AssertionFailure() << "lotw-sim did not start";
    const std::string logs = log_folder.empty() ? "" : "[Zelmor]\r\n" + IniLine("LOGfol", log_folder);
    WriteBytes(folder_.File(kSettings), logs + "[Station]\r\n" + IniLine("Call", L"JA1ABC/1") +
                                            IniLine("Grid", L"PM95") + IniLine("TQSLloc", L"Home") + "[LoTW]\r\n" +
                                            IniLine("ReportURL", sim.url()));
    return app_.Start();
  }

  // "LoTW確認の取得(&Q)" (its command, or picked from the File menu by its letters when
  // `from_menu`), the password box answered: `password` typed unless empty (the kept one stands),
  // "保存する" clicked when `click_save`. A success once the box has gone.
  ::testing::AssertionResult Fetch(const std::wstring& password, bool click_save = false, bool from_menu = false) {
    if (!from_menu) {
      SendCommand(app_.window(), IDM_LOTW_FETCH);
    } else if (!ChooseFromMenuBar(app_.window(), L'f', L'q')) {
      return ::testing::AssertionFailure() << "the File menu did not open and close: " << app_.Situation();
    }
    HWND box = WaitForDialog(app_.pid(), kPasswordBox);
    if (!box) return ::testing::AssertionFailure() << "no password box: " << app_.Situation();
    shown_login_ = TextOf(GetDlgItem(box, IDC_LOTW_LOGIN));
    shown_ticked_ = IsDlgButtonChecked(box, IDC_LOTW_SAVE) == BST_CHECKED;
    if (!password.empty()) {
      SendMessageW(GetDlgItem(box, IDC_LOTW_PASSWORD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(password.c_str()));
    }
    if (click_save) SendMessageW(GetDlgItem(box, IDC_LOTW_SAVE), BM_CLICK, 0, 0);
    PressButton(box, IDOK);
    if (!WaitDestroyed(box)) return ::testing::AssertionFailure() << "the password box stayed";
    return ::testing::AssertionSuccess();
  }

  HWND WaitForReport(DWORD ms = 10000) {
    const std::wstring caption = ZelmorText(IDS_FETCH_CAPTION);
    return WaitForWindow([&] { return VisibleProcessWindow(app_.pid(), L"#32770", caption.c_str()); }, ms);
  }
  static std::wstring ReportText(HWND report) { return TextOf(GetDlgItem(report, IDC_LOTW_REPORT_TEXT)); }
  // The report once it tells how the fetch ended.
  std::wstring WaitForOutcome(HWND report, DWORD ms = 30000) {
    const std::wstring running = FirstLine(ZelmorText(IDS_FETCH_RUNNING));
    std::wstring text;
    WaitUntil([&] { return FirstLine(text = ReportText(report)) != running; }, ms);
    return text;
  }
  std::wstring FetchedReport(const std::wstring& password, bool click_save = false, bool from_menu = false) {
    if (!Fetch(password, click_save, from_menu)) return L"(no password box)";
    HWND report = WaitForReport();
    if (!report) return L"(no report)";
    const std::wstring text = WaitForOutcome(report);
    PressButton(report, IDOK);
    WaitUntil([&] { return !IsWindowVisible(report); });
    return text;
  }

  // Every file Zelmor keeps in its folder (the log folder too), searched for `text`.
  std::vector<std::wstring> FilesHolding(const std::string& text) {
    std::vector<std::wstring> holding;
    for (const std::wstring& name : FolderNames(folder_.path())) {
      if (ReadBytes(folder_.File(name)).find(text) != std::string::npos) holding.push_back(name);
    }
    return holding;
  }

  TempFolder folder_;
  Zelmor app_{folder_};
  std::wstring shown_login_;
  bool shown_ticked_ = false;
};

TEST_F(LotwFetchE2E, AFetchKeepsWhatCameAndTheNextOnlyWhatIsNew) {
  LotwSim sim({L"normal", false, true});
  WriteBytes(sim.records_file(), Record("JR2XYZ", "2M", "RS-44", "20261201", "083000", "20261203") +
                                     Record("W1AW", "20M", "", "20261202", "120000", "20261203") +
                                     Record("JA3AAA", "2M", "SO-50", "20261202", "101500", "20261204"));
  // A contact of the log folder that LoTW confirms: 17:30 in Japan is 08:30 UTC.
  worked::WriteLog(folder_.File(L"december.txt"),
                   {L"2026/12/01 17:30J JR2XYZ 59 59 %Sat=RS-44/Rev:1% 145/435 SSB Up=145.965/Down=435.640"});
  ASSERT_TRUE(Start(sim));
  ASSERT_FALSE(worked::SummaryText(app_).empty()) << "the logs read before the fetch";

  std::wstring text = FetchedReport(LotwSim::kPassword, true);
  EXPECT_EQ(shown_login_, L"JA1ABC") << "the station's call without its suffix";
  EXPECT_FALSE(shown_ticked_);
  EXPECT_EQ(FirstLine(text), L"LoTWから確認を取得しました。") << Utf8(text);
  EXPECT_NE(text.find(L"LoTWからの確認: 3件（うち衛星のQSO: 2件）\r\n新しく保存した確認: 2件\r\n"
                      L"LOGのQSOと一致した確認: 1件\r\n確認のファイル: " + app_.File(kKept)),
            std::wstring::npos)
      << Utf8(text);
  EXPECT_NE(text.find(L"パスワードはWindowsの資格情報マネージャーに保存しました。"), std::wstring::npos) << Utf8(text);

  auto requests = sim.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const std::map<std::string, std::string> asked = {
      {"path", "/lotwuser/lotwreport.adi"}, {"login", "JA1ABC"},     {"password", "lotw pass"},
      {"qso_query", "1"},                   {"qso_qsl", "yes"},      {"qso_qsldetail", "yes"},
      {"qso_mydetail", "yes"},              {"qso_qslsince", "1900-01-01"}};
  EXPECT_EQ(requests[0], asked);
  std::string kept = ReadBytes(app_.File(kKept));
  EXPECT_NE(kept.find("<CALL:6>JR2XYZ"), std::string::npos) << kept;
  EXPECT_NE(kept.find("<CALL:6>JA3AAA"), std::string::npos) << kept;
  EXPECT_EQ(kept.find("W1AW"), std::string::npos) << "satellite contacts only: " << kept;
  EXPECT_NE(kept.find("2026-12-04 23:59:59"), std::string::npos) << "the next fetch's start: " << kept;

  // Kept in the Credential Manager, and in no file of Zelmor's.
  PCREDENTIALA credential = nullptr;
  EXPECT_TRUE(CredReadA(kTarget, CRED_TYPE_GENERIC, 0, &credential));
  if (credential) CredFree(credential);
  EXPECT_EQ(FilesHolding("lotw pass"), std::vector<std::wstring>{}) << "Zelmor.ini, the kept file, the logs";
  EXPECT_NE(app_.Ini().find("[LoTW]"), std::string::npos);

  // One more confirmed since: the next fetch asks from the last one's APP_LoTW_LASTQSL, with the
  // kept password in the box, and adds only the new one.
  WriteBytes(sim.records_file(), ReadBytes(sim.records_file()) +
                                     Record("BV2AA", "70CM", "IO-117", "20261203", "120100", "20261205"));
  text = FetchedReport(L"");
  EXPECT_TRUE(shown_ticked_) << "the kept password stands";
  EXPECT_NE(text.find(L"LoTWからの確認: 1件（うち衛星のQSO: 1件）\r\n新しく保存した確認: 1件\r\n"), std::wstring::npos)
      << Utf8(text);
  requests = sim.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1]["qso_qslsince"], "2026-12-04 23:59:59");
  EXPECT_EQ(requests[1]["password"], "lotw pass");
  kept = ReadBytes(app_.File(kKept));
  for (const char* call : {"<CALL:6>JR2XYZ", "<CALL:6>JA3AAA", "<CALL:5>BV2AA"}) {
    EXPECT_NE(kept.find(call), std::string::npos) << call << ": " << kept;
    EXPECT_EQ(kept.find(call), kept.rfind(call)) << "once: " << kept;
  }
  EXPECT_TRUE(ClosesWithoutQuestion(app_));
}

// The whole way, as the operator goes: logs in the log folder, Zelmor running, the fetch picked
// from the File menu and its report; then, Zelmor still running, the summary, its map and the hint,
// each with what the fetch brought.
TEST_F(LotwFetchE2E, WhatAFetchBringsShowsInTheSummaryTheMapAndTheHint) {
  // lotw-sim's built-in records: JR2XYZ's confirms PM84, JA3AAA's (logged with a suffix) the grid
  // line PM74,PM75, BV2AA's matches no contact, W1AW's is no satellite contact. QM06 stays worked
  // only. 17:30 in Japan is 08:30 UTC.
  TempFolder logs;
  worked::WriteLog(logs.File(L"Zelmor261201.TXT"),
                   {worked::LogLineAt(L"JR2XYZ 59 59 PM84", L"RS-44", test_support::At(2026, 12, 1, 17, 30)),
                    worked::LogLineAt(L"JA3AAA/1 59 59 PM74", L"SO-50", test_support::At(2026, 12, 2, 19, 15)),
                    worked::LogLineAt(L"JA1ZZZ 59 59 QM06", L"RS-44", test_support::At(2026, 12, 3, 21, 30))});
  LotwSim sim({L"normal"});
  ASSERT_TRUE(Start(sim, logs.path()));
  const std::wstring heading = L"衛星\tQSO\t局数\tグリッド\t確認QSO\t確認グリッド\r\n";
  const std::wstring unread = L"読めなかった行: 0行\r\n";
  EXPECT_EQ(worked::SummaryText(app_), heading + L"RS-44\t2\t2\t2\t0\t0\r\nSO-50\t1\t1\t1\t0\t0\r\n"
                                                 L"合計\t3\t3\t3\t0\t0\r\n\r\nVUCC: 確認 0 / 交信 3\r\n" + unread)
      << "before the fetch";

  const std::wstring text = FetchedReport(LotwSim::kPassword, false, true);
  EXPECT_EQ(FirstLine(text), L"LoTWから確認を取得しました。") << Utf8(text);
  EXPECT_NE(text.find(L"LoTWからの確認: 4件（うち衛星のQSO: 3件）\r\n新しく保存した確認: 3件\r\n"
                      L"LOGのQSOと一致した確認: 2件\r\n確認のファイル: " + logs.File(kKept)),
            std::wstring::npos)
      << Utf8(text);
  ASSERT_EQ(sim.Requests().size(), 1u);

  // A grid line's both squares count as confirmed, the one confirmation that matches no contact
  // not at all.
  const std::wstring confirmed = heading + L"RS-44\t2\t2\t2\t1\t1\r\nSO-50\t1\t1\t1\t1\t2\r\n"
                                           L"合計\t3\t3\t3\t2\t3\r\n\r\nVUCC: 確認 3 / 交信 3\r\n" + unread;
  std::wstring summary;
  EXPECT_TRUE(WaitUntil([&] { return (summary = worked::SummaryText(app_)) == confirmed; }, 30000)) << Utf8(summary);

  const worked::CopiedMap copied = worked::CopySummaryMap(app_);
  ASSERT_GT(copied.map_height, 0) << copied.width << "x" << copied.height;
  using zelmor::worked::GridNumber;
  using zelmor::worked::SquareStatus;
  const zelmor::worked::MapSquares on_map{{GridNumber(L"PM84"), GridNumber(L"PM74"), GridNumber(L"QM06")},
                                          {GridNumber(L"PM84"), GridNumber(L"PM74"), GridNumber(L"PM75")},
                                          {GridNumber(L"PM95")}};
  const struct {
    const wchar_t* grid;
    SquareStatus status;
  } squares[] = {{L"PM84", SquareStatus::Confirmed},
                 {L"QM06", SquareStatus::WorkedOnly},
                 {L"PM96", SquareStatus::NotWorked}};
  for (const auto& square : squares) {
    EXPECT_EQ(copied.SquareColour(on_map, square.grid), zelmor::worked::StatusColour(square.status))
        << Utf8(square.grid);
  }

  SendChars(app_.entry_box(), L"JA9NEW 59 59 QM06");
  EXPECT_TRUE(worked::WaitForHint(app_, L"初めての局\r\nQM06: 交信済み・未確認"));
}

// Each answer held by lotw-sim while the operator logs on; then how it ended, and the kept file
// as the failure left it.
TEST_F(LotwFetchE2E, TheOperatorLogsOnWhileAFetchRunsAndAFailureKeepsNothing) {
  const std::string before = "kept before this fetch\r\n";
  const struct {
    const wchar_t* mode;
    const wchar_t* password;
    std::wstring first_line;
    bool kept_changes;
  } rows[] = {
      {L"normal", L"wrong pass", L"LoTWのユーザー名かパスワードが違います。", false},
      {L"cut-off", LotwSim::kPassword, L"LoTWの答えが途中で切れました（最後まで届きませんでした）。", false},
      {L"slow", LotwSim::kPassword, L"LoTWから確認を取得しました。", true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Utf8(row.mode));
    LotwSim sim({row.mode, true});
    WriteBytes(app_.File(kKept), before);
    ASSERT_TRUE(Start(sim));
    ASSERT_TRUE(Fetch(row.password));
    ASSERT_TRUE(sim.WaitRequests(1)) << app_.Situation();
    HWND report = WaitForReport();
    ASSERT_TRUE(report) << app_.Situation();
    EXPECT_EQ(FirstLine(ReportText(report)), FirstLine(ZelmorText(IDS_FETCH_RUNNING)));

    // The answer is held: the operator logs on, and a second fetch is refused.
    const std::wstring memo = L"JA3AAA 59 5" + std::to_wstring(&row - rows);
    SendChars(app_.entry_box(), memo);
    ASSERT_TRUE(SendEnter(app_.entry_box()));
    EXPECT_NE(app_.PaneText().find(memo), std::wstring::npos) << Utf8(app_.PaneText());
    EXPECT_NE(app_.SafetyCopy().find(Ansi(memo)), std::string::npos) << "in the safety copy too";
    SendCommand(app_.window(), IDM_LOTW_FETCH);
    ASSERT_TRUE(Answer(app_.WaitForMessageBox(), IDS_FETCH_BUSY, IDOK));
    EXPECT_EQ(sim.Requests().size(), 1u);

    sim.Release();
    const std::wstring text = WaitForOutcome(report);
    EXPECT_EQ(FirstLine(text), row.first_line) << Utf8(text);
    EXPECT_EQ(ReadBytes(app_.File(kKept)) != before, row.kept_changes) << ReadBytes(app_.File(kKept));
    if (!row.kept_changes) {
      EXPECT_NE(text.find(L"確認のファイルは変えていません: " + app_.File(kKept)), std::wstring::npos) << Utf8(text);
    }
    EXPECT_EQ(test_support::FocusOf(app_.window()), app_.entry_box()) << "the report takes no key";
    PressButton(report, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(report); }));
    EXPECT_TRUE(ClosesAfterQuestion(app_));
  }
}

TEST_F(LotwFetchE2E, ClosingDuringAFetchNeitherWaitsNorAsks) {
  LotwSim sim({L"normal", true});
  ASSERT_TRUE(Start(sim));
  ASSERT_TRUE(Fetch(LotwSim::kPassword));
  ASSERT_TRUE(sim.WaitRequests(1));
  app_.RequestClose();
  EXPECT_TRUE(app_.WaitExit(10000)) << app_.Situation();
  sim.Release();
  EXPECT_FALSE(FileExists(app_.File(kKept))) << "nothing written after the close";
}

}  // namespace
}  // namespace e2e
