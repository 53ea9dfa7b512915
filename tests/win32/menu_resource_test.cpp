// The menus as the resource script builds them: every item of the operator's menus, in order, with
// its caption and command. The additions stand where they belong: the ADIF export right after
// "LOG Save(&S)", then the station, the LoTW upload, the fetch of LoTW's confirmations, the
// contacts' summary and the tracking
// program's submenu; the whole contact
// after the eleven fields and a separator.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/handles_win.h"
#include "base/resource.h"
#include "printable.h"

namespace zelmor {
namespace {

struct Item {
  std::wstring caption;  // "-" for a separator
  UINT id;               // 0 for a separator or a submenu
  bool operator==(const Item& o) const { return caption == o.caption && id == o.id; }
};

std::vector<Item> Items(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    wchar_t text[128] = {};
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 128;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    if (info.fType & MFT_SEPARATOR) {
      items.push_back({L"-", 0});
    } else {
      items.push_back({text, info.hSubMenu ? 0 : info.wID});
    }
  }
  return items;
}

std::string Show(const std::vector<Item>& items) {
  std::string out;
  for (const Item& item : items) out += test_support::Utf8(item.caption) + " (" + std::to_string(item.id) + ") | ";
  return out;
}

TEST(MenuResource, MainMenuKeepsEveryItemInItsPlace) {
  const zelmor::base::UniqueMenu loaded(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINMENU)));
  HMENU bar = loaded.get();
  ASSERT_NE(bar, nullptr);
  const std::vector<Item> top = Items(bar);
  EXPECT_EQ(top, (std::vector<Item>{{L"File(&F)", 0},
                                    {L"文字列をコピーするとHamlogへ転送出来ます", IDM_EDIT_MODE_HINT},
                                    {L"HLcopy", 0}}))
      << Show(top);

  const std::vector<Item> file = Items(GetSubMenu(bar, 0));
  EXPECT_EQ(file, (std::vector<Item>{{L"LOG Open(O)", IDM_LOG_OPEN},
                                     {L"LOG編集(&E)", IDM_EDIT_MODE},
                                     {L"LOG Save(&S)", IDM_LOG_SAVE},
                                     {L"ADIF出力(&A)", IDM_ADIF_EXPORT},
                                     {L"局情報(&M)...", IDM_STATION},
                                     {L"LoTWへ送信(&L)", IDM_LOTW_UPLOAD},
                                     {L"LoTW確認の取得(&Q)", IDM_LOTW_FETCH},
                                     {L"交信集計(&G)", IDM_WORKED_SUMMARY},
                                     {L"追跡ソフト(&R)", 0},
                                     {L"-", 0},
                                     {L"非常用LOG Open(T)", IDM_VIEW_SAFETY_COPY},
                                     {L"-", 0},
                                     {L"定形フォームの編集", IDM_EDIT_TEMPLATE},
                                     {L"-", 0},
                                     {L"閉じる(&X)", IDM_CLOSE}}))
      << Show(file);

  const std::vector<Item> trackers = Items(GetSubMenu(GetSubMenu(bar, 0), 8));
  EXPECT_EQ(trackers, (std::vector<Item>{{L"自動", IDM_TRACKER_AUTO},
                                         {L"CSATmate", IDM_TRACKER_CSATMATE},
                                         {L"SatPC32", IDM_TRACKER_SATPC32},
                                         {L"Orbitron", IDM_TRACKER_ORBITRON}}))
      << Show(trackers);

  // The eleven fields in their order, then, apart, the whole contact.
  const std::vector<Item> transfer = Items(GetSubMenu(bar, 2));
  EXPECT_EQ(transfer, (std::vector<Item>{{L"to HL DATE", IDM_TO_HL_DATE},
                                         {L"to HL TIME", IDM_TO_HL_TIME},
                                         {L"to HL CALL", IDM_TO_HL_CALL},
                                         {L"to HL HisRST", IDM_TO_HL_HIS_RST},
                                         {L"to HL MyRST", IDM_TO_HL_MY_RST},
                                         {L"to HL MODE", IDM_TO_HL_MODE},
                                         {L"to HL FREQ", IDM_TO_HL_FREQ},
                                         {L"to HL CODE", IDM_TO_HL_CODE},
                                         {L"to HL NAME", IDM_TO_HL_NAME},
                                         {L"to HL REM-1", IDM_TO_HL_REM1},
                                         {L"to HL REM-2", IDM_TO_HL_REM2},
                                         {L"-", 0},
                                         {L"to HL 1QSO全項目", IDM_TO_HL_WHOLE_CONTACT}}))
      << Show(transfer);
}

}  // namespace
}  // namespace zelmor
