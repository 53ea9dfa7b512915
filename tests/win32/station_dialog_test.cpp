// The station dialog "局情報", driven as the operator would: filled in, confirmed, refused with the
// reason when a field is wrong.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/codepage_win.h"
#include "base/resource.h"
#include "base/texts.h"
#include "entry/log_format.h"
#include "modal_win.h"
#include "printable.h"
#include "station/station_dialog_win.h"
#include "windows_win.h"

namespace zelmor::station {
namespace {

using test_support::ChooseComboItem;
using test_support::ComboText;
using test_support::DriveModal;
using test_support::Utf8;

void Type(HWND dialog, int id, const std::wstring& text) {
  SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

const std::wstring kCaption = L"局情報";

// OK pressed on a dialog with a wrong field: the text of the box that refuses it, answered.
std::wstring RefusedWith(HWND dialog) {
  test_support::PressButton(dialog, IDOK);
  HWND box = test_support::WaitForWindow([&] { return test_support::OwnedDialog(dialog); });
  if (!box) return L"(no box)";
  const std::wstring message = test_support::MessageText(box);
  test_support::PressButton(box, IDOK);
  test_support::WaitDestroyed(box);
  return message;
}

TEST(StationDialogTest, FilledAndConfirmedGivesTheStationBack) {
  std::optional<Station> result;
  bool tokyo_first = false;
  ASSERT_TRUE(DriveModal(
      kCaption,
      [&](HWND dialog) {
        Type(dialog, IDC_STATION_CALL, L"ja1abc/1");
        Type(dialog, IDC_STATION_GRID, L"pm95vr");
        ChooseComboItem(GetDlgItem(dialog, IDC_STATION_PREFECTURE), L"10 Tokyo-to");
        // Filled for the prefecture chosen: its first city, then that city's first ward.
        HWND cities = GetDlgItem(dialog, IDC_STATION_CITY);
        wchar_t first[64] = {};
        SendMessageW(cities, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(first));
        tokyo_first = std::wstring(first) == L"1001 Tokyo 23-wards";
        ChooseComboItem(cities, L"100101 Chiyoda-ku");
        Type(dialog, IDC_STATION_LOCATION, L"東京 移動");
        test_support::PressButton(dialog, IDOK);
        test_support::WaitDestroyed(dialog);
      },
      [&] { result = AskStation(nullptr, GetModuleHandleW(nullptr), std::nullopt); }));
  EXPECT_TRUE(tokyo_first);
  ASSERT_TRUE(result.has_value());
  const Station expected{L"JA1ABC/1", {L"PM95vr"}, L"10", L"100101", L"東京 移動"};
  EXPECT_EQ(*result, expected) << Utf8(result->call_sign) << " " << Utf8(result->GridText()) << " "
                               << Utf8(result->prefecture) << " " << Utf8(result->city) << " "
                               << Utf8(result->station_location);
}

TEST(StationDialogTest, ShowsTheCurrentStationAndCancelGivesNothing) {
  const Station current{L"JA8ABC", {L"QN02", L"QN03"}, L"01", L"0101", L"Hokkaido rover"};
  std::wstring call, grids, prefecture, city, location;
  bool result = true;
  ASSERT_TRUE(DriveModal(
      kCaption,
      [&](HWND dialog) {
        call = test_support::TextOf(GetDlgItem(dialog, IDC_STATION_CALL));
        grids = test_support::TextOf(GetDlgItem(dialog, IDC_STATION_GRID));
        prefecture = ComboText(GetDlgItem(dialog, IDC_STATION_PREFECTURE));
        city = ComboText(GetDlgItem(dialog, IDC_STATION_CITY));
        location = test_support::TextOf(GetDlgItem(dialog, IDC_STATION_LOCATION));
        test_support::PressButton(dialog, IDCANCEL);
        test_support::WaitDestroyed(dialog);
      },
      [&] { result = AskStation(nullptr, GetModuleHandleW(nullptr), current).has_value(); }));
  EXPECT_EQ(call, L"JA8ABC");
  EXPECT_EQ(grids, L"QN02,QN03");
  EXPECT_EQ(prefecture, L"01 Hokkaido-do");
  EXPECT_EQ(city, L"0101 Sapporo-shi");
  EXPECT_EQ(location, L"Hokkaido rover");
  EXPECT_FALSE(result) << "Cancel gives nothing";
}

TEST(StationDialogTest, OnlyThePrefecturesOwnCitiesCanBeChosen) {
  size_t listed = 0;
  bool sapporo_in_tokyo = true, none_after_change = false;
  ASSERT_TRUE(DriveModal(
      kCaption,
      [&](HWND dialog) {
        HWND prefectures = GetDlgItem(dialog, IDC_STATION_PREFECTURE);
        HWND cities = GetDlgItem(dialog, IDC_STATION_CITY);
        ChooseComboItem(prefectures, L"01 Hokkaido-do");
        listed = static_cast<size_t>(SendMessageW(cities, CB_GETCOUNT, 0, 0));
        ChooseComboItem(cities, L"0101 Sapporo-shi");
        ChooseComboItem(prefectures, L"10 Tokyo-to");
        none_after_change = ComboText(cities) == LoadText(IDS_STATION_NONE);
        sapporo_in_tokyo = SendMessageW(cities, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(L"0101 Sapporo-shi")) != CB_ERR;
        test_support::PressButton(dialog, IDCANCEL);
      },
      [&] { AskStation(nullptr, GetModuleHandleW(nullptr), std::nullopt); }));
  EXPECT_EQ(listed, CitiesOf(L"01").size() + 1) << "Hokkaido's own, and none";
  EXPECT_TRUE(none_after_change) << "a city of the former prefecture is not kept";
  EXPECT_FALSE(sapporo_in_tokyo);
}

TEST(StationDialogTest, WrongGridLineIsRefusedWithTheReasonAndFocused) {
  std::wstring message, box_caption;
  bool grid_focused = false, stayed_open = false;
  std::optional<Station> result;
  ASSERT_TRUE(DriveModal(
      kCaption,
      [&](HWND dialog) {
        Type(dialog, IDC_STATION_CALL, L"JA1ABC");
        Type(dialog, IDC_STATION_GRID, L"PM95,PM97");
        Type(dialog, IDC_STATION_LOCATION, L"Rover");
        test_support::PressButton(dialog, IDOK);
        HWND box = test_support::WaitForWindow([&] { return test_support::OwnedDialog(dialog); });
        if (!box) return;
        box_caption = test_support::TextOf(box);
        message = test_support::MessageText(box);
        test_support::PressButton(box, IDOK);
        test_support::WaitDestroyed(box);
        HWND grid = GetDlgItem(dialog, IDC_STATION_GRID);
        grid_focused = test_support::WaitUntil([&] { return test_support::FocusOf(dialog) == grid; }, 5000);
        stayed_open = IsWindowVisible(dialog) != FALSE;
        // Put right, it is taken.
        Type(dialog, IDC_STATION_GRID, L"PM95,PM96");
        test_support::PressButton(dialog, IDOK);
        test_support::WaitDestroyed(dialog);
      },
      [&] { result = AskStation(nullptr, GetModuleHandleW(nullptr), std::nullopt); }));
  EXPECT_EQ(box_caption, kCaption);
  EXPECT_EQ(message, LoadText(IDS_STATION_GRID_LINE_APART)) << Utf8(message);
  EXPECT_TRUE(grid_focused) << "the grid box has the focus for the correction";
  EXPECT_TRUE(stayed_open);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->GridText(), L"PM95,PM96");
  EXPECT_EQ(result->prefecture, L"");
}

TEST(StationDialogTest, ALocationTheAnsiCodePageCannotCarryIsRefused) {
  std::wstring message;
  std::optional<Station> result;
  ASSERT_TRUE(DriveModal(
      kCaption,
      [&](HWND dialog) {
        Type(dialog, IDC_STATION_CALL, L"JA1ABC");
        Type(dialog, IDC_STATION_GRID, L"PM95");
        // Best fit would store "Zurich": another Station Location, which TQSL does not know.
        Type(dialog, IDC_STATION_LOCATION, L"Z\u00fcrich \u79fb\u52d5");
        message = RefusedWith(dialog);
        Type(dialog, IDC_STATION_LOCATION, L"\u6771\u4eac \uff7c\uff78\uff9e\uff85\uff99 \\ ~");
        test_support::PressButton(dialog, IDOK);
        test_support::WaitDestroyed(dialog);
      },
      [&] { result = AskStation(nullptr, GetModuleHandleW(nullptr), std::nullopt); }));
  EXPECT_EQ(message, LoadText(IDS_STATION_LOCATION_NOT_ANSI)) << Utf8(message);
  ASSERT_TRUE(result.has_value());
  EXPECT_EQ(result->station_location, L"\u6771\u4eac \uff7c\uff78\uff9e\uff85\uff99 \\ ~");
}

// The log is kept in the ANSI code page: a station line comes back from it whole.
TEST(StationLineAnsiTest, ReadsBackFromTheAnsiCodePage) {
  const entry::StationLine rows[] = {
      {L"JA1ABC/1", {L"PM95", L"PM96"}, L"10", L"100101", L"\u6771\u4eac \u79fb\u52d5"},
      {L"JA1ABC", {L"PM95vr"}, L"", L"", L"\uff7c\uff78\uff9e\uff85\uff99 = \\ ~ LOC=x"},
  };
  for (const auto& row : rows) {
    const std::wstring back = base::FromAnsi(base::ToAnsi(entry::FormatStationLine(row)));
    EXPECT_EQ(entry::ReadStationLine(back), row) << Utf8(back);
  }
}

}  // namespace
}  // namespace zelmor::station
