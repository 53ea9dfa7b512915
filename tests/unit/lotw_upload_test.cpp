// The station command and the LoTW upload command with the main window, TQSL and the operator's
// answers faked.

#include "lotw/lotw_upload.h"

#include <gtest/gtest.h>

#include <string>

#include "entry/log_format.h"
#include "file_command_fakes.h"
#include "occurrences.h"
#include "printable.h"
#include "settings/keys.h"
#include "station/station_command.h"
#include "upload_fakes.h"

namespace zelmor::lotw {
namespace {

using fakes::Journal;
using test_support::Utf8;

constexpr wchar_t kExeFolder[] = L"C:\\Zelmor";
constexpr wchar_t kTqsl[] = L"D:\\TQSL\\tqsl.exe";
const station::Station kHome{L"JA1ABC/1", {L"PM95"}, L"10", L"100101", L"東京 移動"};

// One entry of the default template, at 08:30 in Japan.
constexpr wchar_t kContact[] =
    L"2026/12/07 08:30J JR2XYZ 59 59 %Sat=RS-44/Rev:1% 145/435 SSB Up=145.965/Down=435.640\r\n";

using test_support::Occurrences;

// Public, so that the rows of a test can arrange it.
class LotwUploadTest : public ::testing::Test, public fakes::FileCommandFakes {
 public:
  LotwUploadTest() : FileCommandFakes(kExeFolder) {
    state.template_text = entry::kDefaultTemplate;
    clock.now = {2026, 12, 7, 21, 5, 0};
    store.Put(L"Zelmor", L"TQSLpath", kTqsl);
    places.files = {kTqsl};
    tqsl.journal = &journal;
    views.journal = &journal;
    dialog.journal = &journal;
    pane.text = kContact;
  }

  // The upload's file in the log folder, and TQSL's output beside it.
  std::wstring Sent() const { return std::wstring(kExeFolder) + L"\\Zelmor-lotw-261207-2105.adi"; }
  void Ends(int exit_code, const std::wstring& status = L"") {
    tqsl.outcomes.push_back({exit_code, status, L"C:\\Zelmor\\Zelmor-lotw-261207-2105.txt", false});
    tqsl.ended = true;
    upload.OnTqslEnded();
  }

  const FixedOffsetZone japan{540};
  station::CurrentStation station{profile};
  fakes::FakeStationDialog dialog;
  fakes::FakeTqsl tqsl;
  fakes::FakeTqslPlaces places;
  fakes::FakeUploadViews views;
  struct RecordingCopy : entry::SafetyCopyWriter {
    std::vector<std::wstring> appended;
    bool Write(entry::LogPane&, const std::wstring& text) override {
      appended.push_back(text);
      return true;
    }
  } safety_copy;
  station::StationStatement statement{station};
  station::StationCommand station_command{context, station, statement, dialog, safety_copy};
  LotwUpload upload{context, {japan, L"1.00", station, station_command, tqsl, places, views}};
};

TEST_F(LotwUploadTest, ExportsWithTheStationToADatedFileAndStartsTqslInBatchMode) {
  station.Set(kHome);
  store.Put(L"Zelmor", L"LOGfol", L"E:\\logs");
  upload.Upload();

  const std::wstring file = L"E:\\logs\\Zelmor-lotw-261207-2105.adi";
  ASSERT_EQ(files.disk.count(file), 1u) << "the log folder, the local date and time";
  EXPECT_EQ(Occurrences(files.disk[file], L"<EOR>"), 1u);
  EXPECT_EQ(Occurrences(files.disk[file], L"<STATION_CALLSIGN:8>JA1ABC/1 <MY_GRIDSQUARE:4>PM95 <MY_STATE:2>10 "
                                          L"<MY_CNTY:6>100101 <MY_DXCC:3>339"),
            1u);
  ASSERT_EQ(tqsl.runs.size(), 1u);
  EXPECT_EQ(tqsl.runs[0].job.tqsl, kTqsl);
  EXPECT_EQ(tqsl.runs[0].job.station_location, L"東京 移動");
  EXPECT_EQ(tqsl.runs[0].job.adif_path, file);
  EXPECT_FALSE(tqsl.runs[0].passphrase);
  EXPECT_TRUE(messages.shown.empty()) << "nothing waits for the operator";
  ASSERT_EQ(views.reports.size(), 1u);
  EXPECT_EQ(views.reports[0],
            L"TQSLでLoTWへ送信しています…\r\n終わるまでLOGの入力は続けられます。\r\n"
            L"\r\n"
            L"ADIFファイル: E:\\logs\\Zelmor-lotw-261207-2105.adi\r\n"
            L"QSO: 1件\r\n"
            L"局情報: JA1ABC/1 PM95 10 Tokyo-to 100101 Chiyoda-ku\r\n"
            L"　うちログに局情報の行がなく、今の局情報で出力: 1件");
  EXPECT_EQ(pane.text, kContact) << "the log is only read";
}

TEST_F(LotwUploadTest, TheEndOfTqslIsReportedWithItsMessage) {
  const struct {
    int exit_code;
    const wchar_t* status;
    const wchar_t* first_line;
  } rows[] = {
      {0, L"Final Status: Success (0)", L"LoTWに送信しました。LoTWの処理待ちに入りました（まだ受理されたわけではありません）。"},
      {8, L"", L"新しいQSOはありませんでした。"},
      {9, L"", L"一部のQSOを送信し、LoTWの処理待ちに入りました。"},
      {1, L"", L"送信は取り消されました。"},
      {2, L"", L"LoTWが送信を受け付けませんでした。"},
      {11, L"", L"LoTWにつながりませんでした（ネットワークがないか、LoTWが応答しません）。"},
      {6, L"12:00:00 Final Status: Upload failed (6)", L"TQSLが終了コード6で終わりました:"},
  };
  station.Set(kHome);
  for (const auto& row : rows) {
    views.reports.clear();
    upload.Upload();
    Ends(row.exit_code, row.status);
    ASSERT_EQ(views.reports.size(), 2u) << row.exit_code;
    const std::wstring& report = views.reports[1];
    EXPECT_EQ(report.substr(0, report.find(L"\r\n")), row.first_line) << row.exit_code << ": " << Utf8(report);
    EXPECT_NE(report.find(L"TQSLの出力: C:\\Zelmor\\Zelmor-lotw-261207-2105.txt"), std::wstring::npos) << Utf8(report);
    EXPECT_NE(report.find(L"ADIFファイル: " + Sent()), std::wstring::npos) << Utf8(report);
    EXPECT_FALSE(upload.Running());
  }
  EXPECT_EQ(views.asked, 0) << "no passphrase asked for";
}

TEST_F(LotwUploadTest, AWrongPassphraseIsAskedForOnceAndTriedOnce) {
  station.Set(kHome);
  views.passphrase = L"pass word";
  upload.Upload();
  Ends(15);
  ASSERT_EQ(tqsl.runs.size(), 2u);
  EXPECT_EQ(tqsl.runs[1].passphrase, std::optional<std::wstring>(L"pass word"));
  EXPECT_EQ(tqsl.runs[1].job.adif_path, tqsl.runs[0].job.adif_path) << "the same file again";
  Ends(15);
  EXPECT_EQ(tqsl.runs.size(), 2u) << "one retry only";
  EXPECT_EQ(views.asked, 1);
  EXPECT_EQ(views.reports.back().substr(0, views.reports.back().find(L"\r\n")),
            L"コールサイン証明書のパスフレーズが違います。送信していません。");
  EXPECT_EQ(store.Get(L"Zelmor", L"TQSLpath", L""), kTqsl);
  for (const auto& section : {L"Zelmor", L"Station"}) {
    for (const auto& [key, value] : store.Entries(section)) {
      EXPECT_EQ(value.find(L"pass word"), std::wstring::npos) << "stored under " << Utf8(key);
    }
  }

  // Cancelled: the report says so at once.
  upload.Upload();
  views.passphrase.reset();
  Ends(15);
  EXPECT_EQ(tqsl.runs.size(), 3u);
  EXPECT_EQ(views.reports.back().substr(0, views.reports.back().find(L"\r\n")),
            L"コールサイン証明書のパスフレーズが違います。送信していません。");
}

TEST_F(LotwUploadTest, WhatStopsAnUploadIsToldAndStartsNoTqsl) {
  struct Row {
    const char* what;
    void (*arrange)(LotwUploadTest&);
    const wchar_t* message;
  };
  const Row rows[] = {
      {"an upload under way", [](LotwUploadTest& t) { t.tqsl.running = true; },
       L"LoTWへの送信中です。終わってから、もう一度選んでください。"},
      {"no TQSL anywhere", [](LotwUploadTest& t) { t.places.files.clear(); },
       L"TQSLが見つかりません。\r\nTQSL（TrustedQSL）を https://www.arrl.org/tqsl-download からインストールしてください。\r\n"
       L"別の場所にあるときは、Zelmor.iniの[Zelmor]に TQSLpath=tqsl.exeのパス と書いてください。"},
      {"a log of no contact", [](LotwUploadTest& t) { t.pane.text = L"73 TNX QRT\r\n2026/12/07 08:30J CQ\r\n"; },
       L"LoTWへ送れるQSOがログにありません（コールサインと日時の読めるQSOの行がありません）。\r\nTQSLは起動していません。"},
      {"a file that cannot be written", [](LotwUploadTest& t) { t.files.refuse_writes = true; },
       L"LoTWへ送るADIFファイルが保存出来ませんでした:\r\nC:\\Zelmor\\Zelmor-lotw-261207-2105.adi"},
      {"TQSL that does not start", [](LotwUploadTest& t) { t.tqsl.start = TqslProcess::Start::Failed; },
       L"TQSLを起動できませんでした:\r\naccess denied (5)"},
  };
  for (const Row& row : rows) {
    station.Set(kHome);
    tqsl = fakes::FakeTqsl();
    places.files = {kTqsl};
    files = fakes::FakeFiles();
    pane.text = kContact;
    messages.shown.clear();
    views.reports.clear();
    row.arrange(*this);
    upload.Upload();
    ASSERT_EQ(messages.shown.size(), 1u) << row.what;
    EXPECT_EQ(messages.shown[0].text, row.message) << row.what;
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok) << row.what;
    EXPECT_TRUE(tqsl.runs.empty()) << row.what;
    EXPECT_TRUE(views.reports.empty()) << row.what;
  }
}

TEST_F(LotwUploadTest, WithoutAStationTheDialogIsOfferedAndTheUploadGoesOnWithIt) {
  messages.answer = MessageAnswer::No;
  upload.Upload();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            L"局情報が設定されていません。\r\nLoTWへ送るには、コールサイン、グリッド、TQSLのStation Locationが要ります。\r\n"
            L"局情報を設定しますか？");
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_FALSE(dialog.shown) << "No: no dialog";

  messages.answer = MessageAnswer::Yes;
  upload.Upload();
  EXPECT_TRUE(dialog.shown) << "Yes: the dialog";
  EXPECT_TRUE(tqsl.runs.empty()) << "cancelled in the dialog: nothing sent";
  EXPECT_TRUE(files.disk.empty());

  dialog.answer = kHome;
  upload.Upload();
  ASSERT_EQ(tqsl.runs.size(), 1u);
  EXPECT_EQ(tqsl.runs[0].job.station_location, L"東京 移動");
  EXPECT_EQ(station.Get(), kHome);
  EXPECT_EQ(store.Get(L"Station", L"Call", L""), L"JA1ABC/1");
}

TEST_F(LotwUploadTest, EditModeIsLeftFirstAndAStaleNoticeDoesNothing) {
  station.Set(kHome);
  state.edit_mode = true;
  upload.Upload();
  EXPECT_EQ(journal, (Journal{L"leave edit mode", L"tqsl", L"report"}));
  journal.clear();
  upload.OnTqslEnded();  // TQSL still runs
  tqsl.ended = true;
  tqsl.outcomes.push_back({0, L"", L"x.txt", false});
  upload.OnTqslEnded();
  upload.OnTqslEnded();  // the same end told twice
  EXPECT_EQ(journal, Journal{L"report"});
}

TEST_F(LotwUploadTest, StationCommandStatesTheNewStationInTheLogLikeAnEntry) {
  const std::wstring home = L"#STATION JA1ABC/1 GRID=PM95 PREF=10 CITY=100101 LOC=東京 移動\r\n";
  dialog.answer = kHome;
  ASSERT_TRUE(station_command.Ask());
  EXPECT_EQ(pane.text, kContact + home);
  EXPECT_EQ(safety_copy.appended, std::vector<std::wstring>{home});
  EXPECT_TRUE(pane.caret_at_end);
  EXPECT_TRUE(state.log_unsaved) << "a line was added";

  // The same station again: the log holds it already.
  state.log_unsaved = false;
  ASSERT_TRUE(station_command.Ask());
  EXPECT_EQ(pane.text, kContact + home);
  EXPECT_FALSE(state.log_unsaved);

  // ... unless the pane was replaced since (another log opened) and its last line left open.
  pane.SetText(L"2026/12/01 10:00J JA2XYZ");
  ASSERT_TRUE(station_command.Ask());
  EXPECT_EQ(pane.text, L"2026/12/01 10:00J JA2XYZ\r\n" + home);

  // A grid line crossed: the new station from here on.
  const station::Station rover{L"JA1ABC/1", {L"PM95", L"PM96"}, L"10", L"", L"東京 移動"};
  dialog.answer = rover;
  ASSERT_TRUE(station_command.Ask());
  EXPECT_EQ(pane.text, L"2026/12/01 10:00J JA2XYZ\r\n" + home + L"#STATION JA1ABC/1 GRID=PM95,PM96 PREF=10 LOC=東京 移動\r\n");
  EXPECT_EQ(safety_copy.appended.size(), 3u);

  dialog.answer.reset();
  const std::wstring before = pane.text;
  EXPECT_FALSE(station_command.Ask());
  EXPECT_EQ(pane.text, before) << "cancelled: nothing stated";
}

TEST_F(LotwUploadTest, StationCommandStoresWhatTheOperatorConfirmed) {
  state.edit_mode = true;
  EXPECT_FALSE(station_command.Ask()) << "cancelled";
  EXPECT_EQ(journal, (Journal{L"leave edit mode", L"station dialog"}));
  ASSERT_TRUE(dialog.shown);
  EXPECT_FALSE(*dialog.shown) << "filled with no station";
  EXPECT_FALSE(station.Get());

  dialog.answer = kHome;
  EXPECT_TRUE(station_command.Ask());
  EXPECT_EQ(station.Get(), kHome);
  EXPECT_EQ(station::LoadStation(profile), kHome);
  EXPECT_TRUE(messages.shown.empty());

  const station::Station rover{L"JA1ABC/1", {L"PM95", L"PM96"}, L"10", L"", L"東京 移動"};
  dialog.answer = rover;
  store.refuse_writes = true;
  EXPECT_TRUE(station_command.Ask());
  ASSERT_TRUE(dialog.shown);
  EXPECT_EQ(*dialog.shown, kHome) << "filled with the one in force";
  EXPECT_EQ(station.Get(), rover) << "in force for the run";
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            L"局情報をZelmor.iniに保存出来ませんでした。\r\nこの局情報は、Zelmorを終了するまで使います。");
}

}  // namespace
}  // namespace zelmor::lotw
