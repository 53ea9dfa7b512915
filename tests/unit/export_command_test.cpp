#include "adif/export_command.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "entry/log_format.h"
#include "file_command_fakes.h"
#include "occurrences.h"
#include "settings/keys.h"
#include "printable.h"

namespace zelmor::adif {
namespace {

constexpr wchar_t kExeFolder[] = L"C:\\Zelmor";

using fakes::Journal;

using test_support::Occurrences;
using test_support::Utf8;

class ExportCommandTest : public ::testing::Test, protected fakes::FileCommandFakes {
 protected:
  ExportCommandTest() : FileCommandFakes(kExeFolder) {
    state.template_text = entry::kDefaultTemplate;
    dialogs.chosen = L"E:\\lotw\\pass.adi";
    // 08:30 on 7 December in Japan is 23:30 on 6 December in UTC.
    clock.now = {2026, 12, 7, 8, 30, 15};
  }

  const FixedOffsetZone japan{540};
  station::CurrentStation station{profile};
  ExportCommand command{context, japan, L"1.00", station};
};

TEST_F(ExportCommandTest, ProposesTodaysFileInTheLogFolderAndLeavesTheFolderSetting) {
  struct Row {
    const char* what;
    std::optional<std::wstring> stored;
    std::wstring start;
  };
  const Row rows[] = {
      {"no log folder yet", std::nullopt, kExeFolder},
      {"the folder of the last saved log", L"D:\\logs", L"D:\\logs"},
      {"a folder the dialog cannot start in", L"D:\\" + std::wstring(300, L'f'), kExeFolder},
  };
  for (const Row& row : rows) {
    store = settings::MemoryProfileStore();
    if (row.stored) store.Put(L"Zelmor", L"LOGfol", *row.stored);
    command.Export();
    ASSERT_TRUE(dialogs.seen) << row.what;
    EXPECT_EQ(dialogs.seen->initial_dir, row.start) << row.what;
    EXPECT_EQ(dialogs.seen->file_name, L"Zelmor261207.adi") << row.what << ": the local date, not UTC's";
    EXPECT_EQ(dialogs.seen->filter, L"ADIFﾌｧｲﾙ (*.adi)|*.adi");
    EXPECT_EQ(dialogs.seen->title, L"ADIF出力");
    EXPECT_EQ(dialogs.existing, logfiles::ExistingFile::AskFirst) << "a file for other programs: asked before replacing";
    // The log folder is where logs go; an ADIF file is made for somewhere else.
    if (row.stored) {
      EXPECT_EQ(store.Get(L"Zelmor", L"LOGfol", L""), *row.stored) << row.what;
    } else {
      EXPECT_FALSE(store.Has(L"Zelmor", L"LOGfol")) << row.what;
    }
  }
}

TEST_F(ExportCommandTest, WritesEveryLineWithTheTemplateLocaleZoneAndOperatorSpellings) {
  // Wine's Japanese short date, a template of the operator's own, and a spelling in "Zelmor.ini".
  locale.formats.short_date = L"yyyy/M/d";
  state.template_text = L"#DT #TMJ [#SN #MD] #MM";
  store.Put(L"SatNames", L"GreenCube", L"IO-117");
  state.log_unsaved = true;
  pane.text =
      L"2026/12/7 08:30J JA1ABC 59 55 PM95 %Sat=SO-50/Rev:97254% 145/436 FM Up=145.850/Down=436.795\r\n"
      L"2026/12/7 08:41J JR2XYZ 59 59\r\n"
      L"2026/12/7 08:50J [GREENCUBE FM] 7K1DEF 59 59\r\n"
      L"QRT 73\r\n"
      L"2026/12/7 09:05J [ZZ-99 FM] JA3GHI\r\n";
  const std::wstring log = pane.text;
  command.Export();

  ASSERT_EQ(files.disk.count(L"E:\\lotw\\pass.adi"), 1u);
  const std::wstring adif = files.disk[L"E:\\lotw\\pass.adi"];
  EXPECT_NE(adif.find(L"<PROGRAMVERSION:4>1.00\r\n"), std::wstring::npos) << Utf8(adif);
  EXPECT_NE(adif.find(L"<CREATED_TIMESTAMP:15>20261206 233015\r\n"), std::wstring::npos) << Utf8(adif);
  EXPECT_EQ(Occurrences(adif, L"<EOR>\r\n"), 4u) << Utf8(adif);
  EXPECT_NE(adif.find(L"<CALL:6>JA1ABC <QSO_DATE:8>20261206 <TIME_ON:4>2330 "), std::wstring::npos) << Utf8(adif);
  EXPECT_NE(adif.find(L"<SAT_NAME:5>SO-50"), std::wstring::npos) << Utf8(adif);
  EXPECT_NE(adif.find(L"<CALL:6>JR2XYZ <QSO_DATE:8>20261206 <TIME_ON:4>2341 "), std::wstring::npos) << Utf8(adif);
  EXPECT_NE(adif.find(L"<CALL:6>7K1DEF"), std::wstring::npos) << "read with the current template: " << Utf8(adif);
  EXPECT_NE(adif.find(L"<SAT_NAME:6>IO-117"), std::wstring::npos) << Utf8(adif);
  EXPECT_NE(adif.find(L"<CALL:6>JA3GHI <QSO_DATE:8>20261207 <TIME_ON:4>0005 "), std::wstring::npos) << Utf8(adif);
  EXPECT_EQ(files.leftovers_removed, std::vector<std::wstring>{L"E:\\lotw\\pass.adi"});
  EXPECT_TRUE(state.log_unsaved) << "an export does not save the log";
  EXPECT_EQ(pane.text, log) << "the pane is only read";

  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            L"ADIFファイルに出力しました。\r\n"
            L"\r\n"
            L"局情報: なし（自局のコールサインやグリッドは出力していません）\r\n"
            L"出力したQSO: 4件\r\n"
            L"　うち衛星データなし: 1件\r\n"
            L"　うちLoTWにない衛星名: 1件\r\n"
            L"　　（ZZ-99）\r\n"
            L"　　Zelmor.iniの[SatNames]で指定できます\r\n"
            L"読めない行（出力せず）: 1行\r\n"
            L"\r\n"
            L"出力しなかった行:\r\n"
            L"4行目: QRT 73");
  EXPECT_EQ(messages.shown[0].title, std::nullopt);
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
}

// A picture without the year reads the dates by the clock's: the command hands its reading on.
TEST_F(ExportCommandTest, DatesWithoutTheirYearTakeTheYearFromTheClock) {
  locale.formats.short_date = L"M/d";
  pane.text =
      L"12/7 08:29J JA1ABC 59 59\r\n"   // a minute before the clock: this year
      L"12/8 00:10J JA2XYZ 59 59\r\n";  // tomorrow's date: last year's contact
  command.Export();
  const std::wstring adif = files.disk[L"E:\\lotw\\pass.adi"];
  EXPECT_NE(adif.find(L"<CALL:6>JA1ABC <QSO_DATE:8>20261206 <TIME_ON:4>2329 "), std::wstring::npos) << Utf8(adif);
  EXPECT_NE(adif.find(L"<CALL:6>JA2XYZ <QSO_DATE:8>20251207 <TIME_ON:4>1510 "), std::wstring::npos) << Utf8(adif);
}

TEST_F(ExportCommandTest, RecordsCarryTheStationInForceAndTheSummaryNamesIt) {
  station.Set({L"JA1ABC/1", {L"PM95", L"PM96"}, L"10", L"100101", L"Home"});
  pane.text = L"2026/12/07 08:41J JR2XYZ 59 59\r\n2026/12/07 08:43J JR3XYZ 59 59\r\n";
  command.Export();
  const std::wstring adif = files.disk[L"E:\\lotw\\pass.adi"];
  EXPECT_EQ(Occurrences(adif, L"<STATION_CALLSIGN:8>JA1ABC/1 <MY_VUCC_GRIDS:9>PM95,PM96 <MY_STATE:2>10 "
                              L"<MY_CNTY:6>100101 <MY_DXCC:3>339"),
            2u)
      << Utf8(adif);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            L"ADIFファイルに出力しました。\r\n"
            L"\r\n"
            L"局情報: JA1ABC/1 PM95,PM96 10 Tokyo-to 100101 Chiyoda-ku\r\n"
            L"出力したQSO: 2件\r\n"
            L"　うちログに局情報の行がなく、今の局情報で出力: 2件\r\n"
            L"　うち衛星データなし: 2件\r\n"
            L"　うちLoTWにない衛星名: 0件\r\n"
            L"読めない行（出力せず）: 0行");
}

TEST(ExportSummaryTextTest, SeveralStationsAreListedEach) {
  ExportSummary s;
  s.exported = 3;
  s.stations = {{L"JA1ABC/1", {L"PM95"}, L"10", L"", L"Home"}, {L"JA1ABC/1", {L"PM95", L"PM96"}, L"", L"", L"Home"}};
  EXPECT_EQ(StationSummary(s), (std::vector<std::wstring>{L"局情報（2局）:", L"　JA1ABC/1 PM95 10 Tokyo-to",
                                                          L"　JA1ABC/1 PM95,PM96"}));
}

TEST_F(ExportCommandTest, CancelWritesAndShowsNothing) {
  pane.text = L"2026/12/07 08:41J JR2XYZ 59 59\r\n";
  dialogs.answer = false;
  command.Export();
  EXPECT_TRUE(files.disk.empty());
  EXPECT_TRUE(files.leftovers_removed.empty());
  EXPECT_EQ(journal, Journal{L"save dialog"});
}

TEST_F(ExportCommandTest, FailedWriteIsReportedAndLeavesTheOldFile) {
  pane.text = L"2026/12/07 08:41J JR2XYZ 59 59\r\n";
  files.disk[L"E:\\lotw\\pass.adi"] = L"the previous export";
  files.refuse_writes = true;
  command.Export();
  EXPECT_EQ(files.disk[L"E:\\lotw\\pass.adi"], L"the previous export");
  ASSERT_EQ(messages.shown.size(), 1u) << "the failure, and no summary";
  EXPECT_EQ(messages.shown[0].text, L"ADIFファイルが保存出来ませんでした。");
  EXPECT_EQ(messages.shown[0].title, std::nullopt);
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
}

TEST_F(ExportCommandTest, EditModeIsLeftBeforeTheDialog) {
  state.edit_mode = true;
  dialogs.answer = false;
  command.Export();
  EXPECT_EQ(journal, (Journal{L"leave edit mode", L"save dialog"}));
  journal.clear();
  command.Export();
  EXPECT_EQ(journal, Journal{L"save dialog"}) << "edit mode off, nothing to leave";
}

TEST(ExportSummaryTextTest, RareNotesOnlyWhenTheyHappenAndLongListsCut) {
  ExportSummary s;
  s.exported = 30;
  s.unknown_satellite_names = 13;
  for (int i = 1; i <= 11; ++i) s.unknown_names.push_back(L"X-" + std::to_wstring(i));
  s.unknown_names[1].clear();  // satellite data without a name
  s.unknown_modes = 2;
  s.text_replaced = 3;
  s.skipped.push_back({5, L"CQ CQ", SkipReason::NoCallSign});
  s.skipped.push_back({6, std::wstring(61, L'x'), SkipReason::Unreadable});
  s.skipped.push_back({7, L"1999/02/30 10:00J JA1ABC", SkipReason::NoUtcTime});
  for (size_t line = 8; line <= 16; ++line) s.skipped.push_back({line, L"?", SkipReason::Unreadable});

  EXPECT_EQ(SummaryText(s),
            L"ADIFファイルに出力しました。\r\n"
            L"\r\n"
            L"局情報: なし（自局のコールサインやグリッドは出力していません）\r\n"
            L"出力したQSO: 30件\r\n"
            L"　うち衛星データなし: 0件\r\n"
            L"　うちLoTWにない衛星名: 13件\r\n"
            L"　　（X-1, 衛星名なし, X-3, X-4, X-5, X-6, X-7, X-8, X-9, X-10, \u2026）\r\n"
            L"　　Zelmor.iniの[SatNames]で指定できます\r\n"
            L"　うちADIFにないモード: 2件\r\n"
            L"　うち日本語などを?にした: 3件\r\n"
            L"読めない行（出力せず）: 10行\r\n"
            L"コールサインのない行（出力せず）: 1行\r\n"
            L"UTCにできない日時の行（出力せず）: 1行\r\n"
            L"\r\n"
            L"出力しなかった行:\r\n"
            L"5行目: CQ CQ\r\n"
            L"6行目: " + std::wstring(60, L'x') + L"\u2026\r\n"
            L"7行目: 1999/02/30 10:00J JA1ABC\r\n"
            L"8行目: ?\r\n9行目: ?\r\n10行目: ?\r\n11行目: ?\r\n12行目: ?\r\n13行目: ?\r\n14行目: ?\r\n"
            L"…ほか2行");

  // A clean export: the four counts, nothing more.
  EXPECT_EQ(SummaryText(ExportSummary{}),
            L"ADIFファイルに出力しました。\r\n\r\n局情報: なし（自局のコールサインやグリッドは出力していません）\r\n"
            L"出力したQSO: 0件\r\n　うち衛星データなし: 0件\r\n"
            L"　うちLoTWにない衛星名: 0件\r\n読めない行（出力せず）: 0行");
}

}  // namespace
}  // namespace zelmor::adif
