// The operator's station and the LoTW upload seen from outside: the dialog "局情報" filled in and
// its values in "Zelmor.ini" and in every exported record; "LoTWへ送信(&L)" against tqsl-sim.exe
// (copied as tqsl.exe) for each exit code, a slow upload with entries going on, a missing TQSL,
// a passphrase asked for and tried once; closing while TQSL runs; and a log with station lines the
// dialog would refuse.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "adif_support.h"
#include "base/resource.h"
#include "entry_support.h"
#include "harness.h"
#include "logfiles_support.h"
#include "modal_win.h"
#include "tqsl_sim_win.h"
#include "worked_support.h"

namespace e2e {
namespace {

using namespace logging_loop;
using test_support::TqslSim;

const zelmor::entry::FeedSnapshot kRs44{L"RS-44", L"435.640.000", L"145.965.000", L"21847", L"USB"};

// The station as "Zelmor.ini" keeps it (Shift-JIS, as the profile functions write it).
std::string StationSection() {
  return "[Station]\r\n" + IniLine("Call", L"JA1ABC/1") + IniLine("Grid", L"PM95") + IniLine("Pref", L"10") +
         IniLine("City", L"100101") + IniLine("TQSLloc", L"東京 移動");
}

std::string TqslPathSetting(const TqslSim& sim) { return "[Zelmor]\r\n" + IniLine("TQSLpath", sim.exe()); }

// "ADIF出力(&A)" into `file`: the summary's text, its box answered; "(...)" when a step failed.
std::wstring ExportAdif(Zelmor& app, const std::wstring& file) {
  SendCommand(app.window(), IDM_ADIF_EXPORT);
  HWND save = WaitForDialog(app.pid(), ZelmorText(IDS_ADIF_TITLE));
  if (!save || !ChooseFile(app, save, file)) return L"(no Save dialog)";
  HWND box = app.WaitForMessageBox();
  if (!box) return L"(no summary)";
  const std::wstring summary = MessageText(box);
  PressButton(box, IDOK);
  return WaitDestroyed(box) ? summary : L"(the summary stayed)";
}

// The first line of a text.
std::wstring FirstLine(const std::wstring& text) { return text.substr(0, text.find(L"\r\n")); }

class LotwE2E : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(sim_.ready()); }
  // A run still held (a test that failed half-way) ends now rather than in a minute.
  void TearDown() override { sim_.Release(); }

  ::testing::AssertionResult Start(const std::string& settings) {
    WriteBytes(folder_.File(kSettings), settings);
    return app_.Start();
  }

  // The upload's report window, once shown.
  HWND WaitForReport(DWORD ms = 10000) {
    return WaitForWindow([&] { return VisibleProcessWindow(app_.pid(), L"#32770", ReportCaption().c_str()); }, ms);
  }
  static std::wstring ReportCaption() { return ZelmorText(IDS_LOTW_CAPTION); }
  static std::wstring ReportText(HWND report) { return TextOf(GetDlgItem(report, IDC_LOTW_REPORT_TEXT)); }
  // The report once it tells how the upload ended (no longer that it runs).
  std::wstring WaitForOutcome(HWND report, DWORD ms = 20000) {
    const std::wstring running = FirstLine(ZelmorText(IDS_LOTW_RUNNING));
    std::wstring text;
    WaitUntil([&] { return FirstLine(text = ReportText(report)) != running; }, ms);
    return text;
  }

  void Upload() { SendCommand(app_.window(), IDM_LOTW_UPLOAD); }
  // Presses the report's OK: it goes, to come back with the next upload.
  bool Dismiss(HWND report) {
    PressButton(report, IDOK);
    return WaitUntil([&] { return !IsWindowVisible(report); });
  }

  TempFolder folder_;
  TqslSim sim_;
  Zelmor app_{folder_};
};

TEST_F(LotwE2E, StationDialogValuesAreStoredAndReachEveryRecord) {
  TrackerSim tracker(ServedValues(folder_, kRs44), folder_.path());
  ASSERT_TRUE(tracker.ready());
  ASSERT_TRUE(Start(""));

  SendCommand(app_.window(), IDM_STATION);
  HWND dialog = WaitForDialog(app_.pid(), L"局情報");
  ASSERT_TRUE(dialog) << app_.Situation();
  SendMessageW(GetDlgItem(dialog, IDC_STATION_CALL), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"ja1abc/1"));
  SendMessageW(GetDlgItem(dialog, IDC_STATION_GRID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"pm95, pm96"));
  ASSERT_TRUE(test_support::ChooseComboItem(GetDlgItem(dialog, IDC_STATION_PREFECTURE), L"10 Tokyo-to"));
  ASSERT_TRUE(test_support::ChooseComboItem(GetDlgItem(dialog, IDC_STATION_CITY), L"100101 Chiyoda-ku"));
  SendMessageW(GetDlgItem(dialog, IDC_STATION_LOCATION), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"東京 移動"));
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitDestroyed(dialog));
  // The log states it from here on, like an entry, safety copy included.
  const std::wstring station_line = L"#STATION JA1ABC/1 GRID=PM95,PM96 PREF=10 CITY=100101 LOC=東京 移動\r\n";
  EXPECT_EQ(app_.PaneText(), station_line);
  EXPECT_EQ(app_.SafetyCopy(), Ansi(station_line + L"\r\n"));
  EXPECT_NE(app_.Ini().find("[Station]\r\n" + IniLine("Call", L"JA1ABC/1") + IniLine("Grid", L"PM95,PM96") +
                            IniLine("Pref", L"10") + IniLine("City", L"100101") + IniLine("TQSLloc", L"東京 移動")),
            std::string::npos)
      << app_.Ini();

  MakeEntry(app_, L"JR2XYZ 59 59");
  MakeEntry(app_, L"JA3AAA 59 55 PM74");
  const std::wstring summary = ExportAdif(app_, folder_.File(L"rover.adi"));
  EXPECT_NE(summary.find(L"局情報: JA1ABC/1 PM95,PM96 10 Tokyo-to 100101 Chiyoda-ku\r\n"), std::wstring::npos)
      << Utf8(summary);

  const auto records = AdifRecords(ReadBytes(folder_.File(L"rover.adi")));
  ASSERT_EQ(records.size(), 2u);
  for (const AdifRecord& r : records) {
    EXPECT_EQ(r.at("STATION_CALLSIGN"), "JA1ABC/1");
    EXPECT_EQ(r.at("MY_VUCC_GRIDS"), "PM95,PM96");
    EXPECT_EQ(r.count("MY_GRIDSQUARE"), 0u) << "a grid line is MY_VUCC_GRIDS alone";
    EXPECT_EQ(r.at("MY_STATE"), "10");
    EXPECT_EQ(r.at("MY_CNTY"), "100101");
    EXPECT_EQ(r.at("MY_DXCC"), "339");
  }
  EXPECT_EQ(records[1].at("GRIDSQUARE"), "PM74") << "the other station's grid stays theirs";

  // The next start reads it back, and the dialog shows it.
  ASSERT_TRUE(ClosesAfterQuestion(app_));
  Zelmor again(folder_);
  ASSERT_TRUE(again.Start());
  SendCommand(again.window(), IDM_STATION);
  dialog = WaitForDialog(again.pid(), L"局情報");
  ASSERT_TRUE(dialog) << again.Situation();
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_STATION_CALL)), L"JA1ABC/1");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_STATION_GRID)), L"PM95,PM96");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_STATION_PREFECTURE)), L"10 Tokyo-to");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_STATION_CITY)), L"100101 Chiyoda-ku");
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_STATION_LOCATION)), L"東京 移動");
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitDestroyed(dialog));
  EXPECT_TRUE(ClosesWithoutQuestion(again));
}

// A rover crosses a grid line mid-log; the log is saved, and opened again after a restart with
// the new station in force: each contact keeps the station it was made from.
TEST_F(LotwE2E, RoverLogKeepsEachContactsStationThroughSaveAndOpen) {
  TrackerSim tracker(ServedValues(folder_, kRs44), folder_.path());
  ASSERT_TRUE(tracker.ready());
  ASSERT_TRUE(Start(StationSection()));
  MakeEntry(app_, L"JR2AAA 59 59");
  const std::wstring first = L"#STATION JA1ABC/1 GRID=PM95 PREF=10 CITY=100101 LOC=東京 移動\r\n";
  ASSERT_EQ(app_.PaneText().substr(0, first.size()), first) << "the top of a new log: " << Utf8(app_.PaneText());

  // Across the line: the same station on PM95 and PM96.
  SendCommand(app_.window(), IDM_STATION);
  HWND dialog = WaitForDialog(app_.pid(), L"局情報");
  ASSERT_TRUE(dialog) << app_.Situation();
  EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_STATION_GRID)), L"PM95");
  SendMessageW(GetDlgItem(dialog, IDC_STATION_GRID), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"PM95,PM96"));
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitDestroyed(dialog));
  MakeEntry(app_, L"JR2BBB 59 59");
  const std::wstring log = app_.PaneText();
  EXPECT_NE(log.find(L"\r\n#STATION JA1ABC/1 GRID=PM95,PM96 PREF=10 CITY=100101 LOC=東京 移動\r\n"),
            std::wstring::npos)
      << Utf8(log);
  ASSERT_TRUE(SaveLog(app_, folder_.File(L"rover.txt")));
  EXPECT_EQ(ReadBytes(folder_.File(L"rover.txt")), Ansi(log + L"\r\n")) << "Shift-JIS, station lines and all";
  ASSERT_TRUE(ClosesWithoutQuestion(app_));

  // Home again: another station in force; the field log is opened and exported.
  WriteBytes(folder_.File(kSettings), "[Station]\r\n" + IniLine("Call", L"JA1ABC") + IniLine("Grid", L"PM95vr") +
                                          IniLine("Pref", L"11") + IniLine("TQSLloc", L"Home"));
  Zelmor home(folder_);
  ASSERT_TRUE(home.Start());
  ASSERT_TRUE(OpenLog(home, folder_.File(L"rover.txt")));
  const std::wstring summary = ExportAdif(home, folder_.File(L"rover.adi"));
  EXPECT_NE(summary.find(L"局情報（2局）:\r\n　JA1ABC/1 PM95 10 Tokyo-to 100101 Chiyoda-ku\r\n"
                         L"　JA1ABC/1 PM95,PM96 10 Tokyo-to 100101 Chiyoda-ku\r\n"),
            std::wstring::npos)
      << Utf8(summary);
  EXPECT_EQ(summary.find(L"今の局情報"), std::wstring::npos) << "every contact has its station in the log";
  const auto records = AdifRecords(ReadBytes(folder_.File(L"rover.adi")));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].at("CALL"), "JR2AAA");
  EXPECT_EQ(records[0].at("MY_GRIDSQUARE"), "PM95");
  EXPECT_EQ(records[0].count("MY_VUCC_GRIDS"), 0u);
  EXPECT_EQ(records[1].at("CALL"), "JR2BBB");
  EXPECT_EQ(records[1].at("MY_VUCC_GRIDS"), "PM95,PM96");
  for (const AdifRecord& r : records) {
    EXPECT_EQ(r.at("STATION_CALLSIGN"), "JA1ABC/1");
    EXPECT_EQ(r.at("MY_STATE"), "10");
  }

  // Logging on in the opened log: the station in force now is stated before the new contact.
  MakeEntry(home, L"JR2CCC 59 59");
  EXPECT_NE(home.PaneText().find(L"#STATION JA1ABC GRID=PM95vr PREF=11 LOC=Home\r\n"), std::wstring::npos)
      << Utf8(home.PaneText());
  EXPECT_TRUE(ClosesAfterQuestion(home));
}

// A log edited by hand, or written elsewhere, with station lines the dialog would refuse: they
// are unreadable lines to the export, the upload and the summary, and the contacts after them
// keep the station before them; nothing TQSL's lists or grid geometry refuse goes out.
TEST_F(LotwE2E, BrokenStationLinesAreUnreadableAndTheStationBeforeHolds) {
  ASSERT_TRUE(Start(TqslPathSetting(sim_) + StationSection()));
  const std::vector<std::wstring> broken = {
      L"#STATION JA1ABC/1 GRID=PM95 PREF=48 LOC=東京 移動",                // no such prefecture
      L"#STATION JA1ABC/1 GRID=PM95 PREF=11 CITY=100101 LOC=東京 移動",    // a city of Tokyo in Saitama
      L"#STATION JA1ABC/1 GRID=PM95,PM97 PREF=10 LOC=東京 移動",           // grids apart
  };
  const std::wstring log = L"#STATION JA1ABC/1 GRID=PM95,PM96 PREF=10 CITY=100101 LOC=東京 移動\r\n"
                           L"2026/12/07 08:30J JR2AAA 59 59\r\n" +
                           broken[0] + L"\r\n" + broken[1] + L"\r\n" + broken[2] + L"\r\n" +
                           L"2026/12/07 08:40J JR2BBB 59 59\r\n";
  WriteBytes(folder_.File(L"edited.txt"), Ansi(log));
  ASSERT_TRUE(OpenLog(app_, folder_.File(L"edited.txt")));

  const std::wstring summary = ExportAdif(app_, folder_.File(L"edited.adi"));
  EXPECT_NE(summary.find(L"局情報: JA1ABC/1 PM95,PM96 10 Tokyo-to 100101 Chiyoda-ku\r\n"), std::wstring::npos)
      << Utf8(summary);
  EXPECT_EQ(summary.find(L"今の局情報"), std::wstring::npos) << Utf8(summary);
  const std::wstring listed = L"読めない行（出力せず）: 3行\r\n\r\n出力しなかった行:\r\n3行目: " + broken[0] +
                              L"\r\n4行目: " + broken[1] + L"\r\n5行目: " + broken[2];
  EXPECT_EQ(summary.substr(std::min(summary.size(), summary.find(L"読めない行"))), listed) << Utf8(summary);
  const auto records = AdifRecords(ReadBytes(folder_.File(L"edited.adi")));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[1].at("CALL"), "JR2BBB");
  for (const AdifRecord& r : records) {
    EXPECT_EQ(r.at("MY_VUCC_GRIDS"), "PM95,PM96");
    EXPECT_EQ(r.at("MY_STATE"), "10");
    EXPECT_EQ(r.at("MY_CNTY"), "100101");
  }
  EXPECT_NE(worked::SummaryText(app_).find(L"読めなかった行: 3行\r\n"), std::wstring::npos);

  Upload();
  ASSERT_TRUE(sim_.WaitRuns(1, true));
  HWND report = WaitForReport();
  ASSERT_TRUE(report) << app_.Situation();
  const std::wstring text = WaitForOutcome(report);
  EXPECT_NE(text.find(L"ファイルに入れなかった行: 3行"), std::wstring::npos) << Utf8(text);
  const auto journal = sim_.Journal();
  const auto sent = AdifRecords(ReadBytes(sim_.File(journal.front().find("copy")->second)));
  ASSERT_EQ(sent.size(), 2u);
  for (const AdifRecord& r : sent) {
    EXPECT_EQ(r.at("MY_VUCC_GRIDS"), "PM95,PM96");
    EXPECT_EQ(r.at("MY_STATE"), "10");
    EXPECT_EQ(r.at("MY_CNTY"), "100101");
  }
  EXPECT_TRUE(Dismiss(report));
}

TEST_F(LotwE2E, EachExitCodeEndsWithItsMessage) {
  ASSERT_TRUE(Start(TqslPathSetting(sim_) + StationSection()));
  MakeEntry(app_, L"JR2XYZ 59 59");
  const struct {
    int exit_code;
    const wchar_t* status;
    std::wstring first_line;
  } rows[] = {
      {0, L"12:00:00 Final Status: Success (0)", L"LoTWに送信しました。LoTWの処理待ちに入りました（まだ受理されたわけではありません）。"},
      {8, L"Final Status: No QSOs written (8)", L"新しいQSOはありませんでした。"},
      {9, L"Final Status: Some QSOs suppressed (9)", L"一部のQSOを送信し、LoTWの処理待ちに入りました。"},
      {1, L"Final Status: cancelled by user (1)", L"送信は取り消されました。"},
      {2, L"Final Status: Upload Rejected (2)", L"LoTWが送信を受け付けませんでした。"},
      {11, L"Final Status: LoTW Connection Failed (11)", L"LoTWにつながりませんでした（ネットワークがないか、LoTWが応答しません）。"},
      {15, L"Final Status: Passphrase error (15)", L"コールサイン証明書のパスフレーズが違います。送信していません。"},
      {4, L"12:00:00 Final Status: 証明書がありません (4)", L"TQSLが終了コード4で終わりました:"},
  };
  size_t run = 0;
  for (const auto& row : rows) {
    sim_.Set(L"exit", std::to_wstring(row.exit_code));
    sim_.Set(L"status", row.status);
    Upload();
    ASSERT_TRUE(sim_.WaitRuns(++run, true)) << row.exit_code;
    if (row.exit_code == 15) {
      // Asked for the passphrase; cancelled, nothing is tried again.
      HWND ask = WaitForDialog(app_.pid(), L"TQSLのパスフレーズ");
      ASSERT_TRUE(ask) << app_.Situation();
      PressButton(ask, IDCANCEL);
      ASSERT_TRUE(WaitDestroyed(ask));
    }
    HWND report = WaitForReport();
    ASSERT_TRUE(report) << row.exit_code << ": " << app_.Situation();
    const std::wstring text = WaitForOutcome(report);
    EXPECT_EQ(FirstLine(text), row.first_line) << row.exit_code << ": " << Utf8(text);
    const std::wstring adi = app_.File(L"Zelmor-lotw-");
    EXPECT_NE(text.find(L"TQSLの出力: " + adi), std::wstring::npos) << Utf8(text);
    EXPECT_NE(text.find(L".txt"), std::wstring::npos) << Utf8(text);
    if (row.exit_code == 4) EXPECT_NE(text.find(row.status), std::wstring::npos) << "TQSL's own words: " << Utf8(text);
    ASSERT_TRUE(Dismiss(report));
  }
  EXPECT_EQ(sim_.Journal().size(), run) << "no run more than asked for";

  // What TQSL was given: batch mode, the Station Location with its blank and Japanese, the file.
  const auto journal = sim_.Journal();
  const auto args = TqslSim::Arguments(journal.front());
  ASSERT_EQ(args.size(), 10u) << Utf8(journal.front().find("command_line")->second);
  EXPECT_EQ(std::vector<std::wstring>(args.begin(), args.begin() + 9),
            (std::vector<std::wstring>{L"-x", L"-d", L"-u", L"-a", L"compliant", L"-f", L"update", L"-l", L"東京 移動"}));
  EXPECT_EQ(args[9].substr(0, app_.File(L"Zelmor-lotw-").size()), app_.File(L"Zelmor-lotw-"));
  const auto records = AdifRecords(ReadBytes(sim_.File(journal.front().find("copy")->second)));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].at("CALL"), "JR2XYZ");
  EXPECT_EQ(records[0].at("STATION_CALLSIGN"), "JA1ABC/1");
  EXPECT_EQ(records[0].at("MY_GRIDSQUARE"), "PM95");
  EXPECT_EQ(records[0].at("MY_STATE"), "10");
  EXPECT_EQ(records[0].at("MY_CNTY"), "100101");
}

TEST_F(LotwE2E, EntriesGoOnDuringASlowUploadAndASecondIsRefused) {
  TrackerSim tracker(ServedValues(folder_, kRs44), folder_.path());
  ASSERT_TRUE(tracker.ready());
  ASSERT_TRUE(Start(TqslPathSetting(sim_) + StationSection()));
  MakeEntry(app_, L"JR2XYZ 59 59");
  sim_.Hold();
  Upload();
  ASSERT_TRUE(sim_.WaitRuns(1, false));
  HWND report = WaitForReport();
  ASSERT_TRUE(report) << app_.Situation();
  EXPECT_EQ(ReportText(report).substr(0, FirstLine(ZelmorText(IDS_LOTW_RUNNING)).size()),
            FirstLine(ZelmorText(IDS_LOTW_RUNNING)));
  EXPECT_EQ(test_support::FocusOf(app_.window()), app_.entry_box()) << "the report takes no key from the entry box";

  // TQSL sleeps; the operator logs on.
  for (const wchar_t* memo : {L"JA3AAA 59 59", L"JH4BBB 59 57", L"7K1CCC 55 55"}) {
    SendChars(app_.entry_box(), memo);
    ASSERT_TRUE(SendEnter(app_.entry_box()));
    EXPECT_NE(app_.PaneText().find(memo), std::wstring::npos) << Utf8(app_.PaneText());
  }
  EXPECT_NE(app_.SafetyCopy().find("7K1CCC 55 55"), std::string::npos) << "and each reached the safety copy";

  SendCommand(app_.window(), IDM_LOTW_UPLOAD);
  HWND busy = app_.WaitForMessageBox();
  ASSERT_TRUE(busy) << app_.Situation();
  EXPECT_EQ(MessageText(busy), L"LoTWへの送信中です。終わってから、もう一度選んでください。");
  PressButton(busy, IDOK);
  ASSERT_TRUE(WaitDestroyed(busy));
  EXPECT_EQ(sim_.Journal().front().count("exit"), 0u) << "all of it while TQSL still ran";

  sim_.Release();
  const std::wstring text = WaitForOutcome(report);
  EXPECT_EQ(FirstLine(text), L"LoTWに送信しました。LoTWの処理待ちに入りました（まだ受理されたわけではありません）。")
      << Utf8(text);
  EXPECT_NE(text.find(L"QSO: 1件"), std::wstring::npos) << "the log as it stood when sent: " << Utf8(text);
  EXPECT_EQ(sim_.Journal().size(), 1u) << "the second was refused";
  EXPECT_EQ(test_support::FocusOf(app_.window()), app_.entry_box()) << "nor does its end";
  EXPECT_TRUE(Dismiss(report));
}

TEST_F(LotwE2E, MissingTqslIsToldWithWhereToGetIt) {
  ASSERT_TRUE(Start(StationSection()));
  MakeEntry(app_, L"JR2XYZ 59 59");
  SendCommand(app_.window(), IDM_LOTW_UPLOAD);
  HWND box = app_.WaitForMessageBox();
  ASSERT_TRUE(box) << app_.Situation();
  EXPECT_EQ(MessageText(box),
            L"TQSLが見つかりません。\r\nTQSL（TrustedQSL）を https://www.arrl.org/tqsl-download からインストールしてください。\r\n"
            L"別の場所にあるときは、Zelmor.iniの[Zelmor]に TQSLpath=tqsl.exeのパス と書いてください。");
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitDestroyed(box));
  for (const std::wstring& name : FolderNames(folder_.path())) {
    EXPECT_EQ(name.find(L"Zelmor-lotw-"), std::wstring::npos) << "nothing to send without TQSL: " << Utf8(name);
  }
  EXPECT_TRUE(sim_.Journal().empty());
}

TEST_F(LotwE2E, AWrongPassphraseIsAskedForAndTriedOnceMore) {
  ASSERT_TRUE(Start(TqslPathSetting(sim_) + StationSection()));
  MakeEntry(app_, L"JR2XYZ 59 59");
  sim_.Set(L"exit", L"15");
  sim_.Set(L"status", L"Final Status: Passphrase error (15)");
  sim_.Set(L"passphrase", L"pass word");
  sim_.Set(L"retry_exit", L"0");
  sim_.Set(L"retry_status", L"Final Status: Success (0)");
  Upload();
  HWND ask = WaitForDialog(app_.pid(), L"TQSLのパスフレーズ", 20000);
  ASSERT_TRUE(ask) << app_.Situation();
  SendMessageW(GetDlgItem(ask, IDC_PASSPHRASE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"pass word"));
  PressButton(ask, IDOK);
  ASSERT_TRUE(WaitDestroyed(ask));
  ASSERT_TRUE(sim_.WaitRuns(2, true));
  HWND report = WaitForReport();
  ASSERT_TRUE(report) << app_.Situation();
  const std::wstring text = WaitForOutcome(report);
  EXPECT_EQ(FirstLine(text), L"LoTWに送信しました。LoTWの処理待ちに入りました（まだ受理されたわけではありません）。")
      << Utf8(text);
  const auto journal = sim_.Journal();
  ASSERT_EQ(journal.size(), 2u);
  const auto retry = TqslSim::Arguments(journal[1]);
  ASSERT_GE(retry.size(), 3u);
  EXPECT_EQ(retry[retry.size() - 3], L"-p");
  EXPECT_EQ(retry[retry.size() - 2], L"pass word");
  EXPECT_EQ(retry.back(), TqslSim::Arguments(journal[0]).back()) << "the same file again";
  // Used for the run, kept nowhere.
  for (const std::wstring& name : FolderNames(folder_.path())) {
    if (name.find(L"tqsl-sim") != std::wstring::npos) continue;
    EXPECT_EQ(ReadBytes(folder_.File(name)).find("pass word"), std::string::npos) << Utf8(name);
  }
}

TEST_F(LotwE2E, ClosingDuringAnUploadAsksAndTqslGoesOnAlone) {
  ASSERT_TRUE(Start(TqslPathSetting(sim_) + StationSection()));
  MakeEntry(app_, L"JR2XYZ 59 59");
  ASSERT_TRUE(SaveLog(app_, folder_.File(L"log.txt")));
  sim_.Hold();
  Upload();
  ASSERT_TRUE(sim_.WaitRuns(1, false));

  app_.RequestClose();
  HWND question = app_.WaitForMessageBox();
  ASSERT_TRUE(Answer(question, IDS_LOTW_CLOSE_QUESTION, IDNO));
  EXPECT_TRUE(IsWindow(app_.window())) << "No keeps Zelmor open";

  // Windows ending the session asks too, in other words: TQSL would end with it.
  DWORD_PTR allowed = TRUE;
  std::thread session([&] {
    SendMessageTimeoutW(app_.window(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 20000, &allowed);
  });
  question = app_.WaitForMessageBox();
  const ::testing::AssertionResult asked = Answer(question, IDS_LOTW_END_SESSION_QUESTION, IDNO);
  session.join();
  EXPECT_TRUE(asked);
  EXPECT_EQ(allowed, static_cast<DWORD_PTR>(FALSE)) << "No refuses the session's end";

  app_.RequestClose();
  ASSERT_TRUE(Answer(app_.WaitForMessageBox(), IDS_LOTW_CLOSE_QUESTION, IDYES));
  ASSERT_TRUE(app_.WaitExit());
  EXPECT_EQ(sim_.Journal().front().count("exit"), 0u) << "TQSL is not stopped with Zelmor";
  sim_.Release();
  EXPECT_TRUE(sim_.WaitRuns(1, true)) << "TQSL finished its upload after Zelmor had gone";
}

}  // namespace
}  // namespace e2e
