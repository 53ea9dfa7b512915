// The main window's File menu as the program's resources make it.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/resource.h"

namespace {

struct Item {
  std::wstring caption;  // empty: a separator
  UINT id;
};

std::vector<Item> Items(HMENU menu) {
  std::vector<Item> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    wchar_t caption[128] = {};
    if (!(info.fType & MFT_SEPARATOR)) GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
    items.push_back({caption, info.fType & MFT_SEPARATOR ? 0 : info.wID});
  }
  return items;
}

std::string Describe(const std::vector<Item>& items) {
  std::string text;
  for (const Item& item : items) {
    text += std::to_string(item.id) + ":";
    for (wchar_t c : item.caption) text += c < 0x80 ? static_cast<char>(c) : '~';
    text += " ";
  }
  return text;
}

// The ADIF export is one item more, right after "LOG Save(&S)"; the others keep their captions,
// commands and order.
TEST(MainMenuTest, FileMenuHoldsTheAdifExportRightAfterLogSave) {
  HMENU bar = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINMENU));
  ASSERT_NE(bar, nullptr);
  wchar_t caption[64] = {};
  GetMenuStringW(bar, 0, caption, 64, MF_BYPOSITION);
  EXPECT_STREQ(caption, L"File(&F)");
  const std::vector<Item> expected = {
      {L"LOG Open(O)", IDM_LOG_OPEN},   {L"LOG編集(&E)", IDM_EDIT_MODE},    {L"LOG Save(&S)", IDM_LOG_SAVE},
      {L"ADIF出力(&A)", IDM_ADIF_EXPORT}, {L"", 0},                          {L"非常用LOG Open(T)", IDM_VIEW_SAFETY_COPY},
      {L"", 0},                          {L"定形フォームの編集", IDM_EDIT_TEMPLATE}, {L"", 0},
      {L"閉じる(&X)", IDM_CLOSE}};
  const std::vector<Item> items = Items(GetSubMenu(bar, 0));
  ASSERT_EQ(items.size(), expected.size()) << Describe(items);
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].id, expected[i].id) << "item " << i << " of " << Describe(items);
    EXPECT_EQ(items[i].caption, expected[i].caption) << "item " << i;
  }
  DestroyMenu(bar);
}

}  // namespace
