// A contact keeps the station it was made from: the log's station lines, written by the entry box
// and the station command, carried through a save, an open on another day and an edit, and read
// by the ADIF export for each record.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adif/export_command.h"
#include "entry/entry_box.h"
#include "entry/log_format.h"
#include "file_command_fakes.h"
#include "logfiles/log_commands.h"
#include "station/station_command.h"
#include "upload_fakes.h"

namespace zelmor::station {
namespace {

struct NoCopy : entry::SafetyCopyWriter {
  bool Write(entry::LogPane&, const std::wstring&) override { return true; }
};

const station::Station kTokyo{L"JA1ABC/1", {L"PM95"}, L"10", L"100101", L"Portable"};
const station::Station kGridLine{L"JA1ABC/1", {L"PM95", L"PM96"}, L"10", L"", L"Portable"};
const station::Station kHome{L"JA1ABC", {L"PM95vr"}, L"11", L"1101", L"Home"};

class StationBindingTest : public ::testing::Test, protected fakes::FileCommandFakes {
 protected:
  StationBindingTest() : FileCommandFakes(L"C:\\Zelmor") {
    state.template_text = entry::kDefaultTemplate;
    clock.now = {2026, 12, 7, 8, 30, 0};
  }

  void Enter(const std::wstring& memo) {
    entry.text = memo;
    entry::OnEntryKey(entry_box, entry::kEnterKey);
  }
  void SetStation(const station::Station& s) {
    dialog.answer = s;
    station_command.Ask();
  }
  // Each record's call and its STATION_CALLSIGN, MY_ grid and MY_STATE, as the export writes them.
  std::vector<std::string> Exported() {
    dialogs.chosen = L"C:\\Zelmor\\out.adi";
    export_command.Export();
    const std::wstring adif = files.disk[dialogs.chosen];
    std::vector<std::string> records;
    const auto field = [](const std::wstring& record, const std::wstring& name) {
      const size_t at = record.find(L"<" + name + L":");
      if (at == std::wstring::npos) return std::string("-");
      const size_t close = record.find(L'>', at);
      const size_t length = std::stoul(record.substr(at + name.size() + 2, close - at - name.size() - 2));
      const std::wstring value = record.substr(close + 1, length);
      return std::string(value.begin(), value.end());
    };
    for (size_t start = adif.find(L"<CALL:"); start != std::wstring::npos; start = adif.find(L"<CALL:", start + 1)) {
      const std::wstring record = adif.substr(start, adif.find(L"<EOR>", start) - start);
      const std::string grid = field(record, L"MY_GRIDSQUARE") != "-" ? field(record, L"MY_GRIDSQUARE")
                                                                      : field(record, L"MY_VUCC_GRIDS");
      records.push_back(field(record, L"CALL") + " " + field(record, L"STATION_CALLSIGN") + " " + grid + " " +
                        field(record, L"MY_STATE"));
    }
    return records;
  }

  fakes::FakeFeedLinks links;
  entry::Feed feed{links};
  fakes::FakeEntry entry;
  NoCopy copy;
  station::CurrentStation station{profile};
  station::StationStatement statement{station};
  entry::EntryBoxContext entry_box{state, feed, pane, entry, clock, locale, copy, statement};
  fakes::FakeStationDialog dialog;
  StationCommand station_command{context, station, statement, dialog, copy};
  logfiles::LogCommands log_commands{context};
  const FixedOffsetZone japan{540};
  adif::ExportCommand export_command{context, japan, L"1.00", station};
};

TEST_F(StationBindingTest, ARoverLogKeepsEachContactsStationThroughSaveOpenAndEdit) {
  SetStation(kTokyo);
  Enter(L"JR2AAA 59 59");
  Enter(L"JR2BBB 59 59");
  // Across the grid line, mid-log.
  SetStation(kGridLine);
  Enter(L"JR2CCC 59 59");
  const std::vector<std::string> logged{"JR2AAA JA1ABC/1 PM95 10", "JR2BBB JA1ABC/1 PM95 10",
                                        "JR2CCC JA1ABC/1 PM95,PM96 10"};
  EXPECT_EQ(Exported(), logged);

  dialogs.chosen = L"C:\\Zelmor\\field.txt";
  log_commands.SaveLog();
  // Another day, at home: the station in force is another, and the log is opened again.
  station.Set(kHome);
  pane.SetText(L"");
  dialogs.chosen = L"C:\\Zelmor\\field.txt";
  log_commands.OpenLog();
  EXPECT_EQ(Exported(), logged) << "each contact as it was made, not as the station is now";

  // An edit of a call: the stations stay.
  pane.Edit(pane.text.replace(pane.text.find(L"JR2BBB"), 6, L"JR2BBX"));
  EXPECT_EQ(Exported(), (std::vector<std::string>{"JR2AAA JA1ABC/1 PM95 10", "JR2BBX JA1ABC/1 PM95 10",
                                                  "JR2CCC JA1ABC/1 PM95,PM96 10"}));
  // Logging on in the opened log: home's station is stated before the new contact.
  Enter(L"JR2DDD 59 59");
  EXPECT_EQ(Exported().back(), "JR2DDD JA1ABC PM95vr 11");
  const adif::ExportSummary summary = adif::ExportPane(context, japan, L"1.00", station.Get()).summary;
  EXPECT_EQ(summary.stations, (std::vector<station::Station>{kTokyo, kGridLine, kHome}));
  EXPECT_EQ(summary.with_current_station, 0u);
}

TEST_F(StationBindingTest, ContactsAboveEveryStationLineTakeTheCurrentStationAndAreCounted) {
  pane.text = L"2026/12/07 08:10J JR2AAA 59 59\r\n";  // a log of an earlier version
  Enter(L"JR2BBB 59 59");                            // no station set: nothing stated
  station.Set(kHome);
  EXPECT_EQ(Exported(), (std::vector<std::string>{"JR2AAA JA1ABC PM95vr 11", "JR2BBB JA1ABC PM95vr 11"}));
  EXPECT_EQ(adif::ExportPane(context, japan, L"1.00", station.Get()).summary.with_current_station, 2u);
  SetStation(kTokyo);
  Enter(L"JR2CCC 59 59");
  EXPECT_EQ(Exported().back(), "JR2CCC JA1ABC/1 PM95 10");
  EXPECT_EQ(adif::ExportPane(context, japan, L"1.00", station.Get()).summary.with_current_station, 2u);
}

}  // namespace
}  // namespace zelmor::station
